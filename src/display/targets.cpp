// The readers' records, and the cell widths they read right.
#include "display/targets.h"

#include <cstring>
#include <strings.h>

const target targets[] = {
    // The Raspberry Pi TFT drivers: a Shift_JIS pair, rows read a byte
    // short, a 128-byte glyph buffer that refuses more, String2SJIS.
    {"rpi-tft",
     "Raspberry-ili9325 and its family (ili9341, st7735...)",
     "tft_lib.c and fontx.c",
     1,
     0,
     ROWSPLUS4,
     128,
     0,
     nullptr,
     0,
     0,
     0,
     1,
     TEXTSJIS,
     64,
     8,
     PENMINUSONE,
     0,
     0,
     0,
     "sjis",
     "CP932"},
    // The Raspberry Pi OLED driver: the same pair and text, rows read
    // right into a 32-byte buffer, 16 rows, whole 8-pixel columns.
    {"rpi-oled",
     "Raspberry-ssd1306",
     "its FONTX2 and drawing code",
     1,
     0,
     ROWSSTORED,
     0,
     32,
     nullptr,
     16,
     16,
     16,
     8,
     TEXTSJIS,
     64,
     8,
     PENSTAYS,
     0,
     0,
     0,
     "sjis",
     "CP932"},
    // The ESP-IDF drivers: one single-byte font, the text's bytes its
    // codes, rows read a byte short, ILI9340's 128-byte buffer.
    {"esp-idf",
     "esp-idf-ili9340 and esp-idf-st7789",
     "their fontx.c and driver",
     0,
     1,
     ROWSPLUS4,
     0,
     128,
     "esp-idf-ili9340 (esp-idf-st7789 allocates it)",
     0,
     0,
     0,
     1,
     TEXTBYTES,
     0,
     0,
     PENTOZERO,
     0,
     0,
     0,
     nullptr,
     nullptr},
    // hagl: every code a Unicode value, a glyph's size in a byte, a pixel
    // buffer of HAGL_CHAR_BUFFER_SIZE bytes.
    {"hagl",
     "the hagl graphics library",
     "fontx.c and hagl.c",
     0,
     0,
     ROWSSTORED,
     0,
     0,
     nullptr,
     0,
     0,
     0,
     1,
     TEXTUNICODE,
     0,
     0,
     PENSTAYS,
     8,
     6 * 9 * 2,
     1,
     "unicode",
     "ISO-8859-1"},
    {nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, 0,       0,
     0,       1,       0,       0, 0, 0, 0, 0, 0,       nullptr, nullptr},
};

const target *findtarget(const char *name) {
  for (const target *t = targets; t->name; t++)
    if (!strcasecmp(t->name, name)) return t;
  return nullptr;
}

const char *targetnames() {
  return "rpi-tft, rpi-oled, esp-idf, hagl";
}

int readsrows(const target *t, int w) {
  return t->rows == ROWSSTORED || (w + 4) / 8 == (w + 7) / 8;
}

int targetwidth(const void *rule, int natural) {
  const target *t = static_cast<const target *>(rule);
  int w = natural;
  if (t->column > 1 && (!t->maxwidth || w <= t->maxwidth))
    w = (w + t->column - 1) / t->column * t->column;
  while (!readsrows(t, w) && w < 255) w++;
  return w;
}
