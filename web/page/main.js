// The page's wiring: the font dropped or chosen, the options changed,
// the preview's text, screen and zoom, the downloads clicked.
import "../editor/main.js";
import { $, charsets, styles } from "./dom.js";
import { failed, stopped } from "./run.js";
import { enable, mark, spell } from "./options.js";
import { choosezoom, fitphone, showcommands } from "./names.js";
import { font, load, marks, refresh, remake, restoreedits, retype, salvage, sheetzoom, take } from "./session.js";
import { rekey } from "./editing.js";

for (const c of charsets) $("charset").add(new Option(c, c));
window.addEventListener("unhandledrejection", (e) => { e.preventDefault(); stopped(e.reason); });

$("file").addEventListener("change", (e) => {
  if (e.target.files.length) load(e.target.files[0]);
});
// The whole page takes a drop: a font dropped on the preview or the sheet
// is read, never opened by the browser in the page's place.
export const drop = $("drop");
document.addEventListener("dragover", (e) => { e.preventDefault(); drop.classList.add("over"); });
document.addEventListener("dragleave", (e) => { if (!e.relatedTarget) drop.classList.remove("over"); });
document.addEventListener("drop", (e) => {
  e.preventDefault();
  drop.classList.remove("over");
  if (e.dataTransfer && e.dataTransfer.files.length) load(e.dataTransfer.files[0]);
});
for (const id of ["size", "fit", "kind", "width", "codes", "charset", "target",
                  ...Object.keys(styles), "subset"])
  $(id).addEventListener("change", async () => {
    remake();
    if (mark()) return enable();
    await rekey();
    await refresh();
    await restoreedits();
  });
for (const id of ["size", "width", "name"])
  $(id).addEventListener("input", () => { enable(); spell(); if (font && !failed) showcommands(); });
// The zoom and the text box follow the page's width, the screen and the
// text: fitted when one of them changes, not each time a command is shown.
$("previewtext").addEventListener("input", () => { fitphone(); retype(); });
$("zoom").addEventListener("change", choosezoom);
window.addEventListener("resize", () => { fitphone(); if (font && !failed) { showcommands(); retype(); } });
fitphone();
for (const id of ["screen", "screenw", "screenh", "zoom"])
  $(id).addEventListener("change", () => {
    $("customsize").hidden = $("screen").value !== "custom";
    fitphone();
    if (font && !failed) { showcommands(); retype(); }
  });
$("sheet").addEventListener("load", sheetzoom);
$("sheet").addEventListener("load", marks);
$("sheetzoom").addEventListener("change", marks);
window.addEventListener("resize", marks);
$("sheetzoom").addEventListener("change", sheetzoom);
window.addEventListener("resize", sheetzoom);
for (const id of ["fontx2", "pair", "c", "bdf", "png", "show", "text", "edits"])
  $("dl-" + id).addEventListener("click", () => take(id));
$("dl-salvage").addEventListener("click", salvage);
