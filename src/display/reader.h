// A text drawn as a display reader draws it: each line one call of its
// string function at x = 0, the text turned into codes its way, each code
// looked up in its fonts, the glyph's rows read as it reads them, the pen
// moved as it moves it (wrapping in a uint16_t where it keeps it in one),
// clipped at the screen's edges and never wrapped. So the garbage a
// reader would draw shows before the font is flashed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/screen.h"
#include "display/targets.h"

// What the reader did that the picture may not make plain.
struct readerfacts {
  size_t calls;     // lines drawn
  size_t missing;   // codes no font had
  size_t dropped;   // characters its text conversion lost or damaged
  size_t cut;       // lines cut at its code buffer or its length's byte
  size_t overflows; // glyphs larger than its glyph buffer
  size_t hidden;    // lines below the screen's bottom
};

struct readerfonts {
  const drawfont *single; // the single-byte font, or null
  const drawfont *dbl;    // the double-byte font, or null
  int height;             // the cell height a line takes (the taller)
};

// Draws text (UTF-8, n bytes, lines split at LF, a CR before an LF its
// line ending) on s as t draws it.
void readertext(const target *t, const readerfonts *f,
                const unsigned char *text, size_t n, screen *s,
                readerfacts *facts);

// The codes t's string function makes of a line (n bytes, no line end),
// at most the buffer it has; dropped counts characters lost or damaged.
// For tests and for drawing.
size_t readercodes(const target *t, const unsigned char *line, size_t n,
                   uint32_t *codes, size_t most, size_t *dropped);
