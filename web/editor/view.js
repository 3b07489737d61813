// The editor on the page: a glyph's cell zoomed, with its grid and
// baseline; the pen, the tools, the keys and touch; the list of edits.
import { clear, flip, invert, pasted, setpixel, shift } from "./glyph.js";
import { change, current, edits, fontof, holding, redo, revert, undo } from "./edits.js";

const $ = (id) => document.getElementById(id);
let hooks = null;   // {changed()}: the page remakes what shows the edits
let open = -1;      // the character being edited
let cursor = { x: 0, y: 0 };
let draft = null;   // a stroke under way: the glyph as drawn so far
let clip = null;    // a copied glyph

export function label(cp) {
  const u = "U+" + cp.toString(16).toUpperCase().padStart(4, "0");
  return cp >= 0x20 && !(cp >= 0x7f && cp < 0xa0) ? `${u} ${String.fromCodePoint(cp)}` : u;
}

function zoom(g) {
  const room = Math.min(384, $("editorbox").clientWidth || 384);
  return Math.max(4, Math.min(24, Math.floor(room / Math.max(g.w, g.h))));
}

export function draw() {
  const e = open >= 0 ? draft ? { kind: 0, glyph: draft } : current(open) : null;
  const c = $("grid");
  if (!e) {
    c.width = c.height = 0;
    return;
  }
  const g = e.glyph, z = zoom(g), f = holding(open)?.font || fontof(e.kind);
  c.width = g.w * z + 1, c.height = g.h * z + 1;
  const x = c.getContext("2d");
  x.fillStyle = "#fff";
  x.fillRect(0, 0, c.width, c.height);
  x.fillStyle = "#1d1d1f";
  for (let y = 0; y < g.h; y++)
    for (let i = 0; i < g.w; i++) if (g.px[y * g.w + i]) x.fillRect(i * z, y * z, z, z);
  x.strokeStyle = "#c8ccd2";
  x.lineWidth = 1;
  x.beginPath();
  for (let i = 0; i <= g.w; i++) x.moveTo(i * z + 0.5, 0), x.lineTo(i * z + 0.5, g.h * z);
  for (let y = 0; y <= g.h; y++) x.moveTo(0, y * z + 0.5), x.lineTo(g.w * z, y * z + 0.5);
  x.stroke();
  if (f) { // the baseline
    x.strokeStyle = "#d93025";
    x.beginPath();
    x.moveTo(0, f.ascent * z + 0.5), x.lineTo(g.w * z, f.ascent * z + 0.5);
    x.stroke();
  }
  x.strokeStyle = "#0b57d0";
  x.lineWidth = 2;
  x.strokeRect(cursor.x * z + 1, cursor.y * z + 1, z - 1, z - 1);
  c.dataset.char = String(open);
  c.dataset.pixels = Array.from(g.px).join("");
  c.dataset.w = String(g.w);
  c.setAttribute("aria-label", `the glyph of ${label(open)}, ${g.w} by ${g.h} pixels`);
}

export function list() {
  const n = edits.glyphs.size;
  $("editcount").textContent = n ? `${n} glyph${n === 1 ? "" : "s"} edited:` : "No glyph edited.";
  $("editlist").replaceChildren(...[...edits.glyphs.keys()].sort((a, b) => a - b).map((cp) => {
    const b = document.createElement("button");
    b.type = "button";
    b.className = "chip";
    b.textContent = label(cp);
    b.addEventListener("click", () => openchar(cp));
    return b;
  }));
  $("dl-edits").hidden = !n;
}

export function openchar(cp) {
  const e = current(cp);
  if (!e) return false;
  open = cp;
  cursor = { x: Math.min(cursor.x, e.glyph.w - 1), y: Math.min(cursor.y, e.glyph.h - 1) };
  $("editsection").hidden = false;
  $("editing").textContent = label(cp) + (edits.glyphs.has(cp) ? " (edited)" : "");
  draw();
  return true;
}

