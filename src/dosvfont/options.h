// dosvfont's options: what its command line (or the web page) asked for,
// in one record that only the front end reads. The stages below take
// records of their own (recodeopts, bdfopts, sheetopts), which the
// pipeline fills from this one.
#pragma once

#include <cstddef>
#include <cstdint>

enum { FMTAUTO, FMTBDF, FMTFONTX2, FMTPNG, FMTC };

// A FONTX2 font is written: as itself, or as C source.
inline bool fontxout(int format) {
  return format == FMTFONTX2 || format == FMTC;
}

// The largest input read: a double-byte FONTX2 font of every 16-bit code
// at the largest cell is 535 MB, and no other font comes near.
enum : size_t { MAXINPUT = size_t{1} << 30 };

// The options given, so that one that cannot change the output is
// refused instead of ignored.
enum given : unsigned {
  GAVEFORMAT = 1u << 0,    // -f
  GAVEREGISTRY = 1u << 1,  // -r
  GAVECODES = 1u << 2,     // -c
  GAVECHARSET = 1u << 3,   // -e
  GAVEKIND = 1u << 4,      // -k
  GAVEWIDTH = 1u << 5,     // -w
  GAVESIZE = 1u << 6,      // -s
  GAVENAME = 1u << 7,      // -n
  GAVESCALE = 1u << 8,     // --scale
  GAVERANGE = 1u << 9,     // --range
  GAVEFIT = 1u << 10,      // --fit
  GAVESALVAGE = 1u << 11,  // --salvage
  GAVEFOUNDRY = 1u << 12,  // --foundry
  GAVEENCODED = 1u << 13,  // --encoded-only
  GAVETEXT = 1u << 14,     // --text
  GAVEFACE = 1u << 15,     // --face
  GAVEFROM = 1u << 16,     // --from
  GAVEBOLD = 1u << 17,     // --bold
  GAVEITALIC = 1u << 18,   // --italic
  GAVEUNDER = 1u << 19,    // --underline
  GAVESTRIKE = 1u << 20,   // --strikeout
  GAVEPICTURES = 1u << 21, // --control-pictures
  GAVESHOW = 1u << 22,     // --show
  GAVETARGET = 1u << 23,   // --target
  GAVESCREEN = 1u << 24,   // --screen
  GAVECOLORS = 1u << 25,   // --colors
  GAVECNAME = 1u << 26,    // --c-name
  GAVEPATCH = 1u << 27,    // --patch
};

struct target;
struct keeper;

struct options {
  int format; // FMTAUTO: chosen by formatof
  // -r, --registry: how BDF glyphs are numbered, which decides the registry
  // declared: NUMUNICODE (ISO10646) or NUMNATIVE (the font's own; bdfset.h).
  int numbering;
  int info; // describe the input instead of converting it
  // -c and -e: the input's code set when a FONTX2 font becomes BDF or PNG
  // (null: guessed, CP932), the output's when FONTX2 is written (null:
  // sjis, CP932's single bytes).
  const char *codes;    // -c: double-byte codes
  const char *charset;  // -e: a single-byte charset
  const char *from;     // --from: a FONTX2 input's set, of either kind
  int kind;             // -k: a fontkind; ANYKIND: from the font
  int width;            // -w: the cell width, 0 from the font
  int size;             // -s: a strike's or a rendering's pixel size, or 0
  int fit;              // --fit: FITAUTO, FITLINE or FITEM (source.h)
  const char *name;     // -n: the FONTX2 name or the BDF family, or null
  const char *foundry;  // --foundry: the BDF foundry, or null
  int scale;            // --scale: a proof sheet's; 0 chosen
  unsigned first, last; // --range (with GAVERANGE): the codes written
  // --text (with GAVETEXT): its characters, sorted, distinct (none for an
  // empty text or one of control characters only), how many bytes it had,
  // and its name for messages.
  const uint32_t *text;
  size_t ntext;
  size_t textbytes;
  const char *textlabel;
  // --patch (with GAVEPATCH): the patch font's bytes and its name.
  const unsigned char *patch;
  size_t patchbytes;
  const char *patchlabel;
  int encodedonly; // --encoded-only: BDF without unencoded glyphs
  unsigned given;  // GAVE*: the options given
  void (*progress)(size_t done, size_t total); // drawing glyphs; or null
  int salvage; // --salvage: write a truncated FONTX2 font anyway
  int face;    // --face: the face of a collection (TTC, OTC)
  int bold, italic, underline, strikeout; // the styles
  int pictures; // --control-pictures: CP932's control-byte pictures
  // --show: the text drawn (UTF-8, checked), its name for messages; the
  // screen, its colours (RGB).
  int show;
  int showonly; // the fonts made for --show alone: only the glyphs of text
                // (and ntext) drawn, without GAVETEXT's selection
  const unsigned char *showtext;
  size_t showbytes;
  const char *showlabel;
  int screenw, screenh;
  unsigned char fg[3], bg[3];
  const target *reader; // --target: the reader the fonts are for, or null
  const char *cname;    // --c-name: the C array's name, or null
  int nfonts;           // the fonts given: 1, or 2 (--show, --info --target)
  // --show and --info --target: the FONTX2 glyph sets made are kept here
  // instead of written; null otherwise. With pairs, a font that makes a
  // double-byte font makes the single-byte one of its pair too.
  keeper *keep;
  int pairs;
  int inpair;        // one font of a pair: the other kind is the other font's
  int quietempty;    // a font of no glyph is made silently, as none
  const char *path;  // the input's file name, null for standard input
  const char *label; // the input as messages name it
  const char *outlabel;
  const char *outpath; // -o, null for standard output
};
