// A glyph set as a BDF font, numbered by Unicode or by the font's own codes.
#pragma once

#include <cstddef>

#include "fontx/glyphs.h"

enum numbering { NUMUNICODE, NUMNATIVE };

struct bdfopts {
  int numbering;               // NUMUNICODE or NUMNATIVE
  const char *family;          // null: from the FONTX2 name
  const char *foundry;         // null: Misc
  int encodedonly;             // leave out the glyphs written unencoded
  const unsigned char *chosen; // null, or per glyph in file order: written
};

// 1 when gs under numbering is written as dosv2bdf writes it (a Shift_JIS
// or DOS/V single-byte font, native): a text that names and keeps every
// glyph its own way.
int isjistext(const glyphset *gs, int numbering);

// Writes gs to the output stream. NUMUNICODE: every glyph encoded by its code
// point, where it has one of its own (see bdfset.cpp). NUMNATIVE: Shift_JIS
// fonts and DOS/V single-byte fonts as JIS X 0208 and JIS X 0201 fonts,
// exactly as dosv2bdf writes them; other single-byte fonts under X11's
// registry for their charset; Unicode-coded fonts as under NUMUNICODE.
// Returns 0, or -1 with why (size bytes) saying what cannot be written
// (a code set that has no native registry); then nothing was written.
int setbdf(const glyphset *gs, const bdfopts *b, char *why, size_t size);
