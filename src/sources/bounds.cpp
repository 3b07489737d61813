// What a bitmap font announces, held against what its bytes can hold,
// before FreeType reads it: FreeType allocates every glyph's bitmap at the
// size its metrics give, so a few kilobytes of BDF text or PCF metrics can
// make it allocate gigabytes. An honest font's bitmaps are in the file: in
// BDF text two hex digits a byte, in PCF at most padded to 8 bytes a row.
#include "sources/bounds.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Slack for small fonts whose BITMAP sections are short (FreeType fills
// the rest with zeros): real fonts are never near it, and a bomb is far
// past it.
const uint64_t SLACK = uint64_t{16} << 20;

// The word's length is known here, so the comparison is a few loads.
template <size_t N>
bool startswith(const unsigned char *p, const unsigned char *e,
                const char (&word)[N]) {
  const size_t k = N - 1;
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
  int64_t n = 0; // in a local: a store through v might change *p
  for (; p < e && *p >= '0' && *p <= '9'; p++)
    if (n < (int64_t{1} << 40)) n = n * 10 + (*p - '0');
  *v = minus ? -n : n;
  return p;
}

// The first "\nENDCHAR" at or after p, else e. Its 'N' is no hex digit,
// so a search for 'N' (memchr, many bytes a step) leaps over the rows in
// between; memmem with the whole word takes a step a byte or two.
const unsigned char *endchar(const unsigned char *p, const unsigned char *e) {
  for (const unsigned char *q = p + 2; q < e;) {
    q = static_cast<const unsigned char *>(memchr(q, 'N', e - q));
    if (!q) break;
    if (q[-2] == '\n' && q[-1] == 'E' && e - q >= 6 && !memcmp(q, "NDCHAR", 6))
      return q - 2;
    q++;
  }
  return e;
}

int bdf(const unsigned char *d, size_t n, char *why, size_t size) {
  const unsigned char *p = d, *e = d + n;
  uint64_t bytes = 0;
  int64_t chars = 0;
  // The header, line by line up to the first glyph: CHARS is read there.
  // Of two, the larger counts, whichever a reader believes.
  while (p < e && !startswith(p, e, "STARTCHAR")) {
    int64_t v;
    if (*p == 'C' && startswith(p, e, "CHARS")) {
      number(p + 5, e, &v);
      chars = std::max(chars, v);
    }
    const void *eol = memchr(p, '\n', e - p);
    p = eol ? static_cast<const unsigned char *>(eol) + 1 : e;
  }
  // The glyphs: only the lines that begin with a B matter, BBX and
  // BITMAP, so the search leaps from one B to the next, and over the rows
  // from BITMAP to ENDCHAR (hex digits only: no keyword among them, and as
  // FreeType reads it, the ENDCHAR that ends this glyph however many rows
  // stand before it).
  while (p < e) {
    const void *b = memchr(p, 'B', e - p);
    if (!b) break;
    p = static_cast<const unsigned char *>(b);
    bool linestart = p > d && p[-1] == '\n';
    if (linestart && startswith(p, e, "BBX")) {
      int64_t w, h;
      number(number(p + 3, e, &w), e, &h);
      if (w > 0 && h > 0) bytes += static_cast<uint64_t>((w + 7) / 8) * h;
    } else if (linestart && startswith(p, e, "BITMAP")) {
      p = endchar(p, e);
      if (p == e) break;
    }
    p++;
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
