// A text laid out on a display as a plain driver lays it out, with no
// reader's faults: from the top-left corner, left to right, each character
// in the font that holds it (the single-byte font for the codes it has,
// else the double-byte one, each through its code set), the pen moving by
// that font's cell width, no kerning. A line feed starts a line one cell
// lower (the taller font's); a line wraps at the right edge; a line that
// does not fit above the bottom edge is left out. A character neither font
// has is drawn as the outline of a cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/screen.h"

struct layoutfacts {
  size_t lines;                 // lines laid out, wrapped ones too
  size_t left;                  // of those, left out at the bottom
  size_t missing;               // characters neither font has
  std::vector<uint32_t> missed; // the first 8 of them, each once
  size_t kinds;                 // distinct characters missed
};

// Lays text (UTF-8, checked; n bytes) out on s with the fonts (one or
// two, of different kinds, null where absent).
void layouttext(const drawfont *single, const drawfont *dbl,
                const unsigned char *text, size_t n, screen *s, layoutfacts *f);
