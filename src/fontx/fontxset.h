// Whole FONTX2 files and glyph sets: a file in memory read into a glyph set
// (its bitmaps left where they are), and a glyph set written as a file.
#pragma once

#include <cstddef>

#include "fontx/glyphs.h"
#include "io/stream.h"

// What reading a whole FONTX2 file found besides its glyphs.
struct fontxfacts {
  int stored;       // the block count as stored
  int repaired;     // 1 when it was read as stored + 256 k (it overflowed)
  size_t trailing;  // bytes after the last glyph
  int truncated;    // the file ends before the last glyph does
  size_t header;    // bytes of the 17-byte header there: fewer, and the
                    // cell and kind are not the font's but 0xFF's
  size_t glyphdata; // where the glyphs begin
};

// Reads a whole FONTX2 file in memory into gs, its bitmaps pointing into
// data, its code set left for the caller to say. A count of blocks that
// overflowed the count byte (more than 255 blocks) is repaired when
// stored + 256 k blocks make the file end exactly with its last glyph and
// the stored count does not. Returns 0, 1 when data is not FONTX2, -1
// when memory runs out.
int fontxload(const unsigned char *data, size_t n, glyphset *gs,
              fontxfacts *facts);

// Writes gs as a FONTX2 file to out, a double-byte font's blocks as they
// are in gs (at most 255). gs holds every glyph's bytes, as a re-coded set
// does: FONTX2 is only ever written from one.
void fontxwrite(const glyphset *gs, outstream *out);

// The bytes fontxwrite writes for gs.
size_t fontxbytes(const glyphset *gs);
