// The glyph set: one font in memory, as every reader fills it and every
// writer emits it. FONTX2's own model: a fixed cell, codes that are either
// the 256 byte values or code blocks, what those codes mean, and the
// bitmaps in one buffer, glyph after glyph, each `height` rows of
// (width + 7) / 8 bytes, the leftmost pixel in the high bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codes/codes.h"
#include "fontx/fontx.h"

struct glyphset {
  int width, height; // the cell
  int ascent;        // rows above the baseline
  int kind;          // SINGLEBYTE or DOUBLEBYTE (fontkind)
  unsigned char name[8];
  codeset codes; // what the codes mean
  int nblocks;
  codeblock *blocks; // DOUBLEBYTE: in file order; owned
  size_t glyphs;     // how many the codes announce
  size_t glyphbytes; // bytes of one glyph
  const unsigned char *bits;
  size_t whole;       // glyphs whose bytes are all in bits
  size_t partial;     // bytes of the next glyph that are there
  unsigned char *own; // the bitmap buffer, when the set allocated it
};

void gsfree(glyphset *gs);

// A double-byte set cut to its first keep glyphs: the blocks past them
// dropped, the last one kept cut short.
void gskeep(glyphset *gs, size_t keep);

// Glyph i's bitmap. A glyph past the end of the input's bytes comes out
// completed with 0xFF bytes, made in scratch (glyphbytes bytes).
// Inline: it runs for every glyph written.
const unsigned char *glyphcut(const glyphset *gs, size_t i,
                              unsigned char *scratch);
inline const unsigned char *glyphbits(const glyphset *gs, size_t i,
                                      unsigned char *scratch) {
  return i < gs->whole ? gs->bits + i * gs->glyphbytes
                       : glyphcut(gs, i, scratch);
}

// Calls f(code) for every glyph, in file order, while f returns true.
template <class F> void eachcode(const glyphset *gs, F f) {
  if (!gs->kind) {
    for (uint32_t c = 0; c < 256; c++)
      if (!f(c)) return;
    return;
  }
  // Wider than 16 bits, so that a block ending at 0xFFFF stops.
  for (int b = 0; b < gs->nblocks; b++)
    for (uint32_t c = gs->blocks[b].start; c <= gs->blocks[b].end; c++)
      if (!f(c)) return;
}
