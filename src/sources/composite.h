// How deep a TrueType font's composite glyphs nest, measured before
// FreeType follows them: FreeType follows a chain of composites by
// recursion as deep as the chain, whatever the font's maxp declares, so a
// chain of thousands exhausts the stack.
#pragma once

#include <cstddef>

// The deepest nesting any real font needs is a few levels (an accented
// letter made of a letter made of strokes); this leaves room to spare and
// keeps FreeType's recursion a few kilobytes deep.
const int COMPOSITEMOST = 32;

// 0 when the TrueType outlines of the font (of every face of a collection)
// nest their composites at most COMPOSITEMOST deep, or when it has none
// (CFF outlines, bitmaps, not an sfnt); 1 with why when they nest deeper
// ("composite glyphs nest deeper than 32 levels (glyph 30001)").
int compositedepth(const unsigned char *data, size_t n, char *why, size_t size);
