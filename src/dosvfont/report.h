// What a run says besides its output: warnings, one line each, about the
// glyphs that lost ink to the cell and the characters a font written
// lacks or cannot hold.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dosvfont/options.h"
#include "fontx/glyphs.h"
#include "recode/recode.h"
#include "sources/source.h"

// The characters of --text that the font written lacks (lacked: the
// first 8 of them).
void warnlacking(const options *o, size_t lacking, const uint32_t *lacked);

// A selection left empty by --range or --text: the one message, and a
// line on why (lacking: how many of the text's characters the font lacks).
void saynone(const options *o, size_t lacking);

// Which glyphs lost ink to the cell, where, and what would keep it.
void warncut(const options *o, const source *s, const glyphset *out,
             const recodefacts *f);

// The characters of a font with a charset of its own that the set
// written cannot hold.
void warnlost(const options *o, const glyphset *out, const recodefacts *f);
