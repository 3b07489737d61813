// Bitmap fonts held to what their bytes can hold before FreeType reads
// them: the glyphs and bitmap bytes that a BDF text's CHARS and BBX lines
// and a PCF font's metrics announce.
#pragma once

#include <cstddef>

// 0 when the font in data (inflated, if it was gzipped) announces no more
// than it can hold, or is not BDF or PCF; 1 with why when it announces
// more ("announces 3932160000 bytes of glyph bitmaps in 3600012 bytes of
// text").
int fontbounds(const unsigned char *data, size_t n, char *why, size_t size);
