// The plain layout: characters to codes through each font's set, cells
// side by side, lines wrapped at the right edge and dropped at the bottom.
#include "display/layout.h"

#include <algorithm>

#include "codes/codes.h"

namespace {

struct laid {
  const drawfont *font;
  mapper m;
  bool open;
};

// The code of u in the font, or -1 when the font has no glyph for it.
int32_t codein(laid *l, uint32_t u) {
  if (!l->open) return -1;
  int32_t c = fromuni(&l->m, u);
  return c >= 0 && static_cast<size_t>(c) < l->font->at.size() &&
                 l->font->at[static_cast<size_t>(c)] >= 0
             ? c
             : -1;
}

} // namespace

void layouttext(const drawfont *single, const drawfont *dbl,
                const unsigned char *text, size_t n, screen *s,
                layoutfacts *f) {
  *f = layoutfacts();
  laid fonts[2] = {{single, {}, false}, {dbl, {}, false}};
  int height = 0;
  for (laid &l : fonts)
    if (l.font) {
      l.open = !mapopen(&l.m, &l.font->gs->codes);
      height = std::max(height, l.font->gs->height);
    }
  std::vector<uint32_t> chars;
  utf8decode(text, n, &chars);
  std::vector<unsigned char> scratch;
  // A bit a code point: linear in the text however many characters it
  // lacks.
  std::vector<uint64_t> seen((0x10FFFF >> 6) + 1);
  size_t kinds = 0;
  long x = 0, y = 0;
  bool fits = height <= s->height;
  f->lines = n ? 1 : 0;
  f->left = f->lines && !fits;
  auto newline = [&] {
    x = 0, y += height;
    f->lines++;
    fits = y + height <= s->height;
    f->left += !fits;
  };
  for (size_t i = 0; i < chars.size(); i++) {
    uint32_t u = chars[i];
    if (u == '\n') {
      // A final line feed ends the last line; it starts none.
      if (i + 1 < chars.size()) newline();
      continue;
    }
    if (u == '\r' && i + 1 < chars.size() && chars[i + 1] == '\n') continue;
    laid *by = nullptr;
    int32_t code = -1;
    for (laid &l : fonts)
      if (!by && (code = codein(&l, u)) >= 0) by = &l;
    // A character neither font has takes the cell of the font its kind
    // would be in: the single-byte font's where that font's set holds it.
    const drawfont *cell = by ? by->font : nullptr;
    if (!cell) {
      bool narrow = fonts[0].open && fromuni(&fonts[0].m, u) >= 0;
      cell = narrow || !dbl ? (single ? single : dbl) : dbl;
    }
    int w = cell->gs->width;
    if (x > 0 && x + w > s->width) newline();
    if (fits) {
      if (by) {
        const unsigned char *g =
            glyphof(by->font, static_cast<uint32_t>(code), &scratch);
        int rb = (w + 7) / 8;
        for (int r = 0; r < cell->gs->height; r++)
          for (int c = 0; c < w; c++)
            if (g[r * rb + c / 8] & 0x80 >> (c % 8)) plot(s, x + c, y + r);
      } else {
        drawbox(s, x, y, w, cell->gs->height);
      }
    }
    if (!by) {
      f->missing++;
      uint64_t bit = uint64_t{1} << (u & 63);
      if (u <= 0x10FFFF && !(seen[u >> 6] & bit)) {
        seen[u >> 6] |= bit;
        kinds++;
        if (f->missed.size() < 8) f->missed.push_back(u);
      }
    }
    x += w;
  }
  f->kinds = kinds;
  for (laid &l : fonts)
    if (l.open) mapclose(&l.m);
}
