// Proof sheets: a glyph set laid out on a grid, labelled, written as a
// four-shade PNG by libpng.
#include "writers/sheet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/stream.h"
#include "writers/png.h"

namespace {

// The label font: hexadecimal digits 3 pixels wide and 5 high, a byte a
// row, the leftmost pixel in bit 2.
const unsigned char digits[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6},
    {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 7, 4, 7}, {7, 4, 7, 4, 4},
};

// Gray values of the four shades, in palette order.
const unsigned char shades[4] = {0xE0, 0xFF, 0x00, 0x60};

struct layout {
  int cols, cw, ch, scale;            // columns; a cell's size on the sheet
  int ls, ndigits, labelw;            // label pixel size, digits, margin width
  int width;                          // of the picture
  std::vector<uint32_t> rows;         // first code of each row
  std::vector<long> glyph;            // code -> glyph index, -1 for none
  std::vector<unsigned char> scratch; // a glyph the input cut short
};

// Draws one row of the sheet (its top grid line when `top`, then its cells
// and bottom line) into img, starting at picture row y. Returns the next.
int drawrow(const glyphset *gs, layout &l, uint32_t first, bool top,
            unsigned char *img, int y) {
  const int rb = (gs->width + 7) / 8, gridw = l.cols * (l.cw + 1) + 1;
  auto line = [&](int at) {
    memset(img + static_cast<size_t>(at) * l.width + l.labelw, LINE, gridw);
  };
  if (top) line(y++);
  // The label, its top at the top of the row's cells or centred on them.
  int ly = y + (l.ch > 5 * l.ls ? (l.ch - 5 * l.ls) / 2 : 0);
  for (int d = 0; d < l.ndigits; d++) {
    unsigned v = first >> 4 * (l.ndigits - 1 - d) & 15;
    for (int r = 0; r < 5 * l.ls && ly + r <= y + l.ch; r++)
      for (int c = 0; c < 3 * l.ls; c++)
        if (digits[v][r / l.ls] >> (2 - c / l.ls) & 1)
          img[static_cast<size_t>(ly + r) * l.width + 2 * l.ls + d * 4 * l.ls +
              c] = LINE;
  }
  for (int c = 0; c < l.cols; c++) {
    int x0 = l.labelw + c * (l.cw + 1);
    long g = l.glyph[first + c];
    const unsigned char *bits =
        g >= 0 ? glyphbits(gs, static_cast<size_t>(g), l.scratch.data())
               : nullptr;
    // Each row of the glyph made once, then copied to the scale's rows.
    for (int r = 0; r < l.ch; r++) {
      unsigned char *p = img + static_cast<size_t>(y + r) * l.width + x0;
      p[0] = LINE;
      if (!bits) {
        memset(p + 1, PAGE, static_cast<size_t>(l.cw));
      } else if (r % l.scale) {
        memcpy(p + 1, p + 1 - l.width, static_cast<size_t>(l.cw));
      } else {
        const unsigned char *row = bits + (r / l.scale) * rb;
        for (int gx = 0, x = 1; gx < gs->width; gx++, x += l.scale)
          memset(p + x, row[gx >> 3] >> (7 - (gx & 7)) & 1 ? INK : PAPER,
                 static_cast<size_t>(l.scale));
      }
    }
    for (int r = 0; r < l.ch; r++)
      img[static_cast<size_t>(y + r) * l.width + l.labelw + gridw - 1] = LINE;
  }
  line(y + l.ch);
  return y + l.ch + 1;
}

} // namespace

int sheetscale(int height) {
  return height >= 32 ? 1 : (32 + height - 1) / height;
}

int sheetpng(const glyphset *gs, const sheetopts *o, char *why, size_t size) {
  layout l;
  l.scale = o->scale ? o->scale : sheetscale(gs->height);
  l.cols = gs->kind ? 32 : 16;
  l.cw = gs->width * l.scale;
  l.ch = gs->height * l.scale;
  l.ls = l.ch >= 12 ? 2 : 1;
  l.ndigits = gs->kind ? 4 : 2;
  l.labelw = 4 * l.ls + l.ndigits * 4 * l.ls;
  l.width = l.labelw + l.cols * (l.cw + 1) + 1;
  l.scratch.resize(gs->glyphbytes);
  // The first glyph of a code, as readers take it.
  l.glyph.assign(gs->kind ? 0x10000 : 0x100, -1);
  long i = 0;
  eachcode(gs, [&](uint32_t c) {
    if (l.glyph[c] < 0 && (!o->chosen || o->chosen[i])) l.glyph[c] = i;
    i++;
    return true;
  });
  for (uint32_t c = 0; c < l.glyph.size(); c += static_cast<uint32_t>(l.cols))
    for (int k = 0; k < l.cols; k++)
      if (l.glyph[c + static_cast<uint32_t>(k)] >= 0) {
        l.rows.push_back(c);
        break;
      }
  if (l.rows.empty()) return snprintf(why, size, "no glyph to draw"), -1;

  // Each row's cells and bottom line; a top line and, but for the first, a
  // gap before each row that does not follow the one above.
  int gap = 4 * l.ls, height = 0;
  for (size_t r = 0; r < l.rows.size(); r++) {
    bool top = !r || l.rows[r] != l.rows[r - 1] + static_cast<uint32_t>(l.cols);
    height += l.ch + 1 + (top ? 1 : 0) + (top && r ? gap : 0);
  }
  if (static_cast<double>(l.width) * height > MAXPIXELS)
    return snprintf(why, size, "a picture of %dx%d pixels is too large",
                    l.width, height),
           -1;
  std::vector<unsigned char> img(static_cast<size_t>(l.width) * height, PAGE);
  for (size_t r = 0, y = 0; r < l.rows.size(); r++) {
    bool top = !r || l.rows[r] != l.rows[r - 1] + static_cast<uint32_t>(l.cols);
    if (top && r) y += static_cast<size_t>(gap);
    y = static_cast<size_t>(
        drawrow(gs, l, l.rows[r], top, img.data(), static_cast<int>(y)));
  }

  return pngwrite(img.data(), l.width, height, shades, 4, 1, &output, why,
                  size);
}
