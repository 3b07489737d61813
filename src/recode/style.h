// Styles drawn into FONTX2 cells: bold and italic by the bitmap rules (for
// bitmap fonts; an outline is styled before it is rendered, source.h),
// underline and strikeout lines across the cell, and the pictures and the
// filler that the half-width fonts in circulation have at CP932's control
// and unused bytes.
#pragma once

#include <cstddef>
#include <cstdint>

struct styleopts {
  int bold, italic;         // the bitmap rules (bitmap fonts only)
  int underline, strikeout; // the lines
  int pictures;             // --control-pictures (CP932's single bytes)
};

// Where the lines lie: cell rows, the top one and how many.
struct linerows {
  int under, underrows;
  int strike, strikerows;
};

// Bold by the bitmap rule: every stroke a pixel wider to the right (to the
// left where a stroke stands in the last column and the first is free),
// except into a one-pixel gap between two strokes, which stays open so
// that counters and the space between strokes survive. CUTSIDES where a
// stroke had no room to grow.
int boldcell(unsigned char *cell, int width, int height);

// Bitmap italic: each row above the baseline (ascent rows down) shifted
// right one pixel for every five rows it stands above it (11.3 degrees;
// the row just above the baseline not at all), rows below it not at all;
// then bold as boldcell. Returns CUTSIDES (source.h) when ink was pushed
// out of the cell.
int stylecell(unsigned char *cell, int width, int height, int ascent,
              const styleopts *o);

// The lines asked for, across the whole width of the cell.
void drawlines(unsigned char *cell, int width, int height, const linerows *l,
               const styleopts *o);

// The lines of a bitmap font without metrics of its own: the underline on
// the row just below the baseline, the strikeout one row at the middle of
// the ink of its "x" (xtop, xrows; xrows 0 when it has none), else halfway
// between the top of the cell and the baseline.
linerows bitmaplines(int height, int ascent, int xtop, int xrows);

// What stands at a byte of CP932's single bytes with --control-pictures:
// a picture drawn by rule, a character of the source's, the filler, or
// nothing (the byte keeps its own glyph).
enum picturekind { NOPICTURE, RULED, FROMSOURCE, FILLER };
struct picture {
  int kind;
  uint32_t u; // FROMSOURCE: the character; RULED: the character it draws
};
picture pictureat(unsigned byte);

// Draws a RULED picture (or the FILLER) into a blank cell: box-drawing
// pieces as lines through the centre (row hrow across, the middle column
// down, the whole height, so that they join from cell to cell), the box
// inside the cell's margin, the dot at the middle.
void drawpicture(unsigned char *cell, int width, int height, int hrow,
                 unsigned byte);
