// The pipeline's own steps, shared by its FONTX2 and FreeType halves: a
// glyph set made from a source as the options ask, then written in the
// format asked for, or kept (--show, --info --target).
#pragma once

#include <cstddef>

#include "dosvfont/options.h"
#include "fontx/glyphs.h"
#include "sources/source.h"

// The glyph sets a run keeps instead of writing: one, or the two kinds of
// a pair.
struct keeper {
  glyphset sets[2];
  const char *labels[2];
  int n;
};

// Takes gs into k, which frees it; gs is left empty.
void keepset(keeper *k, glyphset *gs, const char *label);
void keepfree(keeper *k);

// Writes a glyph set in the format asked for, only the glyphs chosen marks
// when it is given. 0, or 1 or 2 after saying why.
int writeset(const options *o, const glyphset *gs, const unsigned char *chosen);

// A FONTX2 font written as it stands, restyled first where a style is
// asked for.
int writestyled(const options *o, const glyphset *gs,
                const unsigned char *chosen);

// The glyphs of s under the kind and code set the options ask for, written
// or kept. bysource: --range chose the source's codes already. weak: a
// warning that the source's set was guessed on little evidence, said
// where the set is used (re-coded, not copied).
int recodeto(const options *o, source *s, bool bysource, const char *weak);

// A FONTX2 input (fontxrun.cpp): described, written, or kept.
int fromfontx2(const options *o, const unsigned char *data, size_t n,
               int *truncated);

// Whether the options change a FONTX2 font's glyphs (a style, a subset).
bool restyled(const options *o);
