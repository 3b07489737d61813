// FONTX2 files: the 17-byte header, the code-block table of double-byte
// fonts and the number of glyphs it announces, read from a stream as they
// come. (Whole files read into a glyph set and written from one:
// fontxset.h.)
//
// File layout (integers little-endian):
//   0  6  signature "FONTX2"
//   6  8  font name, ends early at a NUL
//  14  1  cell width in pixels
//  15  1  cell height in pixels
//  16  1  code type: 1 = double-byte (Shift_JIS, code blocks), else 256 glyphs
// Double-byte fonts go on with a block count byte and that many blocks of
// two 16-bit codes, start and end inclusive. Then the glyphs: height rows
// of (width + 7) / 8 bytes each, in code order, block after block.
//
// Only the signature is checked. A byte missing past the end of input reads
// as 0xFF (the stream's `ended` flag tells that it happened), except in the
// name, where missing bytes read as NUL and so end the name.
#pragma once

#include <cstdint>

#include "io/stream.h"

// What a font holds: a glyph for each of the 256 byte values, or glyphs for
// the codes of its code blocks (FONTX2's code type 1). ANYKIND where a
// kind is not known yet or is left to the font.
enum fontkind { ANYKIND = -1, SINGLEBYTE = 0, DOUBLEBYTE = 1 };

struct fontheader {
  unsigned char signature[6];
  unsigned char fontname[8];
  unsigned char width;
  unsigned char height;
  unsigned char codetype;
};

struct codeblock {
  uint16_t start;
  uint16_t end;
};

// Fills h from the stream. Returns 0 when the signature matched (whether or
// not the rest was there), 1 when it did not; then only the signature's
// bytes have been consumed.
int readheader(instream *in, fontheader *h);

// Two bytes, low byte first.
uint16_t getshort(instream *in);

// Reads n entries, start then end of each.
void readtbl(codeblock *tbl, int n, instream *in);

// Sum of end - start + 1 over the entries; an entry whose end is below its
// start counts 0.
int32_t nchars(int n, const codeblock *tbl);
