// The texts the command line names (--text, --show), read whole from a
// file or standard input and checked (texts.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dosvfont/texts.h"
#include "io/files.h"

// The distinct characters of a UTF-8 text (standard input for a null
// path), control characters aside, and how many bytes it has. 0, or 1
// after saying why not: a text over MAXTEXT is refused before it is read
// where its size is known.
int readtext(const char *path, std::vector<uint32_t> *chars, size_t *bytes);

// The text of --show (standard input for a null path), whole, checked as
// UTF-8. 0, or 1 after saying why not.
int readshown(const char *path, inbuf *t);
