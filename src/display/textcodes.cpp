// The readers' text conversions: how each turns a line of UTF-8 into the
// codes it looks glyphs up by, faults and all.
#include <algorithm>
#include <cstring>

#include "codes/codes.h"
#include "display/reader.h"

namespace {

// Shift_JIS's double-byte codes, for the conversions that make them.
mapper *sjismapper() {
  static mapper sjis;
  static bool opened = [] {
    codeset cs;
    return !dbcsnamed(&cs, "sjis") && !mapopen(&sjis, &cs);
  }();
  return opened ? &sjis : nullptr;
}

// The Shift_JIS code of u: a single byte for ASCII and the half-width
// katakana, two for the rest, -1 where Shift_JIS has none.
int32_t shiftjis(uint32_t u) {
  if (u < 0x80) return static_cast<int32_t>(u);
  if (u >= 0xFF61 && u <= 0xFF9F) return static_cast<int32_t>(u - 0xFEC0);
  mapper *m = sjismapper();
  return m ? fromuni(m, u) : -1;
}

// String2SJIS: a byte that begins a 3-byte UTF-8 sequence is kept; the
// first continuation byte after it is kept (a 2-byte sequence's lead byte
// is ignored, its continuation byte taken for this one); the next makes a
// code of the three (the half-width katakana by arithmetic, the rest
// through iconv, 0 where iconv fails), whatever came between. So
// "A°Bあ" gives 0041 0042 0000.
size_t string2sjis(const unsigned char *s, size_t n, uint32_t *codes,
                   size_t most, size_t *dropped) {
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
        // UTF2SJIS takes iconv's first byte alone where it has no high bit:
        // Shift_JIS's overline is its single byte 0x7E.
        int32_t c = u == 0x203E ? 0x7E : u >= 0x800 ? shiftjis(u) : -1;
        code = c < 0 ? 0 : static_cast<uint32_t>(c);
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

// The next character of valid UTF-8 at s[*i], or past the end what is
// there.
uint32_t nextchar(const unsigned char *s, size_t n, size_t *i) {
  unsigned b = s[*i];
  int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  uint32_t u = len == 1   ? b
               : len == 2 ? b & 0x1F
               : len == 3 ? b & 0x0F
                          : b & 0x07;
  for (int j = 1; j < len && *i + static_cast<size_t>(j) < n; j++)
    u = u << 6 | (s[*i + static_cast<size_t>(j)] & 0x3F);
  *i += static_cast<size_t>(len);
  return u;
}

// uni2sjis's table is Shift_JIS as iconv has it but for these six, which
// it leaves out (and U+005C, which it never sees: below 0x80 the code is
// the character's own).
bool tablelacks(uint32_t u) {
  static const uint32_t lacks[] = {0x00A5, 0x203E, 0xFF3C,
                                   0xFFE0, 0xFFE1, 0xFFE2};
  return std::find(std::begin(lacks), std::end(lacks), u) != std::end(lacks);
}

} // namespace

size_t readercodes(const target *t, const unsigned char *line, size_t n,
                   uint32_t *codes, size_t most, size_t *dropped) {
  // Every reader takes a C string: it ends at a NUL.
  if (const void *nul = memchr(line, 0, n))
    n = static_cast<size_t>(static_cast<const unsigned char *>(nul) - line);
  if (t->lengthbits) n &= (size_t{1} << t->lengthbits) - 1;
  if (t->maxcodes) most = std::min(most, static_cast<size_t>(t->maxcodes));
  if (t->emptycall && !n && most) return codes[0] = 0, 1;
  if (t->text == TEXTSJIS) return string2sjis(line, n, codes, most, dropped);
  if (t->text == TEXTBYTES) {
    n = std::min(n, most);
    std::copy(line, line + n, codes);
    return n;
  }
  size_t k = 0;
  for (size_t i = 0; i < n && k < most;) {
    uint32_t u = nextchar(line, n, &i);
    if (t->text == TEXTUNICODE) {
      codes[k++] = u;
    } else if (t->text == TEXTTABLE) {
      // A character the table lacks has no code: getGlyph fails.
      int32_t c = u < 0x80        ? static_cast<int32_t>(u)
                  : tablelacks(u) ? -1
                                  : shiftjis(u);
      codes[k++] = c < 0 ? NOCODE : static_cast<uint32_t>(c);
    } else { // TEXTSHIFTJIS: a character Shift_JIS lacks cannot be written
      int32_t c = shiftjis(u);
      if (c < 0)
        ++*dropped;
      else
        codes[k++] = static_cast<uint32_t>(c);
    }
  }
  return k;
}
