// The downloads: their names (never the font's own), their command
// lines, and the preview's screen and zoom.
import { $, TEXTFILE } from "./dom.js";
import { argsfor, kinds, pairs } from "./options.js";
import { facts, font } from "./session.js";

// Output names: never the input's. A pair as FONTX2 pairs are named
// (ipag16H.FNT, ipag16Z.FNT), another format after the font (ILGZ16XB.bdf),
// the same format re-coded after what changed (ILGZ16XB-unicode.FNT), C
// source as the FONTX2 font it holds (ipag16H.h).
export function basename() {
  return font.name.replace(/\.(pcf\.gz|[^.]*)$/i, "");
}
export function changed(args) {
  const what = [];
  for (let i = 0; i < args.length; i++) {
    const a = args[i];
    if (["-c", "-e", "-k", "--target"].includes(a)) what.push(args[++i]);
    else if (a === "-w") what.push("w" + args[++i]);
    else if (a === "-n" || a === "-f") i++;
    else if (a === "--text") { what.push("subset"); i++; }
    else if (a.startsWith("--") && a !== "--info") what.push(a.slice(2));
  }
  return what.length ? what.join("-") : "copy";
}
export function outname(format, kind) {
  const k = kinds(), base = basename();
  let name;
  if (format === "fontx2" || format === "c") {
    const args = argsfor(format);
    if (k.fontx2) name = base + "-" + changed(args) + ".FNT";
    else {
      const w = kind || k.out;
      const half = /, \d+x(\d+),/.exec(facts.pair || "");
      const height = w === "single" && half ? half[1] : k.height || $("size").value;
      name = base + height + (w === "double" ? "Z" : "H") + ".FNT";
    }
    if (format === "c") name = name.replace(/\.FNT$/, ".h");
  } else if (format === "show") {
    name = base + "-display.png";
  } else {
    name = base + (format === "bdf" ? ".bdf" : ".png");
  }
  if (name.toLowerCase() === font.name.toLowerCase())
    name = name.replace(/(\.[^.]*)$/, "-out$1");
  return name;
}

export function quote(s) {
  return /^[\w.,/+=:@%-]+$/.test(s) ? s : "'" + s.replace(/'/g, "'\\''") + "'";
}
export function cmdline(args, out) {
  return ["dosvfont", ...args, font.name, "-o", out].map(quote).join(" ");
}
// On a narrow screen (a phone) the preview's zoom is the largest whole
// zoom whose picture fits the page, until the zoom is chosen by hand; and
// the text box shows every line of the text.
let zoomchosen = false;
export function choosezoom() {
  zoomchosen = true;
}
export function fitphone() {
  const room = document.documentElement.clientWidth - 64; // the margins
  const w = +screensize().split("x")[0];
  if (!zoomchosen && w > 0) {
    const k = Math.max(1, Math.min(2, Math.floor(room / w)));
    if (+$("zoom").value !== k) $("zoom").value = String(k);
  }
  const t = $("previewtext");
  t.rows = Math.max(4, t.value.split("\n").length + 1);
}
export function showargs() {
  const args = ["--show", TEXTFILE];
  const scr = screensize();
  if (scr !== "320x240") args.push("--screen", scr);
  if ($("zoom").value !== "1") args.push("--scale", $("zoom").value);
  return args;
}
export function screensize() {
  return $("screen").value === "custom" ? $("screenw").value + "x" + $("screenh").value
                                        : $("screen").value;
}

// The downloads on offer and the command line of each.
export function downloads() {
  const k = kinds(), list = [];
  if (pairs()) {
    // Each font of the pair takes the options of its kind; C source comes
    // as the pair too, both halves in one click.
    for (const [id, format] of [["pair", "fontx2"], ["c", "c"]])
      for (const kind of ["single", "double"]) {
        const args = ["-k", kind, ...without(argsfor(format),
          kind === "single" ? ["-c"] : ["-e", "--control-pictures"])];
        list.push({ id, args, name: outname(format, kind) });
      }
  } else {
    list.push({ id: "fontx2", args: argsfor("fontx2"), name: outname("fontx2") });
    list.push({ id: "c", args: argsfor("c"), name: outname("c") });
  }
  if (k.fontx2) list.push({ id: "bdf", args: argsfor("bdf"), name: outname("bdf") });
  list.push({ id: "png", args: argsfor("png"), name: outname("png") });
  list.push({ id: "show", args: [...showargs(), ...argsfor("show")], name: outname("show") });
  return list;
}
export function showcommands() {
  const list = downloads();
  const lines = list.map((d) => cmdline(d.args, d.name));
  $("commands").replaceChildren(...lines.map((l) => {
    const c = document.createElement("code");
    c.textContent = l;
    return c;
  }));
  $("dl-pair").hidden = !pairs();
  $("dl-fontx2").hidden = pairs();
  $("dl-bdf").hidden = !kinds().fontx2;
  $("dl-text").hidden = false;
}
