// UTF-8 text read strictly: no overlong form, surrogate, code point past
// U+10FFFF or sequence cut short.
#include <cstdint>
#include <vector>

#include "codes/codes.h"

namespace {

// The character at s[*i], *i moved past it: 0, or 1 when the bytes there
// are not UTF-8.
int utf8next(const unsigned char *s, size_t n, size_t *i, uint32_t *out) {
  unsigned b = s[*i];
  size_t len = b < 0x80                 ? 1
               : b >= 0xC2 && b <= 0xDF ? 2
               : b >= 0xE0 && b <= 0xEF ? 3
               : b >= 0xF0 && b <= 0xF4 ? 4
                                        : 0;
  if (!len || *i + len > n) return 1;
  uint32_t u = len == 1 ? b : b & (0x7F >> len);
  for (size_t k = 1; k < len; k++) {
    if ((s[*i + k] & 0xC0) != 0x80) return 1;
    u = u << 6 | (s[*i + k] & 0x3F);
  }
  static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (u < least[len] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 1;
  *i += len;
  *out = u;
  return 0;
}

} // namespace

size_t utf8chars(const unsigned char *s, size_t n, std::vector<uint32_t> *out) {
  out->clear();
  // A bit a code point: a text of millions of one letter takes no more
  // memory than a text of one.
  std::vector<uint64_t> seen((0x10FFFF >> 6) + 1);
  for (size_t i = 0; i < n;) {
    uint32_t u;
    size_t at = i;
    if (utf8next(s, n, &i, &u)) return at + 1;
    if (u >= 0x20 && (u < 0x7F || u > 0x9F) && u != 0xFEFF)
      seen[u >> 6] |= uint64_t{1} << (u & 63);
  }
  for (uint32_t w = 0; w < seen.size(); w++)
    for (uint64_t bits = seen[w]; bits; bits &= bits - 1)
      out->push_back(w << 6 | static_cast<uint32_t>(__builtin_ctzll(bits)));
  return 0;
}

size_t utf8decode(const unsigned char *s, size_t n,
                  std::vector<uint32_t> *out) {
  out->clear();
  for (size_t i = 0; i < n;) {
    uint32_t u;
    size_t at = i;
    if (utf8next(s, n, &i, &u)) return at + 1;
    out->push_back(u);
  }
  return 0;
}

size_t utf8encode(uint32_t u, unsigned char *b) {
  if (u < 0x80) return b[0] = static_cast<unsigned char>(u), 1;
  size_t n = u < 0x800 ? 2 : u < 0x10000 ? 3 : 4;
  for (size_t k = n - 1; k > 0; k--, u >>= 6)
    b[k] = static_cast<unsigned char>(0x80 | (u & 0x3F));
  b[0] = static_cast<unsigned char>((0xF00 >> n) | u);
  return n;
}
