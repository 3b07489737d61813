// The glyph editor on the page: the fonts it edits (made without the
// edits, each glyph with its character), the ways to open a glyph, the
// edits' keeping per font and size, and what follows an edit.
import { $, TEXTFILE } from "./dom.js";
import { begin, convert, end, text } from "./run.js";
import { argsfor, enable, kinds, readsets, without } from "./options.js";
import { basename, downloads, screensize, showcommands } from "./names.js";
import { facts, font, generation, preview, refresh, remake } from "./session.js";

// The glyph editor. Its edits are kept in the browser under the font
// file and the size; the fonts it edits are the fonts as made without
// them, each glyph with its character (read back as BDF).
export const edited = () => glypheditor.count() > 0;
export const editsname = () => basename() + "-edits.bdf";
// The key: the font file, and what makes its cells (the size, the width,
// the fit, the display's rules).
export function editkey() {
  const cell = kinds().fontx2 ? [$("width").value]
                              : ["size", "width", "fit", "target"].map((id) => $(id).value);
  return `dosvfont-edits:${font.name}:${font.bytes.length}:${cell.join(":")}`;
}
let editfonts = null; // {key, fonts}
// A new font: its fonts are made again when it is edited.
export function forget() {
  editfonts = null;
}
export function editsay(text, discard) {
  $("editsection").hidden = false;
  $("editnote").hidden = !text;
  $("editnote").replaceChildren(text);
  if (discard) {
    const b = document.createElement("button");
    b.type = "button";
    b.textContent = "Discard them";
    b.style.marginLeft = "8px";
    b.addEventListener("click", () => {
      glypheditor.discard(discard);
      $("editnote").hidden = true;
      editchanged();
    });
    $("editnote").append(b);
  }
}
export async function editorfonts() {
  const list = downloads().filter((d) => d.id === "pair" || d.id === "fontx2");
  const key = JSON.stringify([editkey(), list.map((d) => without(d.args, ["--patch"]))]);
  if (editfonts && editfonts.key === key) return editfonts.fonts;
  const [dbl, sb] = readsets();
  const base = /the baseline (\d+) rows/.exec(facts.cell || "");
  const fonts = [];
  for (const d of list) {
    const r = await convert(without(d.args, ["--patch"]), { [TEXTFILE]: text() });
    if (r.status) return null;
    const f = glypheditor.readfontx(r.output);
    const b = await convert(["-f", "bdf", ...(f.kind ? ["-c", dbl] : ["-e", sb])], {},
                            r.output, d.name);
    if (b.status) return null;
    const { chars, ascent } = glypheditor.readbdfchars(new TextDecoder().decode(b.output));
    if (chars.length !== f.codes.length) return null;
    fonts.push({ kind: f.kind, w: f.width, h: f.height, ascent: base ? +base[1] : ascent,
                 codes: f.codes, chars, bits: f.bits });
  }
  editfonts = { key, fonts };
  const { restored, elsewhere } = glypheditor.fonts(fonts, editkey());
  if (restored)
    editsay(`${restored} edited glyph${restored === 1 ? "" : "s"} of this font restored from ` +
            "your last visit.", editkey());
  else if (elsewhere)
    editsay(`Edits kept for this font in other cells (${elsewhere}) are not applied.`, editkey());
  return fonts;
}
// A size or cell changed: the edits of the old one stay kept for it.
export async function rekey() {
  if (!font || !glypheditor.key() || glypheditor.key() === editkey()) return;
  const n = glypheditor.leave();
  editfonts = null;
  if (n) editsay(`The ${n} edited glyph${n === 1 ? "" : "s"} belong to the other size or ` +
                 "cell and are kept for it.");
}
// Each edit: the preview at once, the rest (facts, sheet, sizes) when the
// editing pauses. How long the preview took is kept for the tests.
let settle = null, clicked = 0;
export function editchanged() {
  remake();
  clicked = performance.now();
  showcommands();
  enable();
  const mine = generation;
  begin();
  preview(mine).finally(end);
  clearTimeout(settle);
  settle = setTimeout(() => refresh(), 700);
}
$("preview").addEventListener("load", () => {
  if (clicked) document.body.dataset.editms = String(Math.round(performance.now() - clicked));
  clicked = 0;
});
export async function openat(cp) {
  if (cp < 0) return;
  if (glypheditor.open(cp)) {
    $("gotosaid").textContent = "";
    $("addbtn").hidden = true;
  } else {
    adding = cp;
    $("editsection").hidden = false;
    $("gotosaid").textContent = `${glypheditor.label(cp)} is not in the font.`;
    $("addbtn").hidden = false;
  }
  $("editsection").scrollIntoView({ block: "nearest" });
}
export let adding = -1;
$("gotobtn").addEventListener("click", async () => {
  if (!(await editorfonts())) return;
  const cp = glypheditor.charof($("goto").value);
  if (cp < 0) $("gotosaid").textContent = "Type a character, U+XXXX or the font's code 0xXXXX.";
  else openat(cp);
});
$("goto").addEventListener("keydown", (e) => { if (e.key === "Enter") $("gotobtn").click(); });
// A character the font lacks is added to the font whose set holds it, as
// the program says of a trial patch.
$("addbtn").addEventListener("click", async () => {
  for (const f of editfonts ? editfonts.fonts : []) {
    const trial = "STARTFONT 2.1\nFONT -trial\nSIZE 16 75 75\nFONTBOUNDINGBOX 1 1 0 0\n" +
      'STARTPROPERTIES 2\nCHARSET_REGISTRY "ISO10646"\nCHARSET_ENCODING "1"\nENDPROPERTIES\n' +
      `CHARS 1\nSTARTCHAR t\nENCODING ${adding}\nDWIDTH 1 0\nBBX 1 1 0 0\nBITMAP\n00\nENDCHAR\nENDFONT\n`;
    const args = [...without(argsfor("info", true), ["-k"]), "-k", f.kind ? "double" : "single",
                  "--patch", "trial.bdf"];
    const r = await convert(args, { [TEXTFILE]: text(), "trial.bdf": trial });
    if (!r.status && /\npatch: 1 glyph /.test(new TextDecoder().decode(r.output))) {
      glypheditor.add(adding, f.kind);
      $("gotosaid").textContent = "";
      $("addbtn").hidden = true;
      return editchanged();
    }
  }
  $("gotosaid").textContent = `No set of the font holds ${glypheditor.label(adding)}.`;
});
// A glyph opened from the proof sheet or the preview.
export function point(img, e) {
  return [Math.floor(e.offsetX * img.naturalWidth / img.clientWidth),
          Math.floor(e.offsetY * img.naturalHeight / img.clientHeight)];
}
$("sheet").addEventListener("click", async (e) => {
  const fonts = await editorfonts();
  if (!fonts) return;
  const k = kinds(), [x, y] = point($("sheet"), e);
  openat(glypheditor.sheetat((k.fontx2 ? k.inkind : k.out) === "double" ? 1 : 0, x, y));
});
$("preview").addEventListener("click", async (e) => {
  const fonts = await editorfonts();
  if (!fonts) return;
  const z = +$("zoom").value, [x, y] = point($("preview"), e);
  openat(charat(fonts, x / z, y / z));
});
// The character drawn at a point of the preview, laid out left to right
// and wrapped at the screen's edge, as the preview without a display
// draws it.
export function charat(fonts, px, py) {
  const width = +screensize().split("x")[0];
  const single = fonts.find((f) => !f.kind), dbl = fonts.find((f) => f.kind);
  const lh = Math.max(...fonts.map((f) => f.h));
  const chars = [...text()];
  let x = 0, y = 0;
  for (let i = 0; i < chars.length; i++) {
    const u = chars[i].codePointAt(0);
    if (u === 10) { x = 0; y += lh; continue; }
    if (u === 13 && chars[i + 1] === "\n") continue;
    const f = single && single.chars.includes(u) ? single
            : dbl && dbl.chars.includes(u) ? dbl : u < 0x3000 && single ? single : dbl || single;
    if (x > 0 && x + f.w > width) { x = 0; y += lh; }
    if (px >= x && px < x + f.w && py >= y && py < y + lh) return u;
    x += f.w;
  }
  return -1;
}
// A BDF font dropped over an open font: its edits, or a font to open.
export function askpatch(file) {
  return new Promise((resolve) => {
    editsay(`${file.name}: use its glyphs as edits of ${font.name}, or open it as a font?`);
    for (const [what, open] of [["Use as edits", false], ["Open as a font", true]]) {
      const b = document.createElement("button");
      b.type = "button";
      b.textContent = what;
      b.style.marginLeft = "8px";
      b.addEventListener("click", async () => {
        $("editnote").hidden = true;
        if (!open && (await editorfonts())) {
          const n = glypheditor.frombdf(await file.text());
          editsay(`${n} glyph${n === 1 ? "" : "s"} of ${file.name} taken as edits.`);
          editchanged();
        }
        resolve(open);
      });
      $("editnote").append(b);
    }
  });
}
glypheditor.setup({ changed: editchanged });
