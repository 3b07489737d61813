// Styles drawn into cells by rule: bitmap bold and italic, the lines, and
// CP932's control-byte pictures with the filler of its unused bytes.
#include "recode/style.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "sources/source.h"

namespace {

bool get(const unsigned char *row, int x) {
  return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

void set(unsigned char *row, int x) {
  row[x >> 3] |= static_cast<unsigned char>(0x80 >> (x & 7));
}

// Row y of a cell shifted right by k pixels ORed into itself (bold: k 1,
// kept; italic: moved). Returns whether ink went past the width.
bool shiftrow(unsigned char *row, int width, int k, bool keep) {
  std::vector<bool> was(static_cast<size_t>(width));
  for (int x = 0; x < width; x++) was[x] = get(row, x);
  if (!keep) memset(row, 0, static_cast<size_t>(width + 7) / 8);
  bool lost = false;
  for (int x = 0; x < width; x++) {
    if (!was[x]) continue;
    if (keep) set(row, x);
    if (x + k < width)
      set(row, x + k);
    else
      lost = true;
  }
  return lost;
}

void fillrect(unsigned char *cell, int width, int height, int x0, int y0,
              int x1, int y1) {
  size_t rb = (static_cast<size_t>(width) + 7) / 8;
  for (int y = std::max(y0, 0); y <= std::min(y1, height - 1); y++)
    for (int x = std::max(x0, 0); x <= std::min(x1, width - 1); x++)
      set(cell + y * rb, x);
}

// The arms of the box-drawing pieces: up, down, left, right.
enum { UP = 1, DOWN = 2, LEFT = 4, RIGHT = 8 };

const struct {
  unsigned char byte;
  int kind;
  uint32_t u;
  int arms; // RULED lines; 0 for the box and the dot
} pictures[] = {
    {0x02, RULED, 0x2510, LEFT | DOWN},
    {0x03, RULED, 0x2514, UP | RIGHT},
    {0x04, RULED, 0x2518, UP | LEFT},
    {0x05, RULED, 0x2502, UP | DOWN},
    {0x06, RULED, 0x2500, LEFT | RIGHT},
    {0x07, FROMSOURCE, 0x2022, 0}, // bullet
    {0x08, FROMSOURCE, 0x25D8, 0}, // inverse bullet
    {0x0B, FROMSOURCE, 0x2642, 0}, // male sign
    {0x0C, RULED, 0x2219, 0},      // the dot
    {0x0E, FROMSOURCE, 0x266B, 0}, // beamed eighth notes
    {0x0F, FROMSOURCE, 0x263C, 0}, // white sun with rays
    {0x10, RULED, 0x253C, UP | DOWN | LEFT | RIGHT},
    {0x11, FROMSOURCE, 0x25C4, 0}, // black left-pointing pointer
    {0x12, FROMSOURCE, 0x2195, 0}, // up down arrow
    {0x13, FROMSOURCE, 0x203C, 0}, // double exclamation mark
    {0x14, FROMSOURCE, 0x00B6, 0}, // pilcrow
    {0x15, RULED, 0x2534, UP | LEFT | RIGHT},
    {0x16, RULED, 0x252C, DOWN | LEFT | RIGHT},
    {0x17, RULED, 0x2524, UP | DOWN | LEFT},
    {0x18, FROMSOURCE, 0x2191, 0}, // upwards arrow
    {0x19, RULED, 0x251C, UP | DOWN | RIGHT},
    {0x1A, FROMSOURCE, 0x2192, 0}, // rightwards arrow
    {0x1B, FROMSOURCE, 0x2190, 0}, // leftwards arrow
    {0x7F, RULED, 0x25A1, 0},      // the box
};

} // namespace

int boldcell(unsigned char *cell, int width, int height) {
  size_t rb = (static_cast<size_t>(width) + 7) / 8;
  // The side the strokes grow to: the right, or the left where a stroke
  // stands in the last column and the first is free.
  bool right = false, left = false;
  for (int y = 0; y < height; y++)
    right |= get(cell + y * rb, width - 1), left |= get(cell + y * rb, 0);
  int dir = right && !left ? -1 : 1;
  bool lost = false;
  std::vector<bool> was(static_cast<size_t>(width));
  for (int y = 0; y < height; y++) {
    unsigned char *row = cell + y * rb;
    for (int x = 0; x < width; x++) was[x] = get(row, x);
    for (int x = 0; x < width; x++) {
      if (!was[x]) continue;
      int t = x + dir, beyond = t + dir;
      if (t < 0 || t >= width) {
        lost = true;
        continue;
      }
      // A pixel between this stroke and the next is the counter between
      // them: filling it would run the two together.
      if (was[t] || (beyond >= 0 && beyond < width && was[beyond])) continue;
      set(row, t);
    }
  }
  return lost ? CUTSIDES : 0;
}

int stylecell(unsigned char *cell, int width, int height, int ascent,
              const styleopts *o) {
  size_t rb = (static_cast<size_t>(width) + 7) / 8;
  bool lost = false;
  for (int y = 0; y < height && o->italic; y++)
    if (y < ascent && (ascent - 1 - y) / 5)
      lost |= shiftrow(cell + y * rb, width, (ascent - 1 - y) / 5, false);
  return (lost ? CUTSIDES : 0) | (o->bold ? boldcell(cell, width, height) : 0);
}

void drawlines(unsigned char *cell, int width, int height, const linerows *l,
               const styleopts *o) {
  if (o->underline)
    fillrect(cell, width, height, 0, l->under, width - 1,
             l->under + l->underrows - 1);
  if (o->strikeout)
    fillrect(cell, width, height, 0, l->strike, width - 1,
             l->strike + l->strikerows - 1);
}

linerows bitmaplines(int height, int ascent, int xtop, int xrows) {
  linerows l;
  l.under = std::min(std::max(ascent, 0), height - 1);
  l.underrows = 1;
  l.strike = xrows > 0 ? xtop + (xrows - 1) / 2 : std::max(ascent, 1) / 2;
  l.strike = std::min(std::max(l.strike, 0), height - 1);
  l.strikerows = 1;
  return l;
}

picture pictureat(unsigned byte) {
  for (const auto &p : pictures)
    // cppcheck-suppress useStlAlgorithm
    if (p.byte == byte) return {p.kind, p.u};
  if ((byte >= 0x81 && byte <= 0xA0) || byte >= 0xE0) return {FILLER, 0xFF65};
  return {NOPICTURE, 0};
}

void drawpicture(unsigned char *cell, int width, int height, int hrow,
                 unsigned byte) {
  int cx = width / 2;
  // The dot: a third of the width wide, an eighth of the height high, its
  // bottom on the row the lines run along.
  if (byte == 0x0C || pictureat(byte).kind == FILLER) {
    int w = std::max(1, width / 3), h = std::max(1, height / 8);
    fillrect(cell, width, height, (width - w) / 2, hrow - h + 1,
             (width - w) / 2 + w - 1, hrow);
    return;
  }
  if (byte == 0x7F) { // the box: in the left half, 3/16 of the height in
    int x0 = width / 12, x1 = width / 2 - width / 12;
    int y0 = (3 * height + 8) / 16, y1 = height - 1 - y0;
    fillrect(cell, width, height, x0, y0, x1, y0);
    fillrect(cell, width, height, x0, y1, x1, y1);
    fillrect(cell, width, height, x0, y0, x0, y1);
    fillrect(cell, width, height, x1, y0, x1, y1);
    return;
  }
  for (const auto &p : pictures) {
    if (p.byte != byte || !p.arms) continue;
    if (p.arms & UP) fillrect(cell, width, height, cx, 0, cx, hrow);
    if (p.arms & DOWN) fillrect(cell, width, height, cx, hrow, cx, height - 1);
    if (p.arms & LEFT) fillrect(cell, width, height, 0, hrow, cx, hrow);
    if (p.arms & RIGHT)
      fillrect(cell, width, height, cx, hrow, width - 1, hrow);
  }
}
