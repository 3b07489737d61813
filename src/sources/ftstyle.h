// Bold, italic and the lines of a font FreeType reads: its own face for a
// style where its file has one, else the style made from the outline; the
// underline and strikeout where the font puts them.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "sources/source.h"

// Replaces *current by the face of the font's own file (data, n) that is
// the style o asks for, where it has one, and sets s->bold and s->italic
// to how each is had (OWNFACE, SYNTHETIC, NOSTYLE).
void ftownstyle(source *s, FT_Library lib, const unsigned char *data, size_t n,
                FT_Face *current, const sourceopts *o);

// Makes the styles s->bold and s->italic say are SYNTHETIC on the loaded
// outline of slot.
void ftstyle(const source *s, FT_GlyphSlot slot);

// Fills s->lines from the font's metrics at its size.
void ftlines(source *s, FT_Face face);
