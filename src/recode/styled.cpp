// Styles over a whole set: the lines placed from the font's own metrics
// or by the bitmap rule, each cell styled as it is drawn, the control
// bytes' pictures, and FONTX2 fonts restyled in place.
#include "recode/styled.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "recode/blit.h"

namespace {

// The source's glyph of character u, drawn into a cell of out's, and the
// rows its ink takes (first, count; count 0 when it has no ink or none).
// The source's glyph handle of character u, through its code in the
// source's set; false where it has none.
bool handleof(const source *s, mapper *src, uint32_t u, uint32_t *handle) {
  int32_t code =
      src->cs.type == SETUNICODE ? static_cast<int32_t>(u) : fromuni(src, u);
  if (code < 0) return false;
  auto at = std::find_if(s->chars.begin(), s->chars.end(), [&](const auto &c) {
    return c.first == uint32_t(code);
  });
  if (at == s->chars.end()) return false;
  *handle = at->second;
  return true;
}

bool inkrows(source *s, mapper *src, uint32_t u, const glyphset *out,
             int *first, int *rows) {
  *rows = 0;
  uint32_t handle;
  srcglyph g;
  if (!handleof(s, src, u, &handle) || drawglyph(s, handle, 0, &g))
    return false;
  std::vector<unsigned char> cell(out->glyphbytes);
  blit(cell.data(), out->width, out->height, out->ascent, &g);
  size_t rb = (static_cast<size_t>(out->width) + 7) / 8;
  int last = -1;
  for (int y = 0; y < out->height; y++)
    for (size_t k = 0; k < rb; k++)
      if (cell[y * rb + k]) {
        if (!*rows) *first = y;
        last = y, *rows = 1;
      }
  if (*rows) *rows = last - *first + 1;
  return true;
}

bool inked(const unsigned char *cell, size_t n) {
  return std::any_of(cell, cell + n, [](unsigned char b) { return b != 0; });
}

} // namespace

void prepstyle(source *s, mapper *src, const recodeopts *o, const glyphset *out,
               styling *st) {
  *st = styling();
  st->o = o->style;
  st->bitmap = !s->outline;
  st->bitmapbold = st->o.bold && boldbybitmap(s);
  int h = out->height, a = out->ascent;
  if (st->o.underline || st->o.strikeout) {
    int xtop = 0, xrows = 0;
    inkrows(s, src, 'x', out, &xtop, &xrows);
    st->rows = bitmaplines(h, a, xtop, xrows);
    // The font's own metrics where it gives them, a row at the least,
    // inside the cell.
    const linemetrics &m = s->lines;
    if (m.hasunder)
      st->rows.under = a + m.underpos, st->rows.underrows = m.underthick;
    if (m.hasstrike)
      st->rows.strike = a - m.strikepos, st->rows.strikerows = m.strikethick;
    st->byfont =
        (m.hasunder ? UNDERBYFONT : 0) | (m.hasstrike ? STRIKEBYFONT : 0);
    for (int *r : {&st->rows.under, &st->rows.strike})
      *r = std::min(std::max(*r, 0), h - 1);
    st->rows.underrows =
        std::min(std::max(st->rows.underrows, 1), h - st->rows.under);
    st->rows.strikerows =
        std::min(std::max(st->rows.strikerows, 1), h - st->rows.strike);
  }
  st->pictures =
      o->style.pictures && out->kind == SINGLEBYTE && isdefaultsb(&out->codes);
  if (st->pictures) {
    int first = 0, rows = 0;
    inkrows(s, src, 0x2500, out, &first, &rows); // the source's own line
    st->hrow = rows ? first + rows / 2 : (h - 1) / 2;
  }
}

int styleglyph(const styling *st, unsigned char *cell, int width, int height,
               int ascent, int32_t u) {
  int lost = 0;
  if (st->bitmap && (st->o.bold || st->o.italic))
    lost = stylecell(cell, width, height, ascent, &st->o);
  else if (st->bitmapbold)
    lost = boldcell(cell, width, height);
  // Lines under every character, the space too, so that an underlined
  // text's line runs on between its words; not under controls, nor under
  // the blank fillers between runs of codes, which have no character.
  if (u >= 0x20 && (u < 0x7F || u > 0x9F))
    drawlines(cell, width, height, &st->rows, &st->o);
  return lost;
}

int stylereach(const styling *st, int ascent) {
  if (st->bitmapbold) return 1;
  if (!st->bitmap) return 0;
  return (st->o.bold ? 1 : 0) +
         (st->o.italic ? std::max(ascent - 1, 0) / 5 : 0);
}

void drawpictures(source *s, mapper *src, const styling *st, glyphset *out,
                  recodefacts *f) {
  if (!st->pictures) return;
  for (unsigned byte = 0; byte < 256; byte++) {
    picture p = pictureat(byte);
    if (p.kind == NOPICTURE) continue;
    unsigned char *cell = out->own + byte * out->glyphbytes;
    // A FONTX2 font in circulation carries its own pictures there: kept.
    if (s->gs && inked(cell, out->glyphbytes)) continue;
    memset(cell, 0, out->glyphbytes);
    if (p.kind != FROMSOURCE) {
      drawpicture(cell, out->width, out->height, st->hrow, byte);
      continue;
    }
    uint32_t handle;
    srcglyph g;
    if (!handleof(s, src, p.u, &handle) ||
        drawfitted(s, handle, out->width, &g)) {
      if (f->nopics < sizeof f->nopic / sizeof f->nopic[0])
        f->nopic[f->nopics] = p.u;
      f->nopics++;
      continue;
    }
    blit(cell, out->width, out->height, out->ascent, &g);
  }
}

int restyle(const glyphset *gs, const recodeopts *o, glyphset *out,
            recodefacts *f) {
  *out = *gs;
  out->blocks = nullptr;
  out->own = nullptr;
  if (gs->kind) {
    out->blocks = static_cast<codeblock *>(
        malloc((gs->nblocks ? gs->nblocks : 1) * sizeof(codeblock)));
    if (!out->blocks) return -1;
    std::copy(gs->blocks, gs->blocks + gs->nblocks, out->blocks);
  }
  out->own = static_cast<unsigned char *>(
      malloc(gs->glyphs ? gs->glyphs * gs->glyphbytes : 1));
  if (!out->own) return gsfree(out), -1;
  std::vector<unsigned char> scratch(gs->glyphbytes);
  for (size_t i = 0; i < gs->glyphs; i++)
    memcpy(out->own + i * gs->glyphbytes, glyphbits(gs, i, scratch.data()),
           gs->glyphbytes);
  out->bits = out->own;
  out->whole = out->glyphs, out->partial = 0;
  source s;
  fromset(&s, gs);
  mapper m;
  bool mapped = !mapopen(&m, &gs->codes);
  styling st;
  prepstyle(&s, &m, o, out, &st);
  size_t i = 0;
  eachcode(out, [&](uint32_t c) {
    unsigned char *cell = out->own + i++ * out->glyphbytes;
    int32_t u = mapped ? touni(&m, c) : -1;
    int lost = styleglyph(&st, cell, out->width, out->height, out->ascent, u);
    if (lost) {
      f->where |= lost;
      f->right = std::max(f->right, out->width + stylereach(&st, out->ascent));
      if (f->named < 8) f->code[f->named] = c, f->uni[f->named++] = u;
      f->cut++;
    }
    return true;
  });
  if (mapped) {
    drawpictures(&s, &m, &st, out, f);
    mapclose(&m);
  }
  return 0;
}
