// How a font FreeType reads is sized into a FONTX2 cell: a bitmap strike
// as it is, or an outline scaled by one of two rules; and the facts about
// a font that --info gives.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "sources/source.h"

// Chooses the strike of size pixels (0: the only one) or scales an
// outline to size pixels by the rule fit (FITAUTO: FITLINE for a font
// that maps kana or CJK ideographs, which s->chars must already hold;
// FITEM otherwise), setting s's cell and baseline. Returns 0; 1 with why
// when the size cannot be set; 2 with why when the size asked for is not
// one the font has ("has no 13-pixel strike; it has 12 16"). With no size
// where one is needed, returns 0 with s->unsized set and why saying so.
int ftsize(FT_Face face, source *s, int size, int fit, char *why,
           size_t whysize);

// The vertical metrics of an outline font, in font units.
struct ftmetrics {
  long upem;
  long winascent, windescent;   // OS/2 usWin*, or hhea's where they are 0
  long typoascent, typodescent; // OS/2 sTypo* (descender negative)
  long hheaascent, hheadescent;
  int hasos2;
};
void ftmetricsof(FT_Face face, ftmetrics *m);
