// Re-coding: a source's glyphs under the kind and code set the output asks
// for, drawn into FONTX2 cells, as a new glyph set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fontx/glyphs.h"
#include "recode/codemap.h"
#include "sources/source.h"

// The kind of font recode makes of s: o's, a FONTX2 source's own, else
// double-byte for a JIS font and for a Unicode font with full-width
// characters (kana, CJK, Hangul) in the double-byte set written.
int kindof(const source *s, const recodeopts *o);

// Makes out from s. Returns 0; 1 with why when nothing can be made (no
// glyph of the kind, a cell outside 1-255); -1 when memory runs out.
int recode(source *s, const recodeopts *o, glyphset *out, recodefacts *f,
           char *why, size_t size);
