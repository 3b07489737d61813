// h-nari's Fontx library drawing a text through Humblesoft_GFX on an
// emulated display: RomFontx with the fonts in memory in the order given
// (the half-width font first, as the library's examples have it),
// print() at setCursor(0, the line's top row), the default text state
// (size 1, transparent, wrap on); the display's drawPixel clips at its
// edges, as a display driver's does.
#include "harness.h"

#include <Fontx.h>
#include <Humblesoft_GFX.h>

HardwareSerial Serial;

namespace {
harness h;

class panel : public Humblesoft_GFX {
public:
  panel(int16_t w, int16_t hh) : Humblesoft_GFX(w, hh) {}
  void drawPixel(int16_t x, int16_t y, uint16_t colour) override {
    if (x < 0 || y < 0 || x >= h.width || y >= h.height) return;
    h.px[static_cast<size_t>(y) * h.width + x] = colour;
  }
};
} // namespace

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  RomFontx fx;
  for (const std::string &d : h.data)
    fx.addFontx(reinterpret_cast<const uint8_t *>(d.data()));
  panel p(static_cast<int16_t>(h.width), static_cast<int16_t>(h.height));
  p.setFont(&fx);
  p.setTextColor(0xFFFF);
  for (size_t i = 0; i < h.lines.size(); i++) {
    long top = linetop(&h, i);
    if (top < 0) break;
    p.setCursor(0, static_cast<int16_t>(top));
    p.print(h.lines[i].c_str());
  }
  harnessclose(&h);
  return 0;
}
