// The texts a run is given: --text, whose distinct characters choose the
// glyphs written, and --show, drawn on a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest text read: more than any display shows, and bounded so that
// a device of endless bytes is refused at once.
enum : size_t { MAXTEXT = size_t{16} << 20 };

// The characters of a UTF-8 text of n bytes named label: distinct, sorted,
// control characters and a byte order mark aside (--text), or every one
// in order (--show). 0, or 1 after saying why not.
int textof(const unsigned char *data, size_t n, const char *label,
           std::vector<uint32_t> *chars, int distinct);
