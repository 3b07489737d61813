// A glyph as the editor holds it: w x h pixels, a byte each (1 ink), and
// what each tool does to it. Every tool returns a new glyph.

export function blank(w, h) {
  return { w, h, px: new Uint8Array(w * h) };
}

// From FONTX2 rows (the leftmost pixel in the high bit).
export function fromrows(bytes, w, h) {
  const g = blank(w, h), rb = (w + 7) >> 3;
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++)
      g.px[y * w + x] = (bytes[y * rb + (x >> 3)] >> (7 - (x & 7))) & 1;
  return g;
}

// BDF's hexadecimal rows.
export function hexrows(g) {
  const rb = (g.w + 7) >> 3, rows = [];
  for (let y = 0; y < g.h; y++) {
    let s = "";
    for (let b = 0; b < rb; b++) {
      let v = 0;
      for (let k = 0; k < 8; k++) {
        const x = b * 8 + k;
        if (x < g.w && g.px[y * g.w + x]) v |= 0x80 >> k;
      }
      s += v.toString(16).toUpperCase().padStart(2, "0");
    }
    rows.push(s);
  }
  return rows;
}

export function same(a, b) {
  return a.w === b.w && a.h === b.h && a.px.every((v, i) => v === b.px[i]);
}

export function setpixel(g, x, y, v) {
  const n = { w: g.w, h: g.h, px: g.px.slice() };
  if (x >= 0 && y >= 0 && x < g.w && y < g.h) n.px[y * g.w + x] = v ? 1 : 0;
  return n;
}

// One pixel over, the pixels pushed out lost or, with wrap, coming back
// in on the other side.
export function shift(g, dx, dy, wrap) {
  const n = blank(g.w, g.h);
  for (let y = 0; y < g.h; y++)
    for (let x = 0; x < g.w; x++) {
      let sx = x - dx, sy = y - dy;
      if (wrap) sx = (sx + g.w) % g.w, sy = (sy + g.h) % g.h;
      if (sx >= 0 && sy >= 0 && sx < g.w && sy < g.h) n.px[y * g.w + x] = g.px[sy * g.w + sx];
    }
  return n;
}

export function flip(g, horizontal) {
  const n = blank(g.w, g.h);
  for (let y = 0; y < g.h; y++)
    for (let x = 0; x < g.w; x++)
      n.px[y * g.w + x] = horizontal ? g.px[y * g.w + (g.w - 1 - x)]
                                     : g.px[(g.h - 1 - y) * g.w + x];
  return n;
}

export function invert(g) {
  return { w: g.w, h: g.h, px: g.px.map((v) => 1 - v) };
}

export function clear(g) {
  return blank(g.w, g.h);
}

// Another glyph's pixels in this one's cell, from the top left.
export function pasted(g, from) {
  const n = blank(g.w, g.h);
  for (let y = 0; y < Math.min(g.h, from.h); y++)
    for (let x = 0; x < Math.min(g.w, from.w); x++) n.px[y * g.w + x] = from.px[y * from.w + x];
  return n;
}
