// The options as the program takes them: what the font is (from --info),
// which options apply to which output, each value checked as typed, and
// the command line's arguments for each output.
import { $, charsets, pairreaders, singleonly, spellings, styles, TEXTFILE } from "./dom.js";
import { failed, text } from "./run.js";
import { quote } from "./names.js";
import { facts, refused } from "./session.js";
import { edited, editsname } from "./editing.js";

export function parseinfo(text) {
  const f = {};
  for (const line of text.split("\n")) {
    const i = line.indexOf(": ");
    if (i > 0 && !(line.slice(0, i) in f)) f[line.slice(0, i)] = line.slice(i + 2);
  }
  return f;
}

// What the font is, from --info: FONTX2 or not, its kind, outlines.
export function kinds() {
  const fontx2 = facts.format === "FONTX2";
  const outline = facts.glyphs === "outlines";
  const strikes = facts.strikes ? facts.strikes.trim().split(" ") : [];
  const inkind = fontx2 ? (facts.kind === "double-byte" ? "double" : "single") : null;
  let out = $("kind").value || null;
  if (!out && fontx2) out = inkind;
  if (!out && facts.written) out = facts.written.startsWith("double") ? "double" : "single";
  const cell = /^(\d+)x(\d+)/.exec(facts.cell || "");
  return { fontx2, outline, strikes, inkind, out, height: cell ? cell[2] : "" };
}

// Whether a font made from this one comes as the pair a Japanese display
// loads: the full-width (double-byte) font and the half-width one.
export function pairs() {
  const k = kinds(), t = $("target").value;
  return !k.fontx2 && !$("kind").value && k.out === "double" && !!facts.pair &&
         (t === "" || pairreaders.includes(t));
}

// The options that apply to a format ("info" for --info, "show" for the
// preview), as the command line takes them: the page never offers one the
// program would refuse.
export function applies(format) {
  const k = kinds();
  const fontx = format === "fontx2" || format === "c";
  const recoded = !k.fontx2 || fontx;
  const kind = k.fontx2 && !fontx ? k.inkind : k.out;
  const sized = !k.fontx2 && (k.outline || k.strikes.length > 1);
  const single = kind === "single", target = $("target").value;
  const cp932 = (single || (recoded && !k.fontx2 && pairs())) &&
                (!$("charset").value || $("charset").value === "CP932") &&
                (!recoded || (target !== "hagl"));
  return {
    size: sized,
    fit: !k.fontx2 && k.outline,
    kind: recoded && !(k.fontx2 && (format === "info" || format === "show")),
    width: recoded && !(k.fontx2 && (format === "info" || format === "show")),
    codes: kind !== "single",
    charset: kind !== "double" || (recoded && !k.fontx2 && pairs()),
    name: fontx || format === "bdf",
    target: fontx || format === "show" || format === "check",
    styles: true,
    pictures: cp932,
  };
}

// The values as typed, each checked as the program checks it: a field
// that would be refused is marked, and left out until it is fixed.
export function valid(id) {
  const v = $(id).value.trim();
  if (id === "size" || id === "width")
    return v === "" || (/^\d+$/.test(v) && +v >= 1 && +v <= 255) ? "" : "a number from 1 to 255";
  if (id === "name") {
    if (v === "") return "";
    if (!/^[\x20-\x7e]+$/.test(v)) return "printable ASCII only";
    const k = kinds();
    const fontx = !k.fontx2 || $("kind").value;
    if (v.length > 31) return "31 characters at most";
    if (/[-*?"]/.test(v) && k.fontx2) return "no - * ? or \" in a BDF name";
    if (v.length > 8 && !k.fontx2) return "8 characters at most in a FONTX2 name";
    return fontx ? "" : "";
  }
  return "";
}
export function mark() {
  let bad = false;
  for (const id of ["size", "width", "name"]) {
    const why = valid(id);
    $(id).classList.toggle("bad", !!why);
    $("o-" + id).querySelector(".why").textContent = why;
    bad = bad || !!why;
  }
  return bad;
}

export function argsfor(format, bare) {
  const a = applies(format);
  const args = [];
  const val = (id) => valid(id) ? "" : $(id).value.trim();
  if (a.size && val("size")) args.push("-s", val("size"));
  if (a.fit && val("fit")) args.push("--fit", val("fit"));
  // A reader of single-byte fonts gets the single-byte font of a font
  // made for it, named, described and drawn as such.
  const kind = val("kind") || (!kinds().fontx2 && singleonly() ? "single" : "");
  if (a.kind && kind) args.push("-k", kind);
  if (a.width && val("width")) args.push("-w", val("width"));
  if (a.codes && val("codes")) args.push("-c", val("codes"));
  if (a.charset && val("charset")) args.push("-e", val("charset"));
  if (a.name && val("name")) args.push("-n", val("name"));
  if (a.target && val("target")) args.push("--target", val("target"));
  for (const [id, flag] of Object.entries(styles))
    if ($(id).checked && (id !== "pictures" || a.pictures)) args.push(flag);
  if ($("subset").checked) args.push("--text", TEXTFILE);
  if (edited() && !bare) args.push("--patch", editsname());
  if (format === "info" || format === "check") args.push("--info");
  else if (format !== "show") args.push("-f", format);
  return args;
}

// args without the options named (and the values of those that take one).
export function without(args, flags) {
  const out = [];
  for (let i = 0; i < args.length; i++) {
    if (!flags.includes(args[i])) out.push(args[i]);
    else if (args[i] !== "--control-pictures") i++;
  }
  return out;
}
export function spell() {
  for (const [id, [flag, form]] of Object.entries(spellings))
    $("o-" + id).querySelector("code").textContent =
      flag + " " + ($(id).value.trim() ? quote($(id).value.trim()) : form);
}

export function enable() {
  const all = ["fontx2", "bdf", "png", "info", "show", "check"].map(applies);
  for (const key of Object.keys(spellings)) {
    const on = all.some((a) => a[key]);
    $("o-" + key).classList.toggle("off", !on);
    $(key).disabled = !on;
  }
  const pictures = all.some((a) => a.pictures);
  $("o-pictures").classList.toggle("off", !pictures);
  $("pictures").disabled = !pictures;
  const bad = mark();
  for (const b of document.querySelectorAll("#getbox button"))
    b.disabled = failed || bad;
  // The fonts the display's check refuses are not offered, and why is said.
  for (const id of ["dl-fontx2", "dl-pair", "dl-c"])
    if (refused) $(id).disabled = true;
  $("refused").hidden = !refused;
  $("refused").textContent = refused ? `Not for ${$("target").value}: ${refused}` : "";
}

// The sets the fonts made are read back in: those the options name, the
// display's, the font's own 8-bit charset, or Shift_JIS and CP932's
// single bytes.
export function readsets() {
  const t = $("target").value === "hagl" ? ["unicode", "ISO-8859-1"]
          : pairreaders.includes($("target").value) ? ["sjis", "CP932"] : [];
  const own = (facts.charset || "").toUpperCase();
  return [$("codes").value || t[0] || "sjis",
          $("charset").value || t[1] || (charsets.includes(own) ? own : "CP932")];
}
