// The font on the page: dropped, described (--info), drawn (the proof
// sheet, the preview), its fonts made, its downloads taken.
import { $, styles, TEXTFILE } from "./dom.js";
import { begin, convert, doing, end, fail, failed, files, picture, save, say, stopped, text, textchars, unfail } from "./run.js";
import { argsfor, enable, kinds, parseinfo, readsets, spell } from "./options.js";
import { basename, cmdline, downloads, quote, showcommands } from "./names.js";
import { askpatch, edited, editkey, editorfonts, editsname, forget } from "./editing.js";

export let font = null;       // {bytes, name}
export let facts = {};        // what --info said, key by key
export let generation = 0;    // each font dropped and each refresh: older results are void
export let made = null;       // the FONTX2 fonts the preview draws with: {key, fonts}
// The fonts made no longer stand for the options or the edits.
export function remake() {
  made = null;
}
export let refused = ""; // the first rule the display's check says the fonts break

// --info, then the proof sheet and the preview, with the options as they
// stand. A newer refresh (or font) makes this one's results void.
export async function refresh() {
  if (!font) return;
  const mine = ++generation;
  begin();
  try {
    doing("reading…");
    let r = await convert(["--info"], files());
    if (mine !== generation) return;
    if (r.status) return fail(r);
    facts = parseinfo(new TextDecoder().decode(r.output));
    const k = kinds();
    if (k.strikes.length > 1 && !k.strikes.includes($("size").value))
      $("size").value = k.strikes[0];
    const more = argsfor("info");
    if (more.length > 1) r = await convert(more, files());
    if (mine !== generation) return;
    if (r.status) return fail(r);
    unfail();
    facts = Object.assign(facts, parseinfo(new TextDecoder().decode(r.output)));
    $("info").textContent = new TextDecoder().decode(r.output);
    say(r);
    // The fonts checked against the display's reader, when one is chosen.
    $("checkbox").hidden = !$("target").value;
    refused = "";
    if ($("target").value) {
      const c = await convert(argsfor("check"), files());
      if (mine !== generation) return;
      $("checkcmd").textContent = ["dosvfont", ...argsfor("check"), font.name].map(quote).join(" ");
      const said = new TextDecoder().decode(c.output);
      $("check").textContent = said + (c.status ? c.messages.join("\n") : "");
      const broken = said.split("\n").find((l) => l.includes(": fails: "));
      refused = c.status && broken ? broken.replace(": fails: ", ": ") : "";
    }
    for (const id of ["options", "infobox", "getbox", "previewsection"]) $(id).hidden = false;
    enable();
    spell();
    showcommands();
    doing("drawing the proof sheet…");
    const s = await convert(argsfor("png"), files());
    if (mine !== generation) return;
    if (s.status) return fail(s);
    picture("sheet", s, "image/png");
    $("sheetsection").hidden = false;
    await preview(mine);
    if (mine === generation) doing("");
  } catch (e) {
    if (mine === generation) stopped(e);
  } finally {
    end();
  }
}

// The FONTX2 fonts the preview draws with, made once for the options as
// they stand (not once a keystroke), with their sizes.
export async function makefonts(mine) {
  const list = downloads().filter((d) => d.id === "pair" || d.id === "fontx2");
  const key = JSON.stringify([list.map((d) => d.args), $("subset").checked ? text() : "",
                             edited() ? glypheditor.bdf(basename()) : ""]);
  if (made && made.key === key) return made;
  const fonts = [];
  for (const d of list) {
    const r = await convert(d.args, files());
    if (mine !== generation) return null;
    if (r.status) { fail(r); return null; }
    fonts.push({ name: d.name, bytes: r.output });
  }
  made = { key, fonts };
  $("sizes").textContent = fonts.map((f) => `${f.name}: ${f.bytes.length.toLocaleString("en")} bytes`)
    .join(", ") + ($("subset").checked ? ` (only the ${textchars()} characters of the text)` : "");
  return made;
}

