// A display's pixels, as a reader or the layout draws a text on them, and
// the picture of them: one PNG pixel a display pixel (or scale x scale),
// the ink in one colour on a background of another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fontx/glyphs.h"

struct screen {
  int width, height;
  std::vector<unsigned char> px; // a byte a pixel: 1 ink, 0 background
};

void screenopen(screen *s, int width, int height);

// A pixel inked (or cleared, ink 0), where it lies on the screen; off it,
// nothing.
inline void plot(screen *s, long x, long y, int ink = 1) {
  if (x >= 0 && y >= 0 && x < s->width && y < s->height)
    s->px[static_cast<size_t>(y) * static_cast<size_t>(s->width) +
          static_cast<size_t>(x)] = static_cast<unsigned char>(ink);
}

// The outline of a cell: what stands for a character no font has.
void drawbox(screen *s, long x, long y, int w, int h);

// A font as drawing looks glyphs up: the first glyph of each code.
struct drawfont {
  const glyphset *gs;
  std::vector<int32_t> at; // code -> glyph index, -1 for none
};
void fontopen(drawfont *f, const glyphset *gs);

// The glyph of code, or null; scratch holds a glyph cut short.
const unsigned char *glyphof(const drawfont *f, uint32_t code,
                             std::vector<unsigned char> *scratch);

// Writes the screen as PNG to the output stream, each pixel scale x scale,
// ink in fg and the rest in bg (RGB). 0, or -1 with why (too many pixels).
int screenpng(const screen *s, int scale, const unsigned char *fg,
              const unsigned char *bg, char *why, size_t size);
