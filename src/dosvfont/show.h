// --show and --info --target: the fonts of a run made (or read) into the
// FONTX2 glyph sets they would be written as, then a text drawn with them
// on a simulated display, or the sets checked against a display reader.
#pragma once

#include <cstddef>

#include "dosvfont/options.h"

struct fontinput {
  const unsigned char *data;
  size_t n;
  const char *path;  // null for standard input
  const char *label; // as messages name it
};

// Draws o->showtext with the fonts as the display (o->reader, or a plain
// driver) draws it, as a PNG on the output stream. Returns the exit status.
int runshow(const options *o, const fontinput *fonts, int n);

// --info --target: each font's FONTX2 form, and each rule of the reader
// with whether the fonts meet it. Returns the exit status.
int runtargetinfo(const options *o, const fontinput *fonts, int n);
