// A glyph set as a picture: a proof sheet in PNG, to see in a second
// whether the cell, the baseline and the characters are right.
//
// Glyphs lie in code order on a grid of 16 columns (single-byte) or 32
// (double-byte): a row holds the codes from a multiple of the column
// count, each glyph at its true size times the scale, one pixel of grid
// line between cells. Double-byte rows are only those that hold a glyph,
// with a gap wherever codes are skipped (a block ends). The code of each
// row's first column is written at its left in a small pixel font of our
// own. Four shades: the page (and codes without a glyph) light gray, the
// cells white, the ink black, grid lines and labels dark gray.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fontx/glyphs.h"

struct sheetopts {
  int scale; // each pixel of a glyph as scale x scale; 0: chosen
  const unsigned char *chosen; // null, or per glyph in file order: drawn
};

// The shades' palette indices and gray values.
enum { PAGE, PAPER, INK, LINE };

// Writes the sheet of gs to the output stream. Returns 0, or -1 with why
// when there is nothing to draw or the picture cannot be made.
int sheetpng(const glyphset *gs, const sheetopts *o, char *why, size_t size);

// The scale when none is given: a 16-pixel font drawn twice its size.
int sheetscale(int height);
