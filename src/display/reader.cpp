// The readers' string and character functions, as their sources have
// them, on a simulated screen.
#include "display/reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codes/codes.h"

namespace {

// String2SJIS: a byte that begins a 3-byte UTF-8 sequence is kept; the
// first continuation byte after it is kept (a 2-byte sequence's lead byte
// is ignored, its continuation byte taken for this one); the next makes a
// code of the three (the half-width katakana by arithmetic, the rest
// through iconv, 0 where iconv fails), whatever came between. So
// "A°Bあ" gives 0041 0042 0000.
size_t string2sjis(const unsigned char *s, size_t n, uint32_t *codes,
                   size_t most, size_t *dropped) {
  static mapper sjis;
  static bool opened = [] {
    codeset cs;
    return !dbcsnamed(&cs, "sjis") && !mapopen(&sjis, &cs);
  }();
  size_t k = 0;
  unsigned c1 = 0, c2 = 0;
  for (size_t i = 0; i < n && k < most; i++) {
    unsigned sp = s[i];
    if ((sp & 0xF0) == 0xE0) {
      c1 = sp;
    } else if ((sp & 0xC0) == 0x80) {
      if (!c2) {
        c2 = sp;
        continue;
      }
      uint32_t code = 0;
      if (c1 == 0xEF && c2 == 0xBD)
        code = sp;
      else if (c1 == 0xEF && c2 == 0xBE)
        code = sp + 0x40;
      else if ((c1 & 0xF0) == 0xE0) {
        uint32_t u = (c1 & 0x0F) << 12 | (c2 & 0x3F) << 6 | (sp & 0x3F);
        int32_t c = u >= 0x800 && opened ? fromuni(&sjis, u) : -1;
        // iconv's output read as two bytes, high first.
        code = c < 0 ? 0 : c < 0x100 ? static_cast<uint32_t>(c) << 8 : c;
      }
      *dropped += !code;
      codes[k++] = code;
      c1 = c2 = 0;
    } else if (sp < 0x80) {
      codes[k++] = sp;
    } else {
      ++*dropped; // a 2-byte or 4-byte sequence's lead byte
    }
  }
  return k;
}

size_t utf8codes(const unsigned char *s, size_t n, uint32_t *codes,
                 size_t most) {
  size_t k = 0;
  for (size_t i = 0; i < n && k < most;) {
    unsigned b = s[i];
    int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    uint32_t u = len == 1   ? b
                 : len == 2 ? b & 0x1F
                 : len == 3 ? b & 0x0F
                            : b & 0x07;
    for (int j = 1; j < len && i + static_cast<size_t>(j) < n; j++)
      u = u << 6 | (s[i + static_cast<size_t>(j)] & 0x3F);
    codes[k++] = u;
    i += static_cast<size_t>(len);
  }
  return k;
}

// One glyph as t's character function draws it at (x, y); returns the pen
// after it, in the reader's own width.
long drawcode(const target *t, const readerfonts *f, uint32_t code, long x,
              long y, screen *s, readerfacts *facts,
              std::vector<unsigned char> *scratch) {
  const drawfont *font = nullptr;
  if (t->pair)
    font = code < 0x100 ? f->single : f->dbl;
  else
    font = f->single ? f->single : f->dbl;
  const glyphset *gs = font ? font->gs : nullptr;
  // A font of glyphs over its limit is refused when it opens.
  if (gs && t->maxglyph && gs->glyphbytes > static_cast<size_t>(t->maxglyph))
    gs = nullptr;
  int32_t index = gs && code < font->at.size() ? font->at[code] : -1;
  if (index < 0) {
    facts->missing++;
    return t->pen == PENMINUSONE ? 0xFFFF : t->pen == PENTOZERO ? 0 : x;
  }
  int w = gs->width, h = gs->height;
  if (t->buffer && gs->glyphbytes > static_cast<size_t>(t->buffer))
    facts->overflows++;
  // The glyph's bytes where the reader finds them: hagl steps from glyph
  // to glyph by the size it kept in a byte.
  size_t size = gs->glyphbytes;
  if (t->sizebits) size &= (size_t{1} << t->sizebits) - 1;
  size_t at = static_cast<size_t>(index) * size,
         all = gs->glyphs * gs->glyphbytes;
  scratch->assign(gs->glyphbytes, 0);
  for (size_t k = 0; k < gs->glyphbytes && at + k < all; k++) {
    size_t g = (at + k) / gs->glyphbytes;
    if (g < gs->whole) (*scratch)[k] = gs->bits[at + k];
  }
  int rowbytes = t->rows == ROWSPLUS4 ? (w + 4) / 8 : (w + 7) / 8;
  int rows = t->drawrows ? std::min(h, t->drawrows) : h;
  bool wraps = t->pen == PENMINUSONE || t->pen == PENTOZERO; // uint16_t
  size_t ofs = 0;
  for (int r = 0; r < rows; r++)
    for (int b = 0; b < rowbytes; b++, ofs++)
      for (int bit = 0; bit < 8; bit++) {
        // A reader that reads rows right draws the cell's width; the
        // others all eight bits of each byte read.
        if (t->rows == ROWSSTORED && b * 8 + bit >= w) break;
        if (!((*scratch)[ofs] & 0x80 >> bit)) continue;
        long px = x + b * 8 + bit;
        plot(s, wraps ? px & 0xFFFF : px, y + r);
      }
  long next =
      x + (t->column > 1 ? (w + t->column - 1) / t->column * t->column : w);
  return wraps ? next & 0xFFFF : next;
}

} // namespace

