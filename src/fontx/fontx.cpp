// The FONTX2 stream reader: the header, the block count and the code-block
// table as they come, missing bytes read as 0xFF.
#include "fontx/fontx.h"

#include <cstring>

int readheader(instream *in, fontheader *h) {
  memset(h, 0, sizeof *h);
  if (sread(in, h->signature, 6) != 6 || memcmp(h->signature, "FONTX2", 6) != 0)
    return 1;
  sread(in, h->fontname, 8); // a short read leaves NULs, ending the name
  h->width = static_cast<unsigned char>(sgetc(in));
  h->height = static_cast<unsigned char>(sgetc(in));
  h->codetype = static_cast<unsigned char>(sgetc(in));
  return 0;
}

uint16_t getshort(instream *in) {
  unsigned lo = static_cast<unsigned>(sgetc(in)) & 0xFF;
  unsigned hi = static_cast<unsigned>(sgetc(in)) & 0xFF;
  return static_cast<uint16_t>(hi << 8 | lo);
}

void readtbl(codeblock *tbl, int n, instream *in) {
  for (int i = 0; i < n; i++) {
    tbl[i].start = getshort(in);
    tbl[i].end = getshort(in);
  }
}

int32_t nchars(int n, const codeblock *tbl) {
  int32_t total = 0;
  for (int i = 0; i < n; i++)
    if (tbl[i].end >= tbl[i].start) total += tbl[i].end - tbl[i].start + 1;
  return total;
}
