// --patch: the patch font opened and laid over a font being written, and
// what it did, or why it was refused, said.
#pragma once

#include "dosvfont/options.h"
#include "fontx/glyphs.h"
#include "recode/codemap.h"
#include "recode/patch.h"

// Patches gs with o's patch, if any, keeping only what sel selects (null:
// all). Returns 0, or the exit status after saying why (1: a patch that
// is no BDF font, a glyph outside the cell or with no code; nothing is to
// be written then).
int patchwritten(const options *o, glyphset *gs, const recodeopts *sel,
                 patchfacts *pf);

// The --info line for what the patches did: "patch: 3 glyphs (2
// replaced, 1 added)".
void describepatch(const options *o, const patchfacts *pf);
