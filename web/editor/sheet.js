// Where a glyph lies on the proof sheet the program draws, and which
// glyph a point of it is: the sheet's own layout (a row of 16 or 32 codes
// where any has a glyph, a gap before a row that does not follow the one
// above, a grid line around each cell).

function layout(f) {
  const scale = f.h >= 32 ? 1 : Math.ceil(32 / f.h);
  const cols = f.kind ? 32 : 16, cw = f.w * scale, ch = f.h * scale;
  const ls = ch >= 12 ? 2 : 1, labelw = 4 * ls + (f.kind ? 4 : 2) * 4 * ls;
  const first = new Map(); // code -> the index of its first glyph
  f.codes.forEach((c, i) => { if (!first.has(c)) first.set(c, i); });
  const rows = [...new Set([...first.keys()].map((c) => c - (c % cols)))].sort((a, b) => a - b);
  const tops = [];
  let y = 0;
  rows.forEach((r, k) => {
    const top = k === 0 || r !== rows[k - 1] + cols;
    if (top && k) y += 4 * ls;
    if (top) y++;
    tops.push(y);
    y += ch + 1;
  });
  return { scale, cols, cw, ch, labelw, first, rows, tops };
}

// The glyph index at a point of the sheet (its own pixels), or -1.
export function glyphat(f, x, y) {
  const l = layout(f);
  const k = l.tops.findIndex((t) => y >= t && y < t + l.ch);
  const col = Math.floor((x - l.labelw - 1) / (l.cw + 1));
  if (k < 0 || col < 0 || col >= l.cols || (x - l.labelw - 1) % (l.cw + 1) === l.cw) return -1;
  const i = l.first.get(l.rows[k] + col);
  return i === undefined ? -1 : i;
}

// The box of a code's cell on the sheet (its own pixels), or null.
export function cellof(f, code) {
  const l = layout(f);
  const k = l.rows.indexOf(code - (code % l.cols));
  if (k < 0) return null;
  return { x: l.labelw + 1 + (code % l.cols) * (l.cw + 1), y: l.tops[k], w: l.cw, h: l.ch };
}
