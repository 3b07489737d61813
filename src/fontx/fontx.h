// FONTX2 files: the 17-byte header, the code-block table of double-byte
// fonts and the number of glyphs it announces, read from a stream as they
// come; and whole files read into a glyph set and written from one.
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

struct glyphset;

// What reading a whole FONTX2 file found besides its glyphs.
struct fontxfacts {
  int stored;       // the block count as stored
  int repaired;     // 1 when it was read as stored + 256 k (it overflowed)
  size_t trailing;  // bytes after the last glyph
  int truncated;    // the file ends before the last glyph does
  size_t glyphdata; // where the glyphs begin
};

// Reads a whole FONTX2 file in memory into gs, its bitmaps pointing into
// data, its code set left for the caller to say. A count of blocks that
// overflowed the count byte (more than 255 blocks) is repaired when
// stored + 256 k blocks make the file end exactly with its last glyph and
// the stored count does not. Returns 0, 1 when data is not FONTX2, -1
// when memory runs out.
int fontxload(const unsigned char *data, size_t n, glyphset *gs,
              fontxfacts *facts);

// Writes gs as a FONTX2 file to the output stream, a double-byte font's
// blocks as they are in gs (at most 255). gs holds every glyph's bytes, as
// a re-coded set does: FONTX2 is only ever written from one.
void fontxwrite(const glyphset *gs);
