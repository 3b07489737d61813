// The glyphs drawn of the last font FreeType opened, for the next run that
// opens the same bytes the same way. The web page converts one font
// several times over (its facts, the proof sheet, the pair, the preview)
// in one process, and drawing is most of each run's work. Off unless
// asked for: a command draws each glyph once, and would only pay for the
// font's hash.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sources/source.h"

// Turns remembering on or off (off forgets everything).
void ftremember(int on);

// The key of an outline font's drawings: its bytes and the options it is opened
// with; 0 when remembering is off. A new key forgets the old font's.
uint64_t ftmemokey(const unsigned char *data, size_t n, const sourceopts *o);

// The glyph of handle as it was drawn for key (narrowed to fit), or null.
// Its bitmap stays valid until the next drawing.
const srcglyph *ftrecall(uint64_t key, uint32_t handle, int fit);

// Keeps g, just drawn, for key.
void ftkeep(uint64_t key, uint32_t handle, int fit, const srcglyph *g);
