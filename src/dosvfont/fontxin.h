// Which code set a FONTX2 input is read in: given (--from, or -c and -e
// where they name the input's set), or guessed (a single-byte font's from
// its file's name, a double-byte font's from its codes and names), and the
// words --info and the warnings give for it.
#pragma once

#include "dosvfont/options.h"
#include "fontx/glyphs.h"

struct readas {
  char why[240];      // for --info: "given with -c", "guessed: ..."
  char runnerup[160]; // --info's runner-up, or ""
  char weak[240];     // a warning that the guess rests on little, or ""
  int defaulted;      // a single-byte font read as CP932 for want of a name
};

// Sets gs->codes as the options say or the evidence has it. 0, or 2 after
// saying which option names a set that does not fit the font.
int readfontx(const options *o, glyphset *gs, readas *r);