size_t readercodes(const target *t, const unsigned char *line, size_t n,
                   uint32_t *codes, size_t most, size_t *dropped) {
  if (t->lengthbits) n &= (size_t{1} << t->lengthbits) - 1;
  if (t->maxcodes) most = std::min(most, static_cast<size_t>(t->maxcodes));
  if (t->text == TEXTSJIS) return string2sjis(line, n, codes, most, dropped);
  if (t->text == TEXTBYTES) {
    n = std::min(n, most);
    std::copy(line, line + n, codes);
    return n;
  }
  return utf8codes(line, n, codes, most);
}

void readertext(const target *t, const readerfonts *f,
                const unsigned char *text, size_t n, screen *s,
                readerfacts *facts) {
  std::vector<uint32_t> codes;
  std::vector<unsigned char> scratch;
  size_t line = 0;
  for (size_t start = 0; start < n;) {
    const void *lf = memchr(text + start, '\n', n - start);
    size_t stop =
        lf ? static_cast<size_t>(static_cast<const unsigned char *>(lf) - text)
           : n;
    size_t len = stop - start;
    if (len && text[start + len - 1] == '\r') len--; // the line's ending
    long y = static_cast<long>(line++) * f->height;
    if (y >= s->height) {
      facts->hidden++;
    } else {
      facts->calls++;
      codes.resize(len + 1);
      size_t k = readercodes(t, text + start, len, codes.data(), len + 1,
                             &facts->dropped);
      if (t->lengthbits || t->maxcodes) {
        // What the reader stopped short of: a length past its byte, or
        // more codes than its buffer holds.
        std::vector<uint32_t> every(len + 1);
        target loose = *t;
        loose.lengthbits = 0, loose.maxcodes = 0;
        size_t none = 0;
        if (k < readercodes(&loose, text + start, len, every.data(), len + 1,
                            &none))
          facts->cut++;
      }
      long x = 0, top = y;
      for (size_t i = 0; i < k; i++) {
        if (t->newlines && (codes[i] == '\n' || codes[i] == '\r')) {
          x = 0, top += f->height;
          continue;
        }
        x = drawcode(t, f, codes[i], x, top, s, facts, &scratch);
      }
    }
    start = stop + 1;
  }
}
