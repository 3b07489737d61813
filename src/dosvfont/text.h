// The texts the command line names (--text): read whole from a file or
// standard input, as the distinct characters they hold.
#pragma once

#include <cstdint>
#include <vector>

// The distinct characters of a UTF-8 text (standard input for a null
// path), control characters aside. 0, or 1 after saying why not.
int readtext(const char *path, std::vector<uint32_t> *chars);
