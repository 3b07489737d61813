// Unicode blocks looked up by code point.
#include "codes/blocks.h"

const unicodeblock *blockof(uint32_t u) {
  size_t lo = 0, hi = nunicodeblocks;
  while (lo < hi) { // the blocks are in order, apart from each other
    size_t mid = (lo + hi) / 2;
    if (unicodeblocks[mid].last < u)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < nunicodeblocks && unicodeblocks[lo].first <= u
             ? &unicodeblocks[lo]
             : nullptr;
}
