// Edits over a font being written: the glyphs of a patch font (a BDF font
// FreeType reads) replace the glyphs of the same characters in a glyph
// set, or add them, each placed as BDF places it: its box from the
// baseline, on the cell's baseline. Nothing is changed unless every glyph
// fits the cell and has a character some set of the pair can hold.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codes/codes.h"
#include "fontx/glyphs.h"
#include "recode/codemap.h"
#include "sources/source.h"

struct patchopts {
  source *patch; // the patch font, opened
  // The set of the other kind's font (a pair's other half): a character
  // it holds and this font's set does not is that font's edit, not a
  // fault; null when there is none.
  const codeset *other;
  // The selection the font was written with (--range, --text), or null:
  // a patched character is kept only where it has it.
  const recodeopts *sel;
};

// What a patch refused.
enum patchfault { PATCHOK, PATCHOUTSIDE, PATCHUNHELD };

struct patchfacts {
  size_t replaced, added; // glyphs of the set
  size_t elsewhere;       // the patch's characters for the other kind's font
  int fault;              // patchfault
  uint32_t code;          // the first refused glyph: its code in the patch
  int32_t uni;            // and its character, or -1
};

// Patches gs, which then owns its bitmaps. 0; 1 when the patch is refused
// (f->fault says why), gs unchanged; -1 when memory runs out.
int patchset(glyphset *gs, const patchopts *o, patchfacts *f);
