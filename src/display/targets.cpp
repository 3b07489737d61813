// The readers' records, each fact as its driver's code fixes it (the file
// and function named beside it), and the cell widths they read right.
#include "display/targets.h"

#include <cstring>
#include <strings.h>

namespace {

target base() {
  target t = target();
  t.column = 1;
  t.pen = PENINT;
  t.edge = EDGECLIP;
  t.lookup = LOOKPAIR;
  return t;
}

// nopnop2002/Raspberry-ili9325, tft_lib.c and fontx.c: lcdDrawUTF8String
// turns the text into at most 64 codes by String2SJIS (its length passed
// in a uint8_t); GetFontx refuses a font whose glyph is over 128 bytes
// (FontxGlyphBufSize) and looks codes below 0x100 up in the first
// single-byte font, the others in the first double-byte one;
// lcdDrawSJISChar reads (pw+4)/8 bytes of each row and draws pw pixels of
// them, returns x + pw as an int into the caller's uint16_t x, and -1 for a
// code it cannot find.
target rpitft() {
  target t = base();
  t.name = "rpi-tft";
  t.project = "nopnop2002/Raspberry-ili9325 and its family (ili9341, "
              "st7735...)";
  t.file = "tft_lib.c lcdDrawUTF8String, lcdDrawSJISChar; fontx.c GetFontx, "
           "String2SJIS";
  t.commit = "8bbd5ea";
  t.origin = "y is the glyph's top row as the panel shows it (the driver "
             "draws from y + h - 1 up, on a panel it mirrors vertically)";
  t.pair = 1;
  t.rows = ROWSPLUS4;
  t.maxglyph = 128;
  t.text = TEXTSJIS;
  t.maxcodes = 64;
  t.lengthbits = 8;
  t.missing = PENMINUSONE;
  t.pen = PENUINT16;
  t.dbcs = "sjis";
  t.sbcs = "CP932";
  return t;
}

// nopnop2002/Raspberry-ssd1306, oled.c and fontx.c: a program, not a
// library: "oled +N text" keeps at most 16 codes of String2SJIS for line N
// of 4, "oled s" draws each code with drawSJISChar, whose fonts[32]
// buffer a glyph over 32 bytes overflows, Font2Bitmap draws two 8-row
// pages of each glyph (16 rows, the second page left as the stack had it
// for a glyph shorter than 16), the column advances by pw/8 8-pixel
// columns (pw never set where GetFontx fails), and a glyph past column
// 127 runs on into the next page.
target rpioled() {
  target t = base();
  t.name = "rpi-oled";
  t.project = "nopnop2002/Raspberry-ssd1306";
  t.file = "oled.c main, drawSJISChar; fontx.c Font2Bitmap, GetFontx, "
           "String2SJIS";
  t.commit = "b263488";
  t.origin = "four lines of 16 rows, the column in 8-pixel steps";
  t.pair = 1;
  t.rows = ROWSSTORED;
  t.buffer = 32;
  t.maxwidth = 16, t.maxheight = 16;
  t.drawrows = 16;
  t.column = 8;
  t.lineheight = 16;
  t.pagewidth = 128;
  t.opaque = 1; // memcpy of whole columns
  t.text = TEXTSJIS;
  t.maxcodes = 16;
  t.lengthbits = 8;
  t.missing = PENUNSET;
  t.dbcs = "sjis";
  t.sbcs = "CP932";
  return t;
}

// nopnop2002/esp-idf-ili9340, components/ili9340: lcdDrawString draws each
// byte of the string (to its strlen) with lcdDrawChar; GetFontx reads the
// glyph of that byte from the first single-byte font of the two, whose
// glyphs OpenFontx refuses over 128 bytes (FontxGlyphBufSize); lcdDrawChar
// reads (pw+4)/8 bytes of each row, draws pw pixels of them with y the
// glyph's bottom row, keeps x + pw in an int16_t made 0 when negative, and
// returns 0 where GetFontx fails.
target espidf() {
  target t = base();
  t.name = "esp-idf";
  t.project = "nopnop2002/esp-idf-ili9340";
  t.file = "components/ili9340: ili9340.c lcdDrawString, lcdDrawChar; "
           "fontx.c OpenFontx, GetFontx";
  t.commit = "773bcdd";
  t.origin = "y is the glyph's bottom row (its top is y - (h - 1))";
  t.singleonly = 1;
  t.rows = ROWSPLUS4;
  t.maxglyph = 128;
  t.text = TEXTBYTES;
  t.missing = PENTOZERO;
  t.pen = PENINT16TO0;
  t.lookup = LOOKONE;
  return t;
}

// nopnop2002/esp-idf-st7789, components/st7789: as esp-idf-ili9340, but
// OpenFontx allocates the glyph buffer to the font's glyph size, so no
// glyph is too large.
target espidfst7789() {
  target t = espidf();
  t.name = "esp-idf-st7789";
  t.project = "nopnop2002/esp-idf-st7789";
  t.file = "components/st7789: st7789.c lcdDrawString, lcdDrawChar; fontx.c "
           "OpenFontx, GetFontx";
  t.commit = "3ac4045";
  t.maxglyph = 0;
  return t;
}

// tuupola/hagl, src/hagl_char.c and src/fontx.c: hagl_put_text takes a
// wchar_t string, each character's Unicode value a code of the one font
// (a single-byte font's below 0x100, a double-byte font's by its block
// table), CR and LF back to x = 0 a cell lower, and draws the first
// character before it looks for the string's end; fontx_glyph keeps a
// glyph's size in a uint8_t; hagl_put_char draws every pixel of the cell
// (its background too) through a buffer of HAGL_CHAR_BUFFER_SIZE bytes,
// and the pen is an int16_t.
target hagl() {
  target t = base();
  t.name = "hagl";
  t.project = "tuupola/hagl";
  t.file = "src/hagl_char.c hagl_put_text, hagl_put_char; src/fontx.c "
           "fontx_glyph";
  t.commit = "1e00e29";
  t.origin = "y is the glyph's top row";
  t.rows = ROWSSTORED;
  t.text = TEXTUNICODE;
  t.missing = PENSTAYS;
  t.pen = PENINT16;
  t.lookup = LOOKONE;
  t.sizebits = 8;
  t.pixelbuffer = 6 * 9 * 2;
  t.opaque = 1;
  t.newlines = 1;
  t.emptycall = 1;
  t.dbcs = "unicode";
  t.sbcs = "ISO-8859-1";
  return t;
}

// h-nari/Fontx with h-nari/Humblesoft_GFX: print() feeds each byte to
// process_utf8_byte, whose Utf8Decoder makes Unicode values; RomFontx
// getGlyph takes those below 0x80 as they are and the others through
// uni2sjis's table, then tries its fonts in order (a single-byte code the
// first single-byte font, any other the first font whose block table holds
// it); a character it cannot find is skipped; a glyph that would pass the
// right edge starts a row lower at x = 0 (Adafruit_GFX's wrap, on by
// default); drawFontxGlyph reads rows of (w+7)/8 bytes, the cursor an
// int16_t at the glyph's top row, and counts a row's columns in a uint8_t
// by 8: past 248 it wraps to 0 and the glyph never ends.
target arduino() {
  target t = base();
  t.name = "arduino-fontx";
  t.project = "h-nari/Fontx with h-nari/Humblesoft_GFX";
  t.file = "Fontx.cpp RomFontx::getGlyph; uni2sjis.c; Humblesoft_GFX.cpp "
           "process_utf8_byte, drawFontxGlyph";
  t.commit = "e90f153 and 1dbf71a";
  t.origin = "the cursor's y is the glyph's top row";
  t.pair = 1;
  t.rows = ROWSSTORED;
  t.maxwidth = 248;
  t.text = TEXTTABLE;
  t.missing = PENSTAYS;
  t.pen = PENINT16;
  t.edge = EDGEWRAP;
  t.lookup = LOOKORDER;
  t.dbcs = "sjis";
  t.sbcs = "CP932";
  return t;
}

// nemuisan/STM32Primer2_GNSS_Tracker, lib/display/abstract
// display_if_support.c Display_Puts_If and lib/FONTX2 font_if.c: the string
// is the program's Shift_JIS bytes, a lead byte (81-9F, E0-FC) and the
// next a code of the kanji font, any other byte one of the ANK font;
// GetPtr_Kanji draws a code its table lacks as SJIS_TOOFU (0x81A0); rows of
// (w+7)/8 bytes; x a uint16_t advanced by the font's width; the call
// returns before a character whose x or y is past the screen (MAX_X,
// MAX_Y).
target stm32() {
  target t = base();
  t.name = "stm32-fontx";
  t.project = "nemuisan/STM32Primer2_GNSS_Tracker FONTX2 driver";
  t.file = "lib/display/abstract/src/display_if_support.c Display_Puts_If; "
           "lib/FONTX2/src/font_if.c GetPtr_Kanji, GetPtr_Ank";
  t.commit = "80db9dc";
  t.origin = "y is the glyph's top row";
  t.pair = 1;
  t.rows = ROWSSTORED;
  t.text = TEXTSHIFTJIS;
  t.missing = PENTOFU;
  t.pen = PENUINT16;
  t.edge = EDGESTOP;
  t.dbcs = "sjis";
  t.sbcs = "CP932";
  return t;
}

} // namespace

const target targets[] = {rpitft(), rpioled(), espidf(), espidfst7789(),
                          hagl(),   arduino(), stm32(),  target()};

const target *findtarget(const char *name) {
  for (const target *t = targets; t->name; t++)
    if (!strcasecmp(t->name, name)) return t;
  return nullptr;
}

const char *targetnames() {
  return "rpi-tft, rpi-oled, esp-idf, esp-idf-st7789, hagl, arduino-fontx, "
         "stm32-fontx";
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
