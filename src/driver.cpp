#include "driver.h"

#include <cstdio>
#include <cstring>

#include "bdf.h"
#include "fontx.h"
#include "stream.h"

static void countline(const char *word, long n) {
  char *o = sroom(&output, 64);
  o = putstr(o, word);
  o = putd(o, static_cast<int32_t>(n));
  *o++ = '\n';
  sput(&output, o);
}

// 256 glyphs for the byte codes 0-255, in file order.
static void singlebyte(const fontheader *h, const char *foundry) {
  bdfheader(h->width, h->height, 0, foundry, h->codetype);
  countline("CHARS ", 256);
  for (int c = 0; c < 256 && !output.err; c++) tobdf(c, c, h->width, h->height);
}

int convert(char *msg, size_t size) {
  fontheader h;
  int bad = readheader(&input, &h);
  if (bad && !input.err) {
    snprintf(msg, size, "not in FONTX2 format");
    return 1;
  }
  if (!bad) {
    char foundry[9];
    copyname(foundry, h.fontname);
    if (h.codetype == 1) {
      // Double-byte fonts: to come.
      snprintf(msg, size, "double-byte fonts are not supported yet");
      return 1;
    }
    singlebyte(&h, foundry);
    char *o = sroom(&output, 16);
    sput(&output, putstr(o, "ENDFONT\n"));
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
