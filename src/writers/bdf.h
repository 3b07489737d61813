// BDF 2.1 writer: the foundry name, the font header (the JIS fonts' with 18
// properties, or one named as X11's own fonts are), and the glyph records,
// each from a bitmap in memory or taken straight from the input.
//
// Every font is a fixed-cell font: all glyphs have the cell size and the
// same advance; the JIS fonts' baseline lies two pixels above the bottom of
// the cell. Numbers are 32-bit signed, so a cell height of 0 or 1 gives
// negative sizes as they are. Output goes to the process's output stream;
// bitmap bytes come from the stream the caller gives. The writer keeps no
// state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fontx/fontx.h"
#include "io/stream.h"
#include "writers/hex.h"

// Foundry name from the 8 name bytes: stops at a NUL; drops spaces, hyphens
// and control bytes (they would break the name's fields or the lines);
// lowercases A-Z, then capitalises a leading a-z. Other bytes pass as they
// are. dst holds at least 9 bytes.
void copyname(char *dst, const unsigned char *fontname);

// Everything from STARTFONT to ENDPROPERTIES. The FONTX2 code type 1
// (DOUBLEBYTE) declares JIS X 0208, any other JIS X 0201.
void bdfheader(int width, int height, int32_t defchar, const char *foundry,
               int codetype);

// A font named and sized as X11's own: the foundry (Misc) and family given,
// POINT_SIZE round(720 * height / 75) and SIZE its tenth, registry and
// encoding as given, DEFAULT_CHAR when there is one. Everything from
// STARTFONT to ENDPROPERTIES.
struct xlfd {
  const char *foundry, *family, *registry, *encoding;
  int width, height, ascent;
  int32_t defchar;
  int hasdefault;
};
void xlfdheader(const xlfd *x);

// The scalable width: the advance in thousandths of the pixel size,
// round(1000 * width / height), as X11's own bitmap fonts give it, so that
// readers that take widths from it (FontForge) see the cell width. 0 for a
// height of 0.
int32_t swidth(int width, int height);

// What every glyph record of a font shares, made once for the font: the
// lines from SWIDTH to BITMAP, the bitmap's size and its row converter.
struct recshape {
  int width, height;
  size_t rowbytes, bytes; // bitmap bytes of a row and of a glyph
  size_t room;            // the most one record writes, slack included
  rowsfn rows;
  size_t taillen;
  char tail[64]; // "\nSWIDTH .. 0\nDWIDTH .. 0\nBBX ..\nBITMAP\n", padded
};

// descent: rows below the baseline.
void shape(recshape *s, int width, int height, int descent);

// The rest of a record after the glyph name on its STARTCHAR line: the
// ENCODING line with enc, the shared lines, the rows of bits, ENDCHAR.
// Writes into room obtained for s->room bytes; returns the end.
char *putrest(char *o, const recshape *s, int32_t enc,
              const unsigned char *bits);

// The whole BDF text of a FONTX2 font as dosv2bdf writes it: header h, for
// a double-byte font its code-block table tbl of n entries, the glyphs read
// from in in file order. Shift_JIS codes become JIS X 0208 codes.
void jisbdf(const fontheader *h, const codeblock *tbl, int n, instream *in);
