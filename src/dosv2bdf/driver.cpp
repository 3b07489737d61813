// dosv2bdf's conversion: the header checked, the code-block table read,
// the BDF text written by the JIS writer, and the one line a failure gets.
#include "dosv2bdf/driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fontx/fontx.h"
#include "io/stream.h"
#include "writers/bdf.h"

int runfilter(char *msg, size_t size) {
  fontheader h;
  int bad = readheader(&input, &h);
  if (bad && !input.err) {
    snprintf(msg, size, "not in FONTX2 format");
    return 1;
  }
  if (!bad && (!h.width || !h.height)) {
    // No glyph can be drawn in such a cell, and readers refuse the BDF
    // text it would give (a negative ascent and point size).
    snprintf(msg, size, "cell %dx%d is outside 1-255", h.width, h.height);
    return 1;
  }
  if (!bad) {
    int n = 0;
    codeblock *tbl = nullptr;
    if (h.codetype == 1) {
      n = sgetc(&input) & 0xFF; // a missing count byte reads as 255
      if (n && !(tbl = static_cast<codeblock *>(calloc(n, sizeof *tbl)))) {
        snprintf(msg, size, "out of memory");
        return 1;
      }
      readtbl(tbl, n, &input);
    }
    jisbdf(&h, tbl, n, &input);
    // Released here rather than left to the process's end, so that
    // repeated in-process conversions (tests, fuzzing) do not leak.
    free(tbl);
  }
  // Output failures first: they mean the font did not arrive at all.
  if (sflush(&output))
    snprintf(msg, size, "write error: %s", strerror(output.err));
  else if (input.err)
    snprintf(msg, size, "read error: %s", strerror(input.err));
  else if (input.ended)
    snprintf(msg, size, "unexpected end of input");
  else
    return 0;
  return 1;
}
