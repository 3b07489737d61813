// The Raspberry Pi TFT library (nopnop2002/Raspberry-ili9325) drawing a
// text on an emulated ILI9341 behind its 8-bit 8080 bus: its own
// ili9341_lcdInit, lcdDrawUTF8String, String2SJIS and GetFontx, the bus's
// bytes decoded by a DCS controller that honours the row order the driver
// sets (MADCTL 0x98: bottom to top). The driver draws a glyph upward from
// y + h - 1, so on the glass a line at y has its glyphs' bottoms at
// h - 1 - y from the top: line i is drawn at y = H - (i + 1) * h. The
// fonts are opened from their files, the half-width one first, as the
// library's demo opens them.
#include <cstring>

#include "harness.h"
#include "wiring.h"

extern "C" {
#include <wiringPi.h>

#include "tft_lib.h"

#include "driver/ili9341.h"
}

namespace {
harness h;
dcs panel;
int level[32];
enum { RST = 1, CS, RS, WR, RD, D0 };
} // namespace

extern "C" {
int digitalRead(int pin) {
  return level[pin & 31];
}
void digitalWrite(int pin, int value) {
  pin &= 31;
  bool strobe = pin == WR && !level[pin] && value;
  level[pin] = value;
  if (!strobe) return;
  uint8_t b = 0;
  for (int k = 0; k < 8; k++) b |= static_cast<uint8_t>(level[D0 + k] << k);
  panel.dc = level[RS];
  panel.byte(b);
}
}

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  panel.h = &h;
  TFT_t dev;
  memset(&dev, 0, sizeof dev);
  dev.pins.rst = RST, dev.pins.cs = CS, dev.pins.rs = RS, dev.pins.wr = WR;
  dev.pins.rd = RD;
  int *d[] = {&dev.pins.d0, &dev.pins.d1, &dev.pins.d2, &dev.pins.d3,
              &dev.pins.d4, &dev.pins.d5, &dev.pins.d6, &dev.pins.d7};
  for (int k = 0; k < 8; k++) *d[k] = D0 + k;
  dev.pins.d8 = dev.pins.d9 = dev.pins.d10 = dev.pins.d11 = 30;
  dev.pins.d12 = dev.pins.d13 = dev.pins.d14 = dev.pins.d15 = 30;
  level[WR] = HIGH;
  ili9341_lcdInit(&dev, h.width, h.height, 0, 0);
  h.px.assign(h.px.size(), 0);
  FontxFile fx[2];
  Fontx_init(fx, h.fonts[0].c_str(),
             h.fonts.size() > 1 ? h.fonts[1].c_str() : "");
  for (size_t i = 0; i < h.lines.size(); i++) {
    long top = linetop(&h, i);
    if (top < 0) break;
    std::string line = h.lines[i];
    lcdDrawUTF8String(&dev, fx, 0,
                      static_cast<uint16_t>(h.height - top - h.lineheight),
                      reinterpret_cast<unsigned char *>(&line[0]), 0xFFFF);
  }
  harnessclose(&h);
  return 0;
}
