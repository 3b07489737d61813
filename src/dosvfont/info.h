// --info: what a font is and what it would be converted as, one fact a
// line ("key: value") on the output stream.
#pragma once

#include "dosvfont/options.h"
#include "fontx/fontxset.h"
#include "fontx/glyphs.h"
#include "recode/codemap.h"
#include "sources/source.h"

// One line of --info on the output stream.
__attribute__((format(printf, 1, 2))) void fact(const char *fmt, ...);

// A FONTX2 font, read as the code set in gs for the reason why, with the
// runner-up of a guess (or "").
void describe(const glyphset *gs, const fontxfacts *f, const char *why,
              const char *runnerup);

// How the styles asked for are had: the font's own face or made, where
// the lines come from, where the pictures would (s: null for a FONTX2
// font; out: the glyph set written, or the FONTX2 font).
void describestyles(const options *o, const source *s, const recodefacts *f,
                    const glyphset *out);

// A font FreeType reads; with a size, the FONTX2 font it would become,
// which takes drawing every glyph. Returns the exit status.
int describeft(const options *o, source *s);
