// What a bitmap font announces, held against what its bytes can hold,
// before FreeType reads it: FreeType allocates every glyph's bitmap at the
// size its metrics give, so a few kilobytes of BDF text or PCF metrics can
// make it allocate gigabytes. An honest font's bitmaps are in the file: in
// BDF text two hex digits a byte, in PCF at most padded to 8 bytes a row.
#include "sources/bounds.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Slack for small fonts whose BITMAP sections are short (FreeType fills
// the rest with zeros): real fonts are never near it, and a bomb is far
// past it.
const uint64_t SLACK = uint64_t{16} << 20;

bool startswith(const unsigned char *p, const unsigned char *e,
                const char *word) {
  size_t k = strlen(word);
  return static_cast<size_t>(e - p) > k && !memcmp(p, word, k) &&
         (p[k] == ' ' || p[k] == '\t' || p[k] == '\r' || p[k] == '\n');
}

// The decimal numbers after a keyword, as FreeType reads them; a number
// that is not one counts as 0.
const unsigned char *number(const unsigned char *p, const unsigned char *e,
                            int64_t *v) {
  while (p < e && (*p == ' ' || *p == '\t')) p++;
  bool minus = p < e && *p == '-';
  if (minus || (p < e && *p == '+')) p++;
  *v = 0;
  for (; p < e && *p >= '0' && *p <= '9'; p++)
    if (*v < (int64_t{1} << 40)) *v = *v * 10 + (*p - '0');
  if (minus) *v = -*v;
  return p;
}

int bdf(const unsigned char *d, size_t n, char *why, size_t size) {
  const unsigned char *p = d, *e = d + n;
  uint64_t bytes = 0;
  int64_t chars = 0;
  while (p < e) {
    const unsigned char *eol =
        static_cast<const unsigned char *>(memchr(p, '\n', e - p));
    if (!eol) eol = e;
    const unsigned char *end = eol + (eol < e);
    if (*p == 'C' && startswith(p, end, "CHARS")) {
      number(p + 5, eol, &chars);
    } else if (*p == 'B' && startswith(p, end, "BBX")) {
      int64_t w, h;
      number(number(p + 3, eol, &w), eol, &h);
      if (w > 0 && h > 0) bytes += static_cast<uint64_t>((w + 7) / 8) * h;
    } else if (*p == 'B' && startswith(p, end, "BITMAP")) {
      // The rows are hex digits only, no keyword among them: on to the
      // next ENDCHAR at once (as FreeType reads it, the one that ends
      // this glyph, however many rows stand before it).
      const void *last =
          memmem(eol, static_cast<size_t>(e - eol), "\nENDCHAR", 8);
      eol = last ? static_cast<const unsigned char *>(last) : e;
    }
    p = eol + 1;
  }
  // A glyph record takes some forty bytes of text at the least.
  if (chars > 0 && static_cast<uint64_t>(chars) > n / 32 + 64) {
    snprintf(why, size, "announces %lld glyphs in %zu bytes of text",
             static_cast<long long>(chars), n);
    return 1;
  }
  if (bytes > n / 2 + SLACK) {
    snprintf(why, size,
             "announces %llu bytes of glyph bitmaps in %zu bytes of text",
             static_cast<unsigned long long>(bytes), n);
    return 1;
  }
  return 0;
}

uint32_t le32(const unsigned char *p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A PCF number of the table's byte order (MSB first when bit 2 is set).
uint32_t pcfnum(const unsigned char *p, int bytes, uint32_t format) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; i++)
    v |= static_cast<uint32_t>(p[format & 4 ? i : bytes - 1 - i])
         << (8 * (bytes - 1 - i));
  return v;
}

int pcf(const unsigned char *d, size_t n, char *why, size_t size) {
  if (n < 8) return 0;
  uint32_t tables = le32(d + 4);
  uint32_t bformat = 0;
  size_t metrics = 0, msize = 0;
  bool have = false;
  for (uint32_t i = 0; i < tables && 8 + 16 * (i + 1) <= n; i++) {
    const unsigned char *t = d + 8 + 16 * i;
    uint32_t type = le32(t), format = le32(t + 4), tsize = le32(t + 8),
             off = le32(t + 12);
    if (type == 1u << 2) metrics = off, msize = tsize, have = true;
    if (type == 1u << 3) bformat = format;
  }
  // A table out of the file is FreeType's to refuse.
  if (!have || metrics > n || msize > n - metrics || msize < 8) return 0;
  const unsigned char *m = d + metrics, *end = m + msize;
  uint32_t mformat = le32(m);
  bool compressed = (mformat & 0xFFFFFF00) == 0x100;
  uint32_t count =
      compressed ? pcfnum(m + 4, 2, mformat) : pcfnum(m + 4, 4, mformat);
  const unsigned char *p = m + (compressed ? 6 : 8);
  size_t each = compressed ? 5 : 12;
  uint64_t total = 0;
  int pad = 1 << (bformat & 3);
  for (uint32_t i = 0; i < count && p + each <= end; i++, p += each) {
    int64_t lsb, rsb, ascent, descent;
    if (compressed) {
      lsb = p[0] - 0x80, rsb = p[1] - 0x80;
      ascent = p[3] - 0x80, descent = p[4] - 0x80;
    } else {
      lsb = static_cast<int16_t>(pcfnum(p, 2, mformat));
      rsb = static_cast<int16_t>(pcfnum(p + 2, 2, mformat));
      ascent = static_cast<int16_t>(pcfnum(p + 6, 2, mformat));
      descent = static_cast<int16_t>(pcfnum(p + 8, 2, mformat));
    }
    int64_t w = rsb - lsb, h = ascent + descent;
    if (w <= 0 || h <= 0) continue;
    uint64_t bytes =
        static_cast<uint64_t>((w + 8 * pad - 1) / (8 * pad) * pad) *
        static_cast<uint64_t>(h);
    if (bytes > n) {
      snprintf(why, size,
               "glyph %u announces a bitmap of %llu bytes in a %zu-byte font",
               i, static_cast<unsigned long long>(bytes), n);
      return 1;
    }
    total += bytes;
  }
  if (total > 4 * static_cast<uint64_t>(n) + SLACK) {
    snprintf(why, size,
             "announces %llu bytes of glyph bitmaps in a %zu-byte font",
             static_cast<unsigned long long>(total), n);
    return 1;
  }
  return 0;
}

} // namespace

int fontbounds(const unsigned char *data, size_t n, char *why, size_t size) {
  if (n >= 9 && !memcmp(data, "STARTFONT", 9)) return bdf(data, n, why, size);
  if (n >= 4 && !memcmp(data, "\1fcp", 4)) return pcf(data, n, why, size);
  return 0;
}
