// A glyph drawn into a FONTX2 cell: its origin at column 0, its baseline
// ascent rows below the top, ink outside the cell cut and reported.
#pragma once

#include "sources/source.h"

// Draws g into a cell of width x height pixels, rows of (width + 7) / 8
// bytes, the leftmost pixel in the high bit. Returns where ink was cut:
// CUTSIDES, CUTENDS, both, or 0 when none was.
int blit(unsigned char *cell, int width, int height, int ascent,
         const srcglyph *g);
