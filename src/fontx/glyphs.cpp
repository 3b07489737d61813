// The glyph set's bitmaps: freeing them, and a glyph's bits completed
// where the input ended early.
#include "fontx/glyphs.h"

#include <algorithm>

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

void gskeep(glyphset *gs, size_t keep) {
  size_t total = 0;
  int b = 0;
  for (; b < gs->nblocks && total < keep; b++) {
    codeblock &k = gs->blocks[b];
    if (k.end < k.start) continue; // an empty block holds no glyph
    size_t n = std::min<size_t>(size_t{k.end} - k.start + 1, keep - total);
    k.end = static_cast<uint16_t>(k.start + n - 1);
    total += n;
  }
  gs->nblocks = b;
  gs->glyphs = total;
}
