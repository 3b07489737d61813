// The simulated display: its pixels, the glyphs drawn on it, its picture.
#include "display/screen.h"

#include <cstdio>

#include "io/stream.h"
#include "writers/png.h"

void screenopen(screen *s, int width, int height) {
  s->width = width, s->height = height;
  s->px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

void drawbox(screen *s, long x, long y, int w, int h) {
  for (int i = 0; i < w; i++) plot(s, x + i, y), plot(s, x + i, y + h - 1);
  for (int j = 0; j < h; j++) plot(s, x, y + j), plot(s, x + w - 1, y + j);
}

void fontopen(drawfont *f, const glyphset *gs) {
  f->gs = gs;
  f->at.assign(gs->kind ? 0x10000 : 0x100, -1);
  int32_t i = 0;
  eachcode(gs, [&](uint32_t c) {
    if (c < f->at.size() && f->at[c] < 0) f->at[c] = i;
    i++;
    return true;
  });
}

const unsigned char *glyphof(const drawfont *f, uint32_t code,
                             std::vector<unsigned char> *scratch) {
  if (code >= f->at.size() || f->at[code] < 0) return nullptr;
  scratch->resize(f->gs->glyphbytes);
  return glyphbits(f->gs, static_cast<size_t>(f->at[code]), scratch->data());
}

int screenpng(const screen *s, int scale, const unsigned char *fg,
              const unsigned char *bg, char *why, size_t size) {
  long w = static_cast<long>(s->width) * scale,
       h = static_cast<long>(s->height) * scale;
  // The picture is made whole before libpng compresses it: half the
  // proof sheet's bound keeps the largest (8192 x 8192, a 4096 x 4096
  // screen at --scale 2) under 300 MB with the screen and libpng's own.
  if (static_cast<double>(w) * static_cast<double>(h) > MAXPIXELS / 2)
    return snprintf(why, size,
                    "a picture of %ldx%ld pixels is too large: at most %ld "
                    "million; use a smaller --scale",
                    w, h, static_cast<long>(MAXPIXELS / 2) / 1000000),
           -1;
  std::vector<unsigned char> img(static_cast<size_t>(w) *
                                 static_cast<size_t>(h));
  for (long y = 0; y < h; y++)
    for (long x = 0; x < w; x++)
      img[static_cast<size_t>(y * w + x)] =
          s->px[static_cast<size_t>((y / scale) * s->width + x / scale)];
  unsigned char palette[6] = {bg[0], bg[1], bg[2], fg[0], fg[1], fg[2]};
  return pngwrite(img.data(), static_cast<int>(w), static_cast<int>(h), palette,
                  2, 0, &output, why, size);
}
