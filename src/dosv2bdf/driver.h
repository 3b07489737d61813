// The conversion driver: one FONTX2 font from the input stream to one BDF
// font on the output stream, in a single forward pass.
#pragma once

#include <cstddef>

#include "fontx/fontx.h"

// Runs the whole conversion on the process's two streams (see stream.h),
// which the caller has pointed at descriptors or memory, and flushes the
// output. Returns the exit status: 0 after a complete conversion, 1 when
// the input is not FONTX2, has a cell of no width or height, ended early, could
// not be read or the output could not be written; then msg (size bytes) holds
// the line for standard error, without its line feed.
int runfilter(char *msg, size_t size);
