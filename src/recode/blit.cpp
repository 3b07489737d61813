// Glyphs into cells: a byte at a time where a mono glyph fits, a pixel at
// a time, cutting and reporting, where it does not.
#include "recode/blit.h"

#include <cstddef>

namespace {

// A mono glyph that fits the cell, a byte at a time: nothing can be lost.
void blitfit(unsigned char *cell, size_t rb, int top, const srcglyph *g) {
  int shift = g->left & 7;
  size_t at = static_cast<size_t>(g->left) >> 3, n = (g->width + 7u) / 8;
  unsigned char last =
      static_cast<unsigned char>(0xFF << ((8 - g->width % 8) % 8));
  for (int y = 0; y < g->rows; y++) {
    const unsigned char *row = g->bits + static_cast<ptrdiff_t>(y) * g->pitch;
    unsigned char *d = cell + static_cast<size_t>(top + y) * rb + at;
    for (size_t k = 0; k < n; k++) {
      unsigned b = row[k] & (k + 1 == n ? last : 0xFF); // padding bits
      d[k] |= static_cast<unsigned char>(b >> shift);
      if (shift && (b << (8 - shift) & 0xFF))
        d[k + 1] |= static_cast<unsigned char>(b << (8 - shift));
    }
  }
}

} // namespace

int blit(unsigned char *cell, int width, int height, int ascent,
         const srcglyph *g) {
  size_t rb = (static_cast<size_t>(width) + 7) / 8;
  int top = ascent - g->top;
  if (!g->gray && g->left >= 0 && g->left + g->width <= width && top >= 0 &&
      top + g->rows <= height) {
    blitfit(cell, rb, top, g);
    return 0;
  }
  int lost = 0;
  for (int y = 0; y < g->rows; y++) {
    const unsigned char *row = g->bits + static_cast<ptrdiff_t>(y) * g->pitch;
    int cy = top + y;
    for (int x = 0; x < g->width; x++) {
      bool ink = g->gray ? row[x] >= 128 : (row[x >> 3] >> (7 - (x & 7))) & 1;
      if (!ink) continue;
      int cx = g->left + x;
      if (cx < 0 || cx >= width || cy < 0 || cy >= height) {
        lost |=
            (cx < 0 || cx >= width ? 1 : 0) | (cy < 0 || cy >= height ? 2 : 0);
        continue;
      }
      cell[cy * rb + (cx >> 3)] |= static_cast<unsigned char>(0x80 >> (cx & 7));
    }
  }
  return lost;
}