// A tool applied to the open glyph: one step.
function apply(tool) {
  if (open < 0) return;
  const e = current(open);
  if (change(open, e.kind, tool(e.glyph))) done();
}
function done() {
  if (!current(open)) open = -1; // an added character reverted
  if (open >= 0) openchar(open);
  else draw();
  list();
  hooks.changed();
}

function cellat(ev) {
  const c = $("grid"), g = current(open).glyph, z = zoom(g);
  const r = c.getBoundingClientRect();
  const x = Math.floor((ev.clientX - r.left) * (c.width / r.width) / z);
  const y = Math.floor((ev.clientY - r.top) * (c.height / r.height) / z);
  return { x: Math.max(0, Math.min(g.w - 1, x)), y: Math.max(0, Math.min(g.h - 1, y)) };
}

export function setup(h) {
  hooks = h;
  const c = $("grid");
  let pen = 1;
  // The pen: a click or a drag sets pixels; one that starts on ink clears.
  c.addEventListener("pointerdown", (ev) => {
    if (open < 0) return;
    ev.preventDefault();
    c.setPointerCapture(ev.pointerId);
    c.focus();
    const at = cellat(ev), g = current(open).glyph;
    pen = g.px[at.y * g.w + at.x] ? 0 : 1;
    cursor = at;
    draft = setpixel(g, at.x, at.y, pen);
    draw();
  });
  c.addEventListener("pointermove", (ev) => {
    if (!draft) return;
    const at = cellat(ev);
    cursor = at;
    draft = setpixel(draft, at.x, at.y, pen);
    draw();
  });
  const end = () => {
    if (!draft) return;
    const g = draft;
    draft = null;
    if (change(open, current(open).kind, g)) done();
    else draw();
  };
  c.addEventListener("pointerup", end);
  c.addEventListener("pointercancel", end);
  c.addEventListener("keydown", (ev) => {
    if (open < 0) return;
    const g = current(open).glyph, mod = ev.ctrlKey || ev.metaKey;
    const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    if (moves[ev.key] && !mod) {
      const [dx, dy] = moves[ev.key];
      cursor = { x: Math.max(0, Math.min(g.w - 1, cursor.x + dx)),
                 y: Math.max(0, Math.min(g.h - 1, cursor.y + dy)) };
      draw();
    } else if (ev.key === " ") {
      apply((x) => setpixel(x, cursor.x, cursor.y, !x.px[cursor.y * x.w + cursor.x]));
    } else if (mod && (ev.key === "z" || ev.key === "Z")) {
      ev.shiftKey ? step(redo) : step(undo);
    } else if (mod && (ev.key === "y" || ev.key === "Y")) {
      step(redo);
    } else {
      return;
    }
    ev.preventDefault();
  });
  const wrap = () => $("wrap").checked;
  const tools = {
    left: (g) => shift(g, -1, 0, wrap()), right: (g) => shift(g, 1, 0, wrap()),
    up: (g) => shift(g, 0, -1, wrap()), down: (g) => shift(g, 0, 1, wrap()),
    fliph: (g) => flip(g, true), flipv: (g) => flip(g, false),
    invert, clear,
    paste: (g) => (clip ? pasted(g, clip) : g),
  };
  for (const [id, tool] of Object.entries(tools))
    $("t-" + id).addEventListener("click", () => apply(tool));
  $("t-copy").addEventListener("click", () => { if (open >= 0) clip = current(open).glyph; });
  $("t-undo").addEventListener("click", () => step(undo));
  $("t-redo").addEventListener("click", () => step(redo));
  $("t-revert").addEventListener("click", () => {
    if (open >= 0 && revert(open)) done();
  });
  $("t-revertall").addEventListener("click", () => {
    let any = false;
    for (const cp of [...edits.glyphs.keys()]) any = revert(cp) || any;
    if (any) done();
  });
}

function step(fn) {
  const cp = fn();
  if (cp < 0) return;
  if (current(cp)) openchar(cp);
  else draw();
  list();
  hooks.changed();
}
