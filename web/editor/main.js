// The glyph editor, as the page uses it: the fonts to edit, where their
// edits are kept, the ways to open a glyph, and a BDF taken as edits.
import { addblank, bdf, cells, current, discard, edits, holding, keep, restore, stored } from "./edits.js";
import { readbdfchars, readfontx } from "./fontx.js";
import { blank } from "./glyph.js";
import { cellof, glyphat } from "./sheet.js";
import { draw, label, list, openchar, setup } from "./view.js";

// A character from what was typed: the character itself, U+XXXX, or the
// font's own code 0xXXXX; -1 for none.
function charof(text) {
  const t = text.trim();
  let m = /^U\+([0-9A-Fa-f]{1,6})$/.exec(t);
  if (m) return parseInt(m[1], 16);
  m = /^0x([0-9A-Fa-f]{1,4})$/.exec(t);
  if (m) {
    const code = parseInt(m[1], 16);
    for (const f of edits.fonts) {
      const i = f.codes.indexOf(code);
      if (i >= 0) return f.chars[i];
    }
    return -1;
  }
  const cps = [...t];
  return cps.length === 1 ? cps[0].codePointAt(0) : -1;
}

// A BDF font's glyphs as edits, each on the cell of the font that has its
// character (else the one its width fits), placed from the baseline.
function frombdf(text) {
  let n = 0;
  for (const m of text.matchAll(/STARTCHAR[^\n]*\n([\s\S]*?)ENDCHAR/g)) {
    const body = m[1];
    const cp = +(/^ENCODING (-?\d+)/m.exec(body) || [0, -1])[1];
    const bbx = /^BBX (-?\d+) (-?\d+) (-?\d+) (-?\d+)/m.exec(body);
    const rows = (/^BITMAP\n([\s\S]*)/m.exec(body) || [0, ""])[1].trim().split(/\s+/);
    if (cp < 0 || !bbx) continue;
    const [w, h, xo, yo] = bbx.slice(1).map(Number);
    const f = holding(cp)?.font ||
      edits.fonts.slice().sort((a, b) => Math.abs(a.w - w) - Math.abs(b.w - w))[0];
    if (!f) continue;
    const g = blank(f.w, f.h), top = f.ascent - (yo + h);
    for (let y = 0; y < h; y++)
      for (let x = 0; x < w; x++) {
        const v = parseInt((rows[y] || "").substr(x >> 2, 1) || "0", 16);
        const cx = xo + x, cy = top + y;
        if ((v >> (3 - (x & 3))) & 1 && cx >= 0 && cy >= 0 && cx < f.w && cy < f.h)
          g.px[cy * f.w + cx] = 1;
      }
    edits.glyphs.set(cp, { kind: f.kind, glyph: g });
    n++;
  }
  return n;
}

window.glypheditor = {
  setup,
  readfontx,
  readbdfchars,
  // The fonts as made without edits, and the key the edits are kept
  // under. What is kept for other cells is not applied: said, and offered.
  fonts(fonts, key) {
    const fresh = key !== edits.key;
    edits.fonts = fonts;
    if (!fresh) return { restored: 0, elsewhere: null };
    edits.key = key, edits.glyphs.clear(), edits.done = [], edits.undone = [];
    const s = stored(key);
    let restored = 0, elsewhere = null;
    if (s && s.cells === cells()) restore(s), restored = edits.glyphs.size;
    else if (s) elsewhere = s.cells;
    list();
    draw();
    return { restored, elsewhere };
  },
  // The edits of another key set aside (they stay kept under it): how
  // many there were.
  leave() {
    const n = edits.glyphs.size;
    edits.key = "", edits.glyphs.clear(), edits.done = [], edits.undone = [];
    list();
    draw();
    return n;
  },
  key: () => edits.key,
  stored: (key) => !!stored(key),
  discard(key) {
    discard(key || edits.key);
    list();
    draw();
  },
  count: () => edits.glyphs.size,
  bdf,
  chars: () => [...edits.glyphs.keys()],
  open: openchar,
  goto(text) {
    const cp = charof(text);
    return cp >= 0 && openchar(cp) ? cp : -1;
  },
  // A character the fonts lack, added blank in the font of kind.
  add(cp, kind) {
    if (current(cp) || !addblank(cp, kind)) return false;
    list();
    return openchar(cp);
  },
  charof,
  label,
  frombdf(text) {
    const n = frombdf(text);
    edits.done = [], edits.undone = [];
    keep();
    list();
    return n;
  },
  sheetat(kind, x, y) {
    const f = edits.fonts.find((g) => g.kind === kind);
    const i = f ? glyphat(f, x, y) : -1;
    return i >= 0 ? f.chars[i] : -1;
  },
  sheetcells(kind) {
    const f = edits.fonts.find((g) => g.kind === kind);
    if (!f) return [];
    return [...edits.glyphs.keys()].map((cp) => {
      const i = f.chars.indexOf(cp);
      return i >= 0 ? cellof(f, f.codes[i]) : null;
    }).filter(Boolean);
  },
};
