// dosvfont's pipeline: a font in memory is read into a glyph set (FONTX2 by
// our own reader, anything else by FreeType), its codes are mapped to the
// code set asked for, and a writer emits it (BDF, FONTX2 or PNG) to the
// output stream. The program's main only parses its command line, reads
// the input, opens the output and calls runfont.
#pragma once

#include <cstddef>

#include "dosvfont/options.h"

// The output format: -f, else the output file's extension (.bdf, .fnt, in
// any case), else BDF for FONTX2 input and FONTX2 for any other.
int formatof(const options *o, const char *outpath, const unsigned char *data,
             size_t n);

// Converts (or describes) the font in data as o says, writing to the output
// stream and flushing it. Warnings and the one line of a failure go to
// standard error, each beginning "dosvfont: ". Returns the exit status: 0,
// 1 when the font cannot be converted or written, 2 when the options do
// not fit the font. salvaged, when given, is set when the output is what was
// asked for although the status is 1 (a truncated font salvaged).
int runfont(const options *o, const unsigned char *data, size_t n,
            bool *salvaged = nullptr);
