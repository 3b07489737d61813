// hagl drawing a text on an emulated surface: its own hagl_put_text,
// hagl_put_char and fontx_glyph, with the bitmap, blit and pixel calls
// beneath them emulated as hagl does them for a HAL without a blit: every
// pixel of the glyph's cell put through the clip window (0,0)-(w-1,h-1).
// A line is one hagl_put_text call at x = 0 with y its top row, the UTF-8
// line made a wchar_t string as mbstowcs would; the font is in memory, as
// hagl takes it.
#include <cstring>

#include "harness.h"

extern "C" {
#include "fontx.h"
#include "hagl.h"
}

namespace {
harness h;

void putpixel(void *, int16_t x, int16_t y, hagl_color_t colour) {
  h.px[static_cast<size_t>(y) * h.width + x] = colour;
}

// The characters of valid UTF-8.
std::vector<wchar_t> widen(const std::string &s) {
  std::vector<wchar_t> w;
  for (size_t i = 0; i < s.size();) {
    unsigned b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    uint32_t u = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; k++) u = u << 6 | (s[i + k] & 0x3F);
    w.push_back(static_cast<wchar_t>(u));
    i += static_cast<size_t>(len);
  }
  // hagl_put_text looks one past the first character before it checks for
  // the end: an empty string needs a second terminator.
  w.push_back(0);
  w.push_back(0);
  return w;
}
} // namespace

extern "C" {
void hagl_bitmap_init(hagl_bitmap_t *b, int16_t width, uint16_t height,
                      uint8_t depth, void *buffer) {
  b->width = static_cast<uint16_t>(width), b->height = height;
  b->depth = depth;
  b->pitch = static_cast<uint16_t>(width * (depth / 8));
  b->size = static_cast<uint32_t>(b->pitch) * height;
  b->buffer = static_cast<uint8_t *>(buffer);
}

void hagl_put_pixel(void const *s, int16_t x0, int16_t y0,
                    hagl_color_t colour) {
  const hagl_surface_t *surface = static_cast<const hagl_surface_t *>(s);
  if (x0 < surface->clip.x0 || y0 < surface->clip.y0) return;
  if (x0 > surface->clip.x1 || y0 > surface->clip.y1) return;
  surface->put_pixel(const_cast<void *>(s), x0, y0, colour);
}

void hagl_blit(void const *surface, int16_t x0, int16_t y0,
               hagl_bitmap_t *source) {
  const hagl_color_t *ptr =
      reinterpret_cast<const hagl_color_t *>(source->buffer);
  for (uint16_t y = 0; y < source->height; y++)
    for (uint16_t x = 0; x < source->width; x++)
      hagl_put_pixel(surface, static_cast<int16_t>(x0 + x),
                     static_cast<int16_t>(y0 + y), *ptr++);
}
}

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  hagl_surface_t surface;
  memset(&surface, 0, sizeof surface);
  surface.width = static_cast<int16_t>(h.width);
  surface.height = static_cast<int16_t>(h.height);
  surface.depth = 16;
  surface.clip = {0, 0, static_cast<uint16_t>(h.width - 1),
                  static_cast<uint16_t>(h.height - 1)};
  surface.put_pixel = putpixel;
  const unsigned char *font =
      reinterpret_cast<const unsigned char *>(h.data[0].data());
  for (size_t i = 0; i < h.lines.size(); i++) {
    long top = linetop(&h, i);
    if (top < 0) break;
    std::vector<wchar_t> text = widen(h.lines[i]);
    hagl_put_text(&surface, text.data(), 0, static_cast<int16_t>(top), 0xFFFF,
                  font);
  }
  harnessclose(&h);
  return 0;
}
