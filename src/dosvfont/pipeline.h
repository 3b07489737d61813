// dosvfont's pipeline: a font in memory is read into a glyph set (FONTX2 by
// our own reader, anything else by FreeType), its codes are mapped to the
// code set asked for, and a writer emits it (BDF, FONTX2 or PNG) to the
// output stream. The program's main only parses its command line, reads
// the input, opens the output and calls runfont.
#pragma once

#include <cstddef>
#include <cstdint>

enum { FMTAUTO, FMTBDF, FMTFONTX2, FMTPNG };

// The largest input read: a double-byte FONTX2 font of every 16-bit code
// at the largest cell is 535 MB, and no other font comes near.
enum : size_t { MAXINPUT = size_t{1} << 30 };

// The options given, so that one that cannot change the output is
// refused instead of ignored.
enum given : unsigned {
  GAVEF = 1u << 0,        // -f
  GAVER = 1u << 1,        // -r
  GAVEC = 1u << 2,        // -c
  GAVEE = 1u << 3,        // -e
  GAVEK = 1u << 4,        // -k
  GAVEW = 1u << 5,        // -w
  GAVES = 1u << 6,        // -s
  GAVEN = 1u << 7,        // -n
  GAVESCALE = 1u << 8,    // --scale
  GAVERANGE = 1u << 9,    // --range
  GAVEFIT = 1u << 10,     // --fit
  GAVESALVAGE = 1u << 11, // --salvage
  GAVEFOUNDRY = 1u << 12, // --foundry
  GAVEENCODED = 1u << 13, // --encoded-only
  GAVETEXT = 1u << 14,    // --text
};

struct options {
  int format;    // FMTAUTO: chosen by formatof
  int numbering; // UNICODE or NATIVE (bdfset.h)
  int info;      // describe the input instead of converting it
  // -c and -e: the input's code set when a FONTX2 font becomes BDF or PNG
  // (null: guessed, CP932), the output's when FONTX2 is written (null:
  // sjis, CP932's single bytes).
  const char *codes;    // -c: double-byte codes
  const char *charset;  // -e: a single-byte charset
  int kind;             // -k: 0 single-byte, 1 double-byte, -1 from the font
  int width;            // -w: the cell width, 0 from the font
  int size;             // -s: a strike's or a rendering's pixel size, or 0
  int fit;              // --fit: FITAUTO, FITLINE or FITEM (source.h)
  const char *name;     // -n: the FONTX2 name or the BDF family, or null
  const char *foundry;  // --foundry: the BDF foundry, or null
  int scale;            // --scale: a proof sheet's; 0 chosen
  unsigned first, last; // --range (with GAVERANGE): the codes written
  const uint32_t *text; // --text: its characters, sorted, distinct
  size_t ntext;
  int encodedonly; // --encoded-only: BDF without unencoded glyphs
  unsigned given;  // GAVE*: the options given
  void (*progress)(size_t done, size_t total); // drawing glyphs; or null
  int salvage;       // --salvage: write a truncated FONTX2 font anyway
  const char *path;  // the input's file name, null for standard input
  const char *label; // the input as messages name it
  const char *outlabel;
};

// One line on standard error, after "dosvfont: ".
__attribute__((format(printf, 1, 2))) void say(const char *fmt, ...);

// The output format: -f, else the output file's extension (.bdf, .fnt, in
// any case), else BDF for FONTX2 input and FONTX2 for any other.
int formatof(const options *o, const char *outpath, const unsigned char *data,
             size_t n);

// Converts (or describes) the font in data as o says, writing to the output
// stream and flushing it. Warnings and the one line of a failure go to
// standard error, each beginning "dosvfont: ". Returns the exit status: 0,
// 1 when the font cannot be converted or written, 2 when the options do
// not fit the font. keep, when given, is set when the output is what was
// asked for although the status is 1 (a truncated font salvaged).
int runfont(const options *o, const unsigned char *data, size_t n,
            bool *keep = nullptr);
