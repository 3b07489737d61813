// A text drawn as a display reader draws it: each line one call of its
// string function at x = 0, the text turned into codes its way, each code
// looked up in its fonts, the glyph's rows read as it reads them, the pen
// kept as it keeps it (wrapping where it keeps it in 16 bits), clipped,
// wrapped or stopped at the screen's edge as it does. So the garbage a
// reader would draw shows before the font is flashed, and every character
// it cannot draw is named.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/screen.h"
#include "display/targets.h"

// A code the reader's conversion makes of a character it has none for.
const uint32_t NOCODE = 0xFFFFFFFF;

// Why a character of the text is not drawn as itself.
enum drawfault {
  FAULTLOST,    // the reader's text conversion makes no code of it
  FAULTWRONG,   // it makes codes of another character (or several)
  FAULTMISSING, // its code is in no font the reader looks it up in
  FAULTTOFU,    // as missing, drawn as the reader's substitute glyph
  FAULTS
};

// What the reader did that the picture may not make plain.
struct readerfacts {
  size_t calls;     // lines drawn
  size_t missing;   // codes no font had
  size_t dropped;   // characters its text conversion lost or damaged
  size_t cut;       // lines cut at its code buffer or its length's byte
  size_t overflows; // glyphs larger than its glyph buffer
  size_t hidden;    // lines below the screen's bottom
  size_t stopped;   // lines the reader stopped drawing at the edge
  // The distinct characters not drawn as themselves, in the order they
  // first come, by fault; wrongglyphs counts the glyphs drawn for them.
  std::vector<uint32_t> faulty[FAULTS];
  size_t times[FAULTS]; // how often the text has them
  size_t wrongglyphs;
};

struct readerfonts {
  const drawfont *single; // the single-byte font, or null
  const drawfont *dbl;    // the double-byte font, or null
  int height;             // the cell height a line takes (the taller)
};

// Draws text (UTF-8, n bytes, lines split at LF, a CR before an LF its
// line ending) on s as t draws it.
void readertext(const target *t, const readerfonts *f,
                const unsigned char *text, size_t n, screen *s,
                readerfacts *facts);

// The codes t's string function makes of a line (n bytes, no line end),
// at most the buffer it has; dropped counts characters lost or damaged.
// NOCODE where it has no code for a character but goes on.
size_t readercodes(const target *t, const unsigned char *line, size_t n,
                   uint32_t *codes, size_t most, size_t *dropped);
