// The front end's options turned into the records the stages take: each
// stage reads a record of its own, never the command line's, and this is
// the one place that knows both.
#pragma once

#include "dosvfont/options.h"
#include "recode/codemap.h"
#include "writers/bdfset.h"
#include "writers/csource.h"
#include "writers/sheet.h"

// Re-coding as the options ask: the width, kind and sets, the FONTX2 name
// when FONTX2 is written, --range (unless the source's codes were chosen
// by it already: bysource) and --text.
recodeopts recodeoptsof(const options *o, bool bysource);

// A font FreeType reads opened at the size, fit and face asked for.
sourceopts sourceoptsof(const options *o);

// A BDF font and a proof sheet of the glyphs chosen (null: all).
bdfopts bdfoptsof(const options *o, const unsigned char *chosen);
sheetopts sheetoptsof(const options *o, const unsigned char *chosen);

// C source: the array named by --c-name, else after the output file, else
// -n, else the input's file (name holds it, size bytes).
copts coptsof(const options *o, char *name, size_t size);
