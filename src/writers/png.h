// Pictures written as PNG by libpng: a byte a pixel, each an index into a
// palette of a few colours.
#pragma once

#include <cstddef>

#include "io/stream.h"

// The most pixels a picture may have: 256 million (a 64 x 64 font's 8000
// glyphs take 40 million on a proof sheet).
enum : long { MAXPIXELS = 1L << 28 };

// Writes the width x height picture img (a byte a pixel, row by row) to
// out, its bytes indices into palette (entries colours, 3 bytes each, RGB;
// or a byte each, gray, when gray is set). 0, or -1 with why.
int pngwrite(const unsigned char *img, int width, int height,
             const unsigned char *palette, int entries, int gray,
             outstream *out, char *why, size_t size);
