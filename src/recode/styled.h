// Styles applied to a glyph set being made: where its lines lie (from the
// source's metrics, or the bitmap rule), the bitmap rules and the lines in
// each cell, the pictures of CP932's single bytes; and a FONTX2 font's
// cells restyled as they are, for BDF and PNG written from it.
#pragma once

#include "codes/codes.h"
#include "fontx/glyphs.h"
#include "recode/codemap.h"
#include "recode/style.h"
#include "sources/source.h"

// A set's styles, prepared once.
struct styling {
  styleopts o;
  int bitmap;     // the bitmap rules for bold and italic (not outlines)
  int bitmapbold; // the bitmap rule for bold on a rendered outline
  linerows rows;
  int byfont;   // UNDERBYFONT | STRIKEBYFONT: rows the font's own, not the
                // bitmap rule's
  int hrow;     // the row box-drawing pieces run along
  int pictures; // CP932's single bytes with --control-pictures
};

// Prepares the styles of o->style for a set of the cell in out (width,
// height and ascent set) made from s (src maps its codes).
void prepstyle(source *s, mapper *src, const recodeopts *o, const glyphset *out,
               styling *st);

// Styles one glyph's cell drawn from a source glyph of character u (-1
// for none): the bitmap rules, and the lines where the glyph has a
// character and ink. Returns where ink was lost (CUTSIDES).
int styleglyph(const styling *st, unsigned char *cell, int width, int height,
               int ascent, int32_t u);

// How many columns past the cell the bitmap rules can push a glyph's ink:
// the width that keeps what they cut is the cell's and this.
int stylereach(const styling *st, int ascent);

// Draws the pictures and the filler of CP932's single bytes into out,
// naming in f those the source lacks. A FONTX2 source keeps the glyphs it
// has at those bytes.
void drawpictures(source *s, mapper *src, const styling *st, glyphset *out,
                  recodefacts *f);

// A FONTX2 glyph set restyled as it stands (the same codes and blocks), in
// out, with what was lost in f. 0, or -1 when memory runs out.
int restyle(const glyphset *gs, const recodeopts *o, glyphset *out,
            recodefacts *f);
