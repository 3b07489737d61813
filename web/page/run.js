// Conversions in the page's Worker, what is under way and what failed:
// the status line, the failure box, the progress bar, the pictures.
import { $, TEXTFILE } from "./dom.js";
import { enable } from "./options.js";
import { basename } from "./names.js";
import { font } from "./session.js";
import { edited, editsname } from "./editing.js";

export let failed = false;    // the font as it stands cannot be converted
export const urls = {};       // object URLs on screen, by image id

// The status line at the top of the results: the font being read, what is
// under way, and after a failure what went wrong.
export function doing(what) {
  $("status").hidden = false;
  $("doing").textContent = what;
}
export function fail(r) {
  failed = true;
  doing(""); // no "reading…" left beside a failure
  $("plain").textContent = r.plain || "The font could not be converted.";
  $("said").textContent = r.messages.join("\n");
  $("failure").hidden = false;
  // Salvage only where a glyph is left to salvage: not for a header cut
  // short, nor for a font of which no glyph is whole.
  $("dl-salvage").hidden = !r.messages.some((m) => /: truncated: [1-9][\d,]* of /.test(m));
  for (const id of ["infobox", "getbox", "sheetsection", "previewsection"]) $(id).hidden = true;
  $("commands").replaceChildren();
  enable();
  $("failure").scrollIntoView({ block: "nearest" });
}
// The converter itself stopping (its memory, its stack, a Worker that
// failed to start) is a failure like any other, never a page left waiting.
export function stopped(e) {
  fail({ plain: "The converter stopped: " + (e && e.message ? e.message : e) +
                ". Reload the page to try again.", messages: [] });
}

export function unfail() {
  failed = false;
  $("failure").hidden = true;
}
export function say(r) {
  $("messages").textContent = r.messages.join("\n");
}

let busy = 0;    // work under way, for whoever waits on the page
export let running = 0; // conversions under way, for the progress bar
// Work under way, for whoever waits on the page (the tests).
export function begin() {
  document.body.dataset.busy = ++busy;
}
export function end() {
  document.body.dataset.busy = --busy;
}
export async function convert(args, files, bytes, name) {
  const bar = $("progress");
  begin();
  running++;
  bar.hidden = false;
  bar.removeAttribute("value");
  try {
    return await dosvfont.convert(args, bytes || font.bytes, name || font.name,
      (done, total) => { bar.max = total; bar.value = done; }, files);
  } finally {
    if (--running === 0) bar.hidden = true;
    end();
  }
}
export function text() {
  return $("previewtext").value;
}
// The text's characters as the program counts them for --text: distinct,
// line feeds and other controls not among them.
export function textchars() {
  return [...new Set(text())].filter((c) => {
    const u = c.codePointAt(0);
    return u >= 0x20 && (u < 0x7F || u > 0x9F) && u !== 0xFEFF;
  }).length;
}
export function files() {
  const f = { [TEXTFILE]: text() };
  if (edited()) f[editsname()] = glypheditor.bdf(basename());
  return f;
}

export function picture(id, r, type) {
  if (urls[id]) URL.revokeObjectURL(urls[id]);
  urls[id] = URL.createObjectURL(new Blob([r.output], { type }));
  $(id).src = urls[id];
}

export function save(bytes, name, type) {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([bytes], { type: type || "application/octet-stream" }));
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
}
