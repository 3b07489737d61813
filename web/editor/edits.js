// The edits: each edited character's glyph, the steps that made them (to
// undo and redo, across glyphs), the BDF the command line replays them
// from, and their keeping in the browser for the font and size.
import { blank, fromrows, hexrows, same } from "./glyph.js";

export const edits = {
  fonts: [],        // the fonts made: {kind, w, h, ascent, codes, chars, bits}
  glyphs: new Map(), // character -> {kind, glyph}
  done: [],         // steps: {cp, before, after} ({kind, glyph} or null)
  undone: [],
  key: "",          // where they are kept: the font file, its size, the cells
};

// The font of a kind, and the font holding a character with its index.
export function fontof(kind) {
  return edits.fonts.find((f) => f.kind === kind) || null;
}
export function holding(cp) {
  for (const f of edits.fonts) {
    const i = f.chars.indexOf(cp);
    if (i >= 0) return { font: f, index: i };
  }
  return null;
}

// The glyph as the font has it, or null where it has none.
export function original(cp) {
  const h = holding(cp);
  return h ? { kind: h.font.kind, glyph: fromrows(h.font.bits(h.index), h.font.w, h.font.h) } : null;
}

// The glyph as edited, else as the font has it.
export function current(cp) {
  return edits.glyphs.get(cp) || original(cp);
}

function put(cp, e) {
  if (e) edits.glyphs.set(cp, e);
  else edits.glyphs.delete(cp);
}

// A change to a character's glyph, one step; the font's own glyph again
// is no edit.
export function change(cp, kind, glyph) {
  const before = edits.glyphs.get(cp) || null;
  const o = original(cp);
  const after = o && same(o.glyph, glyph) ? null : { kind, glyph };
  if ((before && after && same(before.glyph, after.glyph)) || (!before && !after)) return false;
  put(cp, after);
  edits.done.push({ cp, before, after });
  edits.undone = [];
  keep();
  return true;
}

// Back to the font's own glyph (an added character: gone), one step.
export function revert(cp) {
  const before = edits.glyphs.get(cp) || null;
  if (!before) return false;
  put(cp, null);
  edits.done.push({ cp, before, after: null });
  edits.undone = [];
  keep();
  return true;
}

// Undo and redo: a step moved from one list to the other, its glyph as
// it was before or after; the character it was on, or -1.
function move(from, to, side) {
  const s = from.pop();
  if (!s) return -1;
  put(s.cp, s[side]);
  to.push(s);
  keep();
  return s.cp;
}
export const undo = () => move(edits.done, edits.undone, "before");
export const redo = () => move(edits.undone, edits.done, "after");

// A character the fonts lack, added blank in the font of its kind.
export function addblank(cp, kind) {
  const f = fontof(kind);
  return f ? change(cp, kind, blank(f.w, f.h)) : false;
}

// The edits as a BDF font coded by Unicode: each glyph its whole cell,
// its box from the baseline as the font's own glyphs sit.
export function bdf(name) {
  const list = [...edits.glyphs.entries()].sort((a, b) => a[0] - b[0]);
  const f0 = edits.fonts[0] || { w: 8, h: 16, ascent: 14 };
  const w = Math.max(...edits.fonts.map((f) => f.w), 1);
  const lines = ["STARTFONT 2.1",
    `FONT -dosvfont-${name.replace(/[^A-Za-z0-9]/g, "")}edits-medium-r-normal--${f0.h}-${f0.h * 10}-75-75-c-${w * 10}-iso10646-1`,
    `SIZE ${f0.h} 75 75`, `FONTBOUNDINGBOX ${w} ${f0.h} 0 ${f0.ascent - f0.h}`,
    "STARTPROPERTIES 4", `FONT_ASCENT ${f0.ascent}`, `FONT_DESCENT ${f0.h - f0.ascent}`,
    'CHARSET_REGISTRY "ISO10646"', 'CHARSET_ENCODING "1"', "ENDPROPERTIES",
    `CHARS ${list.length}`];
  for (const [cp, e] of list) {
    const f = fontof(e.kind) || f0, g = e.glyph;
    lines.push(`STARTCHAR uni${cp.toString(16).toUpperCase().padStart(4, "0")}`,
      `ENCODING ${cp}`, `SWIDTH ${Math.round((g.w * 1000) / f.h)} 0`, `DWIDTH ${g.w} 0`,
      `BBX ${g.w} ${g.h} 0 ${f.ascent - g.h}`, "BITMAP", ...hexrows(g), "ENDCHAR");
  }
  lines.push("ENDFONT", "");
  return lines.join("\n");
}

// Kept in the browser under the font file, its size and its cells; a
// stored set of edits for other cells is not applied, only offered.
export function keep() {
  if (!edits.key) return;
  try {
    const glyphs = {};
    for (const [cp, e] of edits.glyphs)
      glyphs[cp] = { kind: e.kind, w: e.glyph.w, h: e.glyph.h, px: Array.from(e.glyph.px).join("") };
    if (edits.glyphs.size) localStorage.setItem(edits.key, JSON.stringify({ cells: cells(), glyphs }));
    else localStorage.removeItem(edits.key);
  } catch (e) { /* a browser that keeps nothing: the edits live as long as the page */ }
}
export function cells() {
  return edits.fonts.map((f) => `${f.kind}:${f.w}x${f.h}`).sort().join(" ");
}
// What is stored for this key: {cells, glyphs} or null.
export function stored(key) {
  try {
    return JSON.parse(localStorage.getItem(key) || "null");
  } catch (e) {
    return null;
  }
}
export function restore(s) {
  edits.glyphs.clear();
  for (const [cp, e] of Object.entries(s.glyphs))
    edits.glyphs.set(+cp, { kind: e.kind, glyph: { w: e.w, h: e.h, px: Uint8Array.from(e.px, Number) } });
  edits.done = [], edits.undone = [];
}
export function discard(key) {
  try { localStorage.removeItem(key); } catch (e) { /* nothing kept */ }
  if (key === edits.key) edits.glyphs.clear(), edits.done = [], edits.undone = [];
}
