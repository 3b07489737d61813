// A font to take glyphs from, whoever read it (our FONTX2 reader or
// FreeType): its code set, each code with a handle for its glyph, the
// vertical metrics of its cell, its name, and the drawing of a glyph.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "codes/codes.h"
#include "fontx/glyphs.h"

// Where a glyph's ink lies beyond a cell, or beyond what was drawn of it.
enum { CUTSIDES = 1, CUTENDS = 2 };

// One glyph's bitmap and where it sits: its top-left pixel lies `left`
// columns right of the origin and `top` rows above the baseline.
struct srcglyph {
  const unsigned char *bits; // rows of pitch bytes
  int pitch, width, rows;
  int left, top;
  int advance; // in pixels
  int gray;    // a byte a pixel, ink from 128 up; else a bit a pixel
  // The right edge of its ink (left + width, unless only part of a huge
  // glyph was drawn), and where the ink reaches past what was drawn:
  // CUTSIDES, CUTENDS.
  int right;
  int beyond;
};

// Outline glyphs wider or taller than this many pixels are drawn only as
// far as they can land in a cell: the cell's rows, columns 0 to 254. A
// few bytes of outline can describe a glyph of gigapixels.
enum { BIGGLYPH = 1024 };

// The most a gzipped font is inflated to: X11's largest PCF fonts are a
// few tens of MB.
enum { GZMAX = 1 << 28 };

// How an outline is scaled into the cell (see ftsize.h).
enum fitrule { FITAUTO, FITLINE, FITEM };

// Where a font puts its lines, in pixels at its size: the top of the
// underline below the baseline and of the strikeout above it, and their
// thickness; has* 0 where the font says nothing.
struct linemetrics {
  int hasunder, underpos, underthick;
  int hasstrike, strikepos, strikethick;
};

// How a style is had: the font's own face (a face of a collection, or a
// named instance of a variable font), or made from the outline.
enum styledby { NOSTYLE, OWNFACE, SYNTHETIC };

struct source {
  codeset cs;
  // Code and handle of every glyph the font maps a code to, each code once.
  std::vector<std::pair<uint32_t, uint32_t>> chars;
  int ascent, descent;   // the cell: rows above and below the baseline
  int kind;              // FONTX2 sources: their fontkind; else ANYKIND
  int outline;           // glyphs are rendered from outlines at size px
  int fit;               // the rule an outline was scaled by: FITLINE, FITEM
  int size;              // the pixel size asked for (-s), 0 for none
  int unsized;           // no strike or size chosen: -s is needed to draw
  unsigned char name[8]; // the FONTX2 name the font gives, space padded
  linemetrics lines;     // where the font puts its lines
  int bold, italic;      // styledby: how bold and italic are had
  char stylename[64];    // the own face's, for --info
  const glyphset *gs;    // a FONTX2 font
  void *face;            // or FreeType's
  std::vector<unsigned char> scratch;
};

// A FONTX2 glyph set as a source; the first glyph of a repeated code wins.
void fromset(source *s, const glyphset *gs);

// Draws a glyph; with metrics set only its advance need be right, and
// an outline's right edge where it can be known undrawn (else -1). 0, or
// -1 when it cannot be drawn. The bitmap stays valid until the next
// drawing.
// Whether a bold the font has no face for is made by the bitmap rule on
// the rendered glyph (outlines up to 24 pixels, where a widened outline
// closes small counters) rather than by widening the outline.
inline bool boldbybitmap(const source *s) {
  return s->outline && s->bold == SYNTHETIC && s->size <= 24;
}

int drawglyph(source *s, uint32_t handle, int metrics, srcglyph *g);

// How a font FreeType reads is opened: its size (the strike of size
// pixels, 0 its only strike, or an outline rendered size pixels high),
// the rule an outline is fitted by, and the face of a collection.
struct sourceopts {
  int size;
  int fit; // fitrule
  int face;
  int bold, italic; // outlines: the font's own bold or italic, else made
};

// Opens a font FreeType reads, from memory that must outlive the source,
// as o says. Returns 0; else 1 with
// why the font cannot be read or mapped, 3 when it is no font FreeType
// knows or announces more than it holds (why says so), or 2 with what is
// wrong with the
// size, to follow the font's name ("has no 13-pixel strike; it has 12
// 16"). A font that needs a size and was given none opens with unsized
// set and why saying so: it can be described, not drawn.
int ftopen(source *s, const unsigned char *data, size_t n, const sourceopts *o,
           char *why, size_t whysize);
void ftclose(source *s);

// drawglyph for a font FreeType reads; an outline wider than fit pixels
// (its advance) is narrowed to fit them, where fit is not 0.
int ftdraw(source *s, uint32_t handle, int metrics, srcglyph *g, int fit = 0);

// A glyph drawn as drawglyph draws it, an outline narrowed to the width
// where its advance is wider (a full-width picture in a half-width cell).
int drawfitted(source *s, uint32_t handle, int width, srcglyph *g);

// What --info says of a font FreeType reads.
struct fontfacts {
  const char *format; // FreeType's word: BDF, PCF, TrueType, CFF...
  const char *family, *style;
  int scalable;
  int nstrikes;
  int strikes[32]; // their pixel heights
  long upem;       // outline fonts: units per em and vertical metrics
  long winascent, windescent, typoascent, typodescent;
  int hasos2;
  long faces; // a collection's faces, and which this is
  int face;
};
void ftfacts(const source *s, fontfacts *f);

// The family and style of face i of the font's file; 0, or -1 when it
// has none.
int ftfacename(const source *s, long i, char *out, size_t size);
