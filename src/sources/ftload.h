// FreeType for the sources: one library for the process, whose memory
// fails as the program's containers do (through the new-handler), and
// gzipped fonts inflated whole.
#pragma once

#include <cstddef>

#include <ft2build.h>
#include FT_FREETYPE_H

// The process's library in *lib, made at the first call: 0, or FreeType's
// error.
FT_Error ftlibrary(FT_Library *lib);

// A gzipped font (.pcf.gz) inflated whole, in one pass, by FreeType's gzip
// stream, into a buffer malloc gives (*out, *size). Returns 0; 1 when it
// is not gzip data after all; 2 when it inflates past GZMAX bytes; -1 when
// memory runs out.
int ftgunzip(const unsigned char *data, size_t n, unsigned char **out,
             size_t *size);
