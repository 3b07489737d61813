// Adafruit_GFX as Humblesoft_GFX builds on it, for a host: its text state
// with the library's defaults (text size 1, colours 0xFFFF on 0xFFFF, so
// transparent, wrap on), print() a byte at a time through write(), and
// fillRect() a pixel at a time through the display's drawPixel(), as the
// library's own fillRect comes down to writePixel(). The classic built-in
// font is not here: texts are drawn with FONTX2 fonts only.
#pragma once

#include "Arduino.h"

struct GFXglyph {
  uint16_t bitmapOffset;
  uint8_t width, height, xAdvance;
  int8_t xOffset, yOffset;
};

struct GFXfont {
  uint8_t *bitmap;
  GFXglyph *glyph;
  uint16_t first, last;
  uint8_t yAdvance;
};

class Print {
public:
  virtual ~Print() {}
  virtual size_t write(uint8_t) = 0;
  size_t print(const char *s) {
    size_t n = 0;
    while (*s) n += write(static_cast<uint8_t>(*s++));
    return n;
  }
};

class Adafruit_GFX : public Print {
public:
  Adafruit_GFX(int16_t w, int16_t h) : _width(w), _height(h) {}
  virtual void drawPixel(int16_t x, int16_t y, uint16_t color) = 0;
  virtual void fillRect(int16_t x, int16_t y, int16_t w, int16_t h,
                        uint16_t color) {
    // The library's loop over columns, each a vertical line of h pixels.
    for (int16_t i = x; i < x + w; i++)
      for (int j = 0; j < h; j++)
        drawPixel(i, static_cast<int16_t>(y + j), color);
  }
  virtual void fillScreen(uint16_t color) {
    fillRect(0, 0, _width, _height, color);
  }
  void drawChar(int16_t, int16_t, unsigned char, uint16_t, uint16_t, uint8_t,
                uint8_t) {}
  void setCursor(int16_t x, int16_t y) { cursor_x = x, cursor_y = y; }
  void setTextColor(uint16_t c) { textcolor = textbgcolor = c; }
  void setTextColor(uint16_t c, uint16_t bg) {
    textcolor = c, textbgcolor = bg;
  }
  void setTextSize(uint8_t s) { textsize_x = textsize_y = s; }
  void setFont(const GFXfont *f = NULL) { gfxFont = const_cast<GFXfont *>(f); }
  void getTextBounds(const char *, int16_t x, int16_t y, int16_t *x1,
                     int16_t *y1, uint16_t *w, uint16_t *h) {
    *x1 = x, *y1 = y, *w = *h = 0;
  }

protected:
  int16_t _width, _height;
  int16_t cursor_x = 0, cursor_y = 0;
  uint16_t textcolor = 0xFFFF, textbgcolor = 0xFFFF;
  uint8_t textsize_x = 1, textsize_y = 1;
  bool wrap = true;
  GFXfont *gfxFont = NULL;
};
