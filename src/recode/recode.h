// Re-coding: a source's glyphs under the kind and code set the output asks
// for, drawn into FONTX2 cells, as a new glyph set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fontx/glyphs.h"
#include "sources/source.h"

struct recodeopts {
  int kind;             // 0 single-byte, 1 double-byte, -1 from the font
  const char *codes;    // -c, a double-byte output's code set; null: sjis
  const char *charset;  // -e, a single-byte output's; null: CP932's bytes
  int width;            // the cell width; 0 from the font
  const char *name;     // the FONTX2 name; null from the font
  uint32_t first, last; // only the output's codes first to last
  const uint32_t *text; // null, or only these characters (sorted)
  size_t ntext;
  int lostchars; // count the source's characters left without a code
  // Called now and then while glyphs are drawn (the web page's progress
  // bar); may be null.
  void (*progress)(size_t done, size_t total);
};

// Where a glyph lost ink to the cell.
enum { CUTSIDES = 1, CUTENDS = 2 };

struct recodefacts {
  size_t cut;   // glyphs that lost ink outside the cell
  int where;    // CUTSIDES, CUTENDS: where they lost it, over all
  int right;    // the width that would keep the ink at the sides
  size_t named; // the first cut glyphs, up to 8: output code, character
  uint32_t code[8];
  int32_t uni[8]; // -1 where the source's code has no Unicode value
  size_t lacking; // characters of the text that no glyph written has
  uint32_t lacked[8];
  size_t lost; // with lostchars: the source's characters left out
  uint32_t lostu[8];
  size_t runs;   // runs of consecutive codes (double-byte output)
  size_t blanks; // blank glyphs that fill the gaps of joined runs
};
// Makes out from s. Returns 0; 1 with why when nothing can be made (no
// glyph of the kind, a cell outside 1-255); -1 when memory runs out.
int recode(source *s, const recodeopts *o, glyphset *out, recodefacts *f,
           char *why, size_t size);
