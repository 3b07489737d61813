// What a double-byte FONTX2 font's codes are, which the file does not say:
// Shift_JIS (CP932), Shift_JIS-2004, Unicode values, or the Chinese and
// Korean sets in use (CP936, CP949, BIG5), weighed by how many of the
// font's codes each set decodes, how many of those to characters outside
// the private use area, and the names in the font's header and file.
#pragma once

#include <cstddef>

#include "codes/codes.h"
#include "fontx/glyphs.h"

enum { NGUESSES = 6 };

struct guess {
  codeset set[NGUESSES]; // the candidates, the best first
  size_t decoded[NGUESSES];
  size_t plain[NGUESSES]; // decoded outside the private use area
  int named[NGUESSES];    // NAMEDHEADER, NAMEDFILE: where a name says it
  size_t codes;           // the distinct codes weighed
  int weak;               // few codes, or a set of another kind as good
  int rival;              // the best of another kind (an index here)
  char name[24];          // the word that named the best, if any
  int partial; // only the best weighed: the other counts, weak and rival
               // are not known
};

enum { NAMEDHEADER = 1, NAMEDFILE = 2 };

// How far to weigh: every candidate, for the runner-up and the counts
// --info gives, or only as far as the best is sure.
enum guessdepth { GUESSALL, GUESSBEST };

// Weighs the codes of gs (double-byte), whose file is named path (null
// for standard input). g->set[0] is the guess, g->set[1] the runner-up
// (unless g->partial). GUESSBEST picks the same best as GUESSALL.
void guesscodes(const glyphset *gs, const char *path, guess *g,
                guessdepth depth = GUESSALL);
