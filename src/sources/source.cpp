// Sources in general, and a FONTX2 glyph set as one: its codes, the first
// glyph of each, and its glyphs drawn as they are.
#include "sources/source.h"

#include <cstring>

void fromset(source *s, const glyphset *gs) {
  *s = source();
  s->cs = gs->codes;
  s->gs = gs;
  s->kind = gs->kind;
  s->ascent = gs->ascent;
  s->descent = gs->height - gs->ascent;
  memcpy(s->name, gs->name, 8);
  std::vector<bool> seen(gs->kind ? 0x10000 : 0x100);
  uint32_t i = 0;
  eachcode(gs, [&](uint32_t c) {
    if (!seen[c]) s->chars.push_back({c, i});
    seen[c] = true;
    i++;
    return true;
  });
}

int drawfitted(source *s, uint32_t handle, int width, srcglyph *g) {
  return s->gs ? drawglyph(s, handle, 0, g) : ftdraw(s, handle, 0, g, width);
}

int drawglyph(source *s, uint32_t handle, int metrics, srcglyph *g) {
  if (!s->gs) return ftdraw(s, handle, metrics, g);
  s->scratch.resize(s->gs->glyphbytes);
  g->bits = glyphbits(s->gs, handle, s->scratch.data());
  g->width = g->advance = s->gs->width;
  g->rows = s->gs->height;
  g->pitch = (g->width + 7) / 8;
  g->left = 0;
  g->top = s->gs->ascent;
  g->gray = 0;
  g->right = g->width;
  g->beyond = 0;
  return 0;
}
