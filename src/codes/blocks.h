// The blocks of Unicode, by the names the Unicode Character Database
// gives them, made at build time from its Blocks.txt (blocks.cmake).
#pragma once

#include <cstddef>
#include <cstdint>

struct unicodeblock {
  uint32_t first, last;
  const char *name;
};

extern const unicodeblock unicodeblocks[];
extern const size_t nunicodeblocks;

// The block of code point u, or null where none is allocated.
const unicodeblock *blockof(uint32_t u);
