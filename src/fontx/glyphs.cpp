// The glyph set's bitmaps: freeing them, and a glyph's bits completed
// where the input ended early.
#include "fontx/glyphs.h"

#include <cstdlib>
#include <cstring>

void gsfree(glyphset *gs) {
  free(gs->blocks);
  free(gs->own);
  gs->blocks = nullptr;
  gs->own = nullptr;
}

const unsigned char *glyphcut(const glyphset *gs, size_t i,
                              unsigned char *scratch) {
  size_t have = i == gs->whole ? gs->partial : 0;
  if (have) memcpy(scratch, gs->bits + i * gs->glyphbytes, have);
  memset(scratch + have, 0xFF, gs->glyphbytes - have);
  return scratch;
}
