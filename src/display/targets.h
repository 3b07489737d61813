// The display drivers that read FONTX2 fonts on the devices, each one
// record of the rules it reads a font and a text by, as its source has
// them: how many bytes of each glyph row it reads, the glyphs it holds,
// how it turns a text into codes, what it does with a code its fonts
// lack, how it keeps its pen and what it does at the screen's edge. A font
// is checked against those rules before it is flashed, a font written for
// a reader gets a cell it reads right (rules.h), and a text is drawn as the
// reader would draw it (reader.h).
#pragma once

#include <cstddef>

// Bytes of each glyph row a reader reads: (w+7)/8, as stored, or (w+4)/8,
// a byte short for widths whose w mod 8 is 1, 2 or 3.
enum rowbytes { ROWSSTORED, ROWSPLUS4 };

// How a reader turns a line of UTF-8 text into codes.
enum textcodes {
  TEXTSJIS,     // String2SJIS: UTF-8 to Shift_JIS with its faults
  TEXTBYTES,    // each byte of the text a code of the single-byte font
  TEXTUNICODE,  // each character's Unicode value
  TEXTTABLE,    // UTF-8 decoded, then Shift_JIS by the reader's own table
  TEXTSHIFTJIS, // the text must be Shift_JIS bytes: the program's strings
};

// What a reader does at a code its fonts lack.
enum missrule {
  PENMINUSONE, // the pen becomes -1 in a uint16_t: 65535, and wraps
  PENTOZERO,   // the pen goes back to x = 0
  PENSTAYS,    // nothing is drawn, the pen stays
  PENTOFU,     // a double-byte code is drawn as 0x81A0's glyph (the box)
  PENUNSET,    // the pen advances by a width it never set: undefined
};

// How a reader keeps its pen's x.
enum penwidth {
  PENINT,      // wide enough never to wrap on a line that fits memory
  PENUINT16,   // a uint16_t: past 65535 it wraps to 0
  PENINT16,    // an int16_t: past 32767 it goes negative, off the screen
  PENINT16TO0, // an int16_t made 0 when negative: past 32767 back to 0
};

// What a reader does where the pen reaches the screen's right edge.
enum edgerule {
  EDGECLIP, // draws on; the panel drops what lies beyond
  EDGEWRAP, // a glyph that would cross it starts a row lower, at x = 0
  EDGESTOP, // the call returns at a glyph whose pen is at or past it
};

// Which font a code is looked up in.
enum lookuprule {
  LOOKPAIR,  // codes below 0x100 the single-byte font, the rest the other
  LOOKONE,   // the one font it was given
  LOOKORDER, // each font in turn: a single-byte code in the first
             // single-byte font, any other in the first font whose block
             // table has it (a single-byte font's first glyph bytes read
             // as a table where it comes first)
  LOOKLEAD,  // by the text's byte: a Shift_JIS lead byte the double-byte
             // font, any other the single-byte one
};

struct target {
  const char *name;        // on the command line: "rpi-tft"
  const char *project;     // whose driver: "Raspberry-ili9325 and its family"
  const char *file;        // where its rules were read: "tft_lib.c"
  const char *commit;      // the sources' commit they were read at
  const char *origin;      // where the y of a string call lies
  int pair;                // reads a single-byte and a double-byte font
  int singleonly;          // reads a single-byte font only
  int rows;                // rowbytes
  int maxglyph;            // bytes a glyph at most, or the font is refused; 0
  int buffer;              // bytes its glyph buffer holds (more overflow it); 0
  const char *bufferof;    // the driver whose buffer that is, when not all
  int maxwidth, maxheight; // the cell at most; 0 for no bound
  int drawrows;            // rows of a glyph drawn at most; 0 all
  int column;              // the pen advances by whole columns this wide
                           // (w / column of them); 1
  int lineheight;          // rows a line takes whatever the fonts; 0
  int pagewidth;           // columns of its memory's 8-row pages, a column
                           // past them the next page's first; 0
  int text;                // textcodes
  int maxcodes;            // codes a call at most (its buffer); 0 for none
  int lengthbits;          // the text's length kept in so many bits; 0
  int missing;             // missrule
  int pen;                 // penwidth
  int edge;                // edgerule
  int lookup;              // lookuprule
  int sizebits;            // a glyph's byte size kept in so many bits; 0
  int pixelbuffer;         // default bytes of a w*h*2 pixel buffer; 0 none
  int opaque;              // draws a glyph's background pixels too
  int newlines;            // CR and LF go back to x = 0 one cell lower
  int emptycall;           // a call with no text draws code 0's glyph
  const char *dbcs;        // the codes it looks double-byte glyphs up by
  const char *sbcs;        // and single-byte ones, null for any
};

// The targets, null-terminated by a record with a null name.
extern const target targets[];

// The target of that name, or null.
const target *findtarget(const char *name);

// "rpi-tft, rpi-oled, esp-idf, ...".
const char *targetnames();

// The width a reader reads right nearest above natural (natural itself
// when it does); for recodeopts::widthfor, rule a target.
int targetwidth(const void *rule, int natural);

// Whether a reader reads a cell of width w right: the row bytes it reads
// are those stored.
int readsrows(const target *t, int w);

// Whether a reader draws double-byte glyphs at all.
inline bool drawsdouble(const target *t) {
  return !t->singleonly;
}
