// The texts the command line names (--text): read whole from a file or
// standard input, as the distinct characters they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest text read: more than any display shows, and bounded so that
// a device of endless bytes is refused at once.
enum : size_t { MAXTEXT = size_t{16} << 20 };

// The distinct characters of a UTF-8 text (standard input for a null
// path), control characters aside, and how many bytes it has. 0, or 1
// after saying why not: a text over MAXTEXT is refused before it is read
// where its size is known.
int readtext(const char *path, std::vector<uint32_t> *chars, size_t *bytes);
