// A font checked against a display reader's rules before it is flashed:
// a line a rule, met, broken (the font would not work: refused when it is
// written for the reader) or worth knowing, with the remedy.
#pragma once

#include <vector>

#include "display/targets.h"
#include "fontx/glyphs.h"

// How a fact about a font stands.
enum factstate {
  FACTMET,    // the font meets it
  FACTBREAKS, // it breaks the reader: refused when written for it
  FACTNOTE,   // worth knowing, or a setting of the reader's own to change
};

struct factline {
  int state;      // factstate
  char key[24];   // "cell width", "glyph bytes", "codes"
  char text[400]; // what the rule is, whether the font meets it, remedy
};

// Checks the fonts of a reader's call (one, or a pair of either order)
// against t's rules, a line a fact. What the fonts lack (a pair reader
// given one font, a set it does not look codes up in) is said too.
void checkfonts(const target *t, const glyphset *const *fonts, int n,
                std::vector<factline> *facts);

// The rules of t as lines for --target list, whatever the font.
void describetarget(const target *t, std::vector<factline> *facts);