// The preview: the text drawn as the display draws it, from the fonts
// made, byte for byte what the command line shown draws. With edits, the
// command line shown itself, which draws only the text's glyphs: the edit
// shows at once, and the fonts' sizes follow.
export async function preview(mine) {
  if (!font || failed) return;
  const k = kinds();
  let r;
  const show = [...showargs(), ...argsfor("show")];
  if (k.fontx2 || edited()) {
    r = await convert(show, files());
  } else {
    const m = await makefonts(mine);
    if (!m || mine !== generation) return;
    // The fonts made, read back in the sets they were written in: those
    // the options name, the display's, the font's own 8-bit charset, or
    // Shift_JIS and CP932's single bytes.
    const args = [...showargs()];
    if ($("target").value) args.push("--target", $("target").value);
    const [dbl, sb] = readsets();
    const fx = {};
    for (const f of m.fonts) fx[f.name] = f.bytes;
    for (const f of m.fonts)
      args.push(...(f.bytes[16] === 1 ? ["-c", dbl] : ["-e", sb]));
    r = await convert([...args, ...m.fonts.map((f) => f.name)], Object.assign(files(), fx),
                      m.fonts[0].bytes, m.fonts[0].name);
  }
  if (mine !== generation) return;
  // What the reader cannot draw, in plain words: the program's notes on
  // the text without its name and the text's file name.
  $("previewsaid").textContent = r.messages
    .map((m) => m.replace(/^dosvfont: note: [^:]*: as ([^ ]+) draws it: /, "As $1 draws it: "))
    .join("\n");
  if (!r.status) picture("preview", r, "image/png");
  else $("previewsaid").textContent = (r.plain ? r.plain + "\n" : "") + r.messages.join("\n");
  // With edits the fonts are made after the preview, for their sizes.
  if (edited() && !k.fontx2) await makefonts(mine);
}

export let typing = null;
export function retype() {
  clearTimeout(typing);
  typing = setTimeout(async () => {
    if ($("subset").checked) { made = null; return refresh(); }
    const mine = generation;
    begin();
    try { await preview(mine); } finally { end(); }
  }, 300);
}

export async function take(id) {
  if (id === "text") return save(new TextEncoder().encode(text()), TEXTFILE, "text/plain");
  if (id === "edits") return save(new TextEncoder().encode(glypheditor.bdf(basename())), editsname(), "text/plain");
  for (const d of downloads().filter((d) => d.id === id)) {
    // -o as the command line has it: C source names its array after it.
    const r = await convert([...d.args, "-o", d.name], files());
    say(r);
    if (r.status) return fail(r);
    save(r.output, d.name);
  }
}

export async function salvage() {
  const args = ["--salvage", "-f", "bdf"];
  const r = await convert(args, {});
  if (r.output.length) save(r.output, basename() + ".bdf");
  $("said").textContent = [cmdline(args, basename() + ".bdf"), ...r.messages].join("\n");
}

export async function load(file) {
  // A BDF font dropped while a font is open may be its edits.
  if (font && !failed && /\.bdf$/i.test(file.name) && !(await askpatch(file))) return;
  // The name and a progress bar at once; a second font wins over a first
  // still being read.
  const mine = ++generation;
  $("fontname").textContent = file.name;
  doing("reading…");
  $("progress").hidden = false;
  $("progress").removeAttribute("value");
  unfail();
  for (const id of ["options", "infobox", "getbox", "sheetsection", "previewsection"])
    $(id).hidden = true;
  $("info").textContent = "";
  $("commands").replaceChildren();
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (mine !== generation) return;
  font = { bytes, name: file.name };
  facts = {};
  made = null;
  // A new font starts from its defaults; the pixel size stays.
  for (const id of ["fit", "kind", "width", "codes", "charset", "name"]) $(id).value = "";
  for (const id of Object.keys(styles)) $(id).checked = false;
  glypheditor.leave();
  forget();
  $("editsection").hidden = true;
  await refresh();
  await restoreedits();
}
// Edits kept for the font and size (from an earlier visit, or before the
// size changed): restored, said, and offered to discard, and everything
// made again with them; those of other cells only said and offered.
export async function restoreedits() {
  const opened = font;
  if (!failed && !glypheditor.key() && glypheditor.stored(editkey()) &&
      (await editorfonts()) && edited() && font === opened) {
    made = null;
    await refresh();
  }
}
// The sheet by whole pixels, so that no grid line is lost: "fit the
// width" is the largest whole zoom that fits the box, 1x (and the box
// scrolls) where even that is wider.
export function sheetzoom() {
  const img = $("sheet"), z = $("sheetzoom").value;
  if (!img.naturalWidth) return;
  const k = z === "fit" ? Math.max(1, Math.floor($("sheetbox").clientWidth / img.naturalWidth)) : +z;
  img.style.width = img.naturalWidth * k + "px";
}
// The edited glyphs marked on the sheet.
export function marks() {
  for (const m of document.querySelectorAll("#sheetbox .mark")) m.remove();
  const img = $("sheet"), k = kinds();
  if (!img.naturalWidth || !edited()) return;
  const z = img.clientWidth / img.naturalWidth;
  for (const c of glypheditor.sheetcells((k.fontx2 ? k.inkind : k.out) === "double" ? 1 : 0)) {
    const d = document.createElement("div");
    d.className = "mark";
    Object.assign(d.style, { left: c.x * z - 2 + "px", top: c.y * z - 2 + "px",
                             width: c.w * z + 4 + "px", height: c.h * z + 4 + "px" });
    $("sheetbox").append(d);
  }
}
