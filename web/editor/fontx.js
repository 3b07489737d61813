// A FONTX2 font's cell, codes and glyph rows, read from its bytes: what
// the editor opens and the proof sheet lays out.

// {width, height, kind, rowbytes, codes (file order), bits(i)} or null.
export function readfontx(bytes) {
  if (bytes.length < 17 || String.fromCharCode(...bytes.slice(0, 6)) !== "FONTX2")
    return null;
  const width = bytes[14], height = bytes[15], kind = bytes[16];
  const rowbytes = (width + 7) >> 3, size = rowbytes * height;
  const codes = [];
  let at = 17;
  if (kind) {
    const n = bytes[17];
    at = 18 + 4 * n;
    for (let b = 0; b < n; b++) {
      const p = 18 + 4 * b;
      const start = bytes[p] | (bytes[p + 1] << 8), end = bytes[p + 2] | (bytes[p + 3] << 8);
      for (let c = start; c <= end; c++) codes.push(c);
    }
  } else {
    for (let c = 0; c < 256; c++) codes.push(c);
  }
  const bits = (i) => bytes.slice(at + i * size, at + (i + 1) * size);
  return { width, height, kind, rowbytes, codes, bits };
}

// The characters of a BDF font the program wrote of that FONTX2 font, in
// its glyphs' order (-1 where a code has none), and its ascent.
export function readbdfchars(text) {
  const chars = [];
  for (const m of text.matchAll(/^ENCODING (-?\d+)/gm)) chars.push(+m[1]);
  const a = /^FONT_ASCENT (\d+)/m.exec(text);
  return { chars, ascent: a ? +a[1] : 0 };
}
