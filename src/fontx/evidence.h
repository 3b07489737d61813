// The evidence a double-byte FONTX2 font gives of its set, for the guess.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fontx/glyphs.h"

// The distinct codes whose glyph is a character's, in the font's order.
std::vector<uint16_t> charcodes(const glyphset *gs);

// The guess's candidate (an index into its list) that a word in text
// names, or -1, the word copied to found: whole, a word of the text (a
// file's name); else also run together with others (a header's name).
int namedin(const char *text, bool whole, char *found, size_t size);
