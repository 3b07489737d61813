#include "dosv2bdf/driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "writers/bdf.h"
#include "fontx/fontx.h"
#include "codes/sjis.h"
#include "io/stream.h"

static void charsline(int32_t n) {
  char *o = sroom(&output, 64);
  o = putlit(o, "CHARS ");
  o = putd(o, n);
  *o++ = '\n';
  sput(&output, o);
}

void jisbdf(const fontheader *h, const codeblock *tbl, int n) {
  char foundry[9];
  copyname(foundry, h->fontname);
  recshape s;
  shape(&s, h->width, h->height, 2);
  if (h->codetype != 1) {
    // 256 glyphs for the byte codes 0-255, in file order.
    bdfheader(h->width, h->height, 0, foundry, h->codetype);
    charsline(256);
    for (int c = 0; c < 256 && !output.err; c++) tobdf(&s, c, c);
  } else {
    // With no blocks there is no glyph to be the default; 0 (as for
    // single-byte fonts) points at none.
    bdfheader(h->width, h->height, n ? stoj(tbl[0].start) : 0, foundry, 1);
    charsline(nchars(n, tbl));
    // Every value of a block has a glyph in the file, Shift_JIS or not, so
    // each is walked in file order; the counter is wider than 16 bits so a
    // block ending at 0xFFFF stops. Values that are not Shift_JIS codes
    // would share their JIS code with a real glyph (0x7F maps like 0x80),
    // so they are written unencoded: readers keep the first glyph of a
    // code and the real one would lose it.
    for (int i = 0; i < n && !output.err; i++) {
      for (int32_t c = tbl[i].start; c <= tbl[i].end && !output.err; c++) {
        uint16_t code = static_cast<uint16_t>(c);
        int32_t jis = stoj(code);
        tobdf(&s, jis, issjis(code) ? jis : -1);
      }
    }
  }
  char *o = sroom(&output, 16);
  sput(&output, putlit(o, "ENDFONT\n"));
}

int convert(char *msg, size_t size) {
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
    jisbdf(&h, tbl, n);
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
