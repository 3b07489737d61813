// The conversion driver: one FONTX2 font from the input stream to one BDF
// font on the output stream, in a single forward pass.
#pragma once

#include <cstddef>

#include "fontx/fontx.h"

// Writes the whole BDF text of a FONTX2 font: header h, for a double-byte
// font its code-block table tbl of n entries, the glyphs read from the
// input stream. Shift_JIS codes become JIS X 0208 codes.
void jisbdf(const fontheader *h, const codeblock *tbl, int n);

// Runs the whole conversion on the process's two streams (see stream.h),
// which the caller has pointed at descriptors or memory, and flushes the
// output. Returns the exit status: 0 after a complete conversion, 1 when
// the input is not FONTX2, has a cell of no width or height, ended early, could
// not be read or the output could not be written; then msg (size bytes) holds
// the line for standard error, without its line feed.
int convert(char *msg, size_t size);
