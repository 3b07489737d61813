// The run a command line asks for, as the program and the web page both
// start it once its inputs are in memory: the format decided, then
// --show, --info --target, or the pipeline on one font.
#pragma once

#include "dosvfont/options.h"
#include "dosvfont/show.h"

// The format of a run: --show's PNG (-f may only say png), or formatof's
// for the first font. 0, or 2 after saying -f does not fit.
int chooseformat(options *o, const char *outpath, const fontinput *first);

// The run the options ask for on the fonts (one; two for --show and
// --info --target): --show, --info --target, or runfont on the first.
int runinputs(const options *o, const fontinput *fonts, int n, bool *salvaged);
