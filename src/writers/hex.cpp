// Hex text of bitmap rows, portable and with SSE2 and AVX2, the level
// chosen once at start-up.
#include "writers/hex.h"

#include <cstdint>
#include <cstring>

// DOSV2BDF_PORTABLE builds only the portable converters, as on a processor
// without vector instructions.
#if defined(__x86_64__) && !defined(DOSV2BDF_PORTABLE)
#define VECTORS 1
#include <immintrin.h>
// glibc's header is C that GCC also takes as C++; clang does not, and gets
// the same from its own start-up probe through __builtin_cpu_supports.
#if __has_include(<sys/platform/x86.h>) && !defined(__clang__)
#include <sys/platform/x86.h>
#define GLIBCX86 1
#endif
#else
#define VECTORS 0
#endif

namespace {

constexpr char xdigits[] = "0123456789abcdef";

// RB is the row width when it is known here, 0 when it is rowbytes.
template <size_t RB>
char *rowsport(char *o, const unsigned char *s, size_t rowbytes, size_t rows) {
  size_t rb = RB ? RB : rowbytes;
  for (size_t r = 0; r < rows; r++) {
    for (size_t k = 0; k < rb; k++, o += 2) memcpy(o, hexpairs.d + 2 * *s++, 2);
    *o++ = '\n';
  }
  return o;
}

#if VECTORS
// Rows that one 16-byte load holds: 16 of 1 byte, 8 of 2, 5 of 3 (one byte
// unused), 4 of 4, 2 of 8. Whole loads are taken only while 16 bytes of the
// rows remain, so nothing past them is read; the rest goes the portable way.
constexpr size_t perload(size_t rb) {
  return rb == 3 ? 5 : 16 / rb;
}

inline bool whole(size_t rb, size_t left) {
  return left * rb >= 16;
}

// SSE2: the digits of 16 bytes, bytes 0-7 in lo and 8-15 in hi, high
// nibble first, by arithmetic (SSE2 has no byte shuffle).
inline __m128i ascii(__m128i nibbles) {
  __m128i big = _mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9));
  __m128i d = _mm_add_epi8(nibbles, _mm_set1_epi8('0'));
  return _mm_add_epi8(d, _mm_and_si128(big, _mm_set1_epi8('a' - '0' - 10)));
}

inline void digits(const unsigned char *s, __m128i *lo, __m128i *hi) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
  __m128i m = _mm_set1_epi8(0x0F);
  __m128i h = _mm_and_si128(_mm_srli_epi16(v, 4), m), l = _mm_and_si128(v, m);
  *lo = ascii(_mm_unpacklo_epi8(h, l));
  *hi = ascii(_mm_unpackhi_epi8(h, l));
}

inline void store(char *o, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i *>(o), v);
}

// SSE2 places the newlines with one small copy a row.
template <size_t RB>
char *rowssse2(char *o, const unsigned char *s, size_t, size_t rows) {
  constexpr size_t R = perload(RB);
  size_t r = 0;
  for (; r + R <= rows && whole(RB, rows - r); r += R, s += R * RB) {
    __m128i lo, hi;
    digits(s, &lo, &hi);
    if (RB == 8) { // a row is a whole vector
      store(o, lo);
      o[16] = '\n';
      store(o + 17, hi);
      o[33] = '\n';
      o += 34;
      continue;
    }
    alignas(16) char d[32];
    store(d, lo);
    store(d + 16, hi);
    for (size_t k = 0; k < R; k++, o += 2 * RB + 1) {
      memcpy(o, d + 2 * RB * k, 2 * RB);
      o[2 * RB] = '\n';
    }
  }
  return rowsport<RB>(o, s, RB, rows - r);
}

char *rowssse2any(char *o, const unsigned char *s, size_t rb, size_t rows) {
  for (size_t r = 0; r < rows; r++) {
    size_t k = 0;
    for (; k + 16 <= rb; k += 16, o += 32) {
      __m128i lo, hi;
      digits(s + k, &lo, &hi);
      store(o, lo);
      store(o + 16, hi);
    }
    for (; k < rb; k++, o += 2) memcpy(o, hexpairs.d + 2 * s[k], 2);
    *o++ = '\n';
    s += rb;
  }
  return o;
}

// AVX2 (and the SSSE3 byte shuffle it implies): the text of a whole load,
// newlines included, is built in registers. Output vector j takes its
// bytes from the two digit vectors by the shuffles lo[j] and hi[j] (0x80
// gives 0), with the newlines of nl[j] added.
template <size_t RB> struct layout {
  static constexpr size_t R = perload(RB), LEN = R * (2 * RB + 1),
                          V = (LEN + 15) / 16;
  unsigned char lo[V][16], hi[V][16], nl[V][16];
  constexpr layout() : lo(), hi(), nl() {
    for (size_t k = 0; k < V * 16; k++) {
      unsigned char a = 0x80, b = 0x80, n = 0;
      size_t pos = k % (2 * RB + 1), d = k / (2 * RB + 1) * 2 * RB + pos;
      if (k < LEN && pos == 2 * RB)
        n = '\n';
      else if (k < LEN && d < 16)
        a = static_cast<unsigned char>(d);
      else if (k < LEN)
        b = static_cast<unsigned char>(d - 16);
      lo[k / 16][k % 16] = a;
      hi[k / 16][k % 16] = b;
      nl[k / 16][k % 16] = n;
    }
  }
};

#define AVX2FN __attribute__((target("avx2")))

AVX2FN inline __m128i vec(const unsigned char *p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

template <size_t RB>
AVX2FN char *rowsavx2(char *o, const unsigned char *s, size_t, size_t rows) {
  using L = layout<RB>;
  static constexpr L t{};
  const __m128i m = _mm_set1_epi8(0x0F);
  const __m128i tbl = vec(reinterpret_cast<const unsigned char *>(xdigits));
  size_t r = 0;
  for (; r + L::R <= rows && whole(RB, rows - r); r += L::R, s += L::R * RB) {
    __m128i v = vec(s);
    __m128i h = _mm_shuffle_epi8(tbl, _mm_and_si128(_mm_srli_epi16(v, 4), m));
    __m128i l = _mm_shuffle_epi8(tbl, _mm_and_si128(v, m));
    __m128i dlo = _mm_unpacklo_epi8(h, l), dhi = _mm_unpackhi_epi8(h, l);
    for (size_t j = 0; j < L::V; j++) {
      __m128i x = _mm_or_si128(_mm_shuffle_epi8(dlo, vec(t.lo[j])),
                               _mm_shuffle_epi8(dhi, vec(t.hi[j])));
      store(o + 16 * j, _mm_or_si128(x, vec(t.nl[j])));
    }
    o += L::LEN;
  }
  return rowsport<RB>(o, s, RB, rows - r);
}
#endif

} // namespace

char *putx4long(char *o, uint32_t v) {
  int k = 28;
  while ((v >> k) == 0) k -= 4;
  for (; k >= 0; k -= 4) *o++ = xdigits[(v >> k) & 15];
  return o;
}

// Read once at start-up. A function-local static would need a guard, and
// with it the C++ runtime library, which costs a program this small more
// time to load than it saves.
static const int best =
#if VECTORS && GLIBCX86
    CPU_FEATURE_ACTIVE(AVX2) ? AVX2 : SSE2;
#elif VECTORS
    __builtin_cpu_supports("avx2") ? AVX2 : SSE2;
#else
    PORTABLE;
#endif

int bestlevel() {
  return best;
}

// The specialised converters by level and row width (1, 2, 3, 4 and 8
// bytes; the rest go to the last entry, which takes any width).
static const rowsfn convs[][6] = {
    {rowsport<1>, rowsport<2>, rowsport<3>, rowsport<4>, rowsport<8>,
     rowsport<0>},
#if VECTORS
    {rowssse2<1>, rowssse2<2>, rowssse2<3>, rowssse2<4>, rowssse2<8>,
     rowssse2any},
    // Rows of 8 bytes are already whole vectors: SSE2 stores them plainly.
    {rowsavx2<1>, rowsavx2<2>, rowsavx2<3>, rowsavx2<4>, rowssse2<8>,
     rowssse2any},
#endif
};

rowsfn rowconv(size_t rowbytes, int level) {
  static const int slot[9] = {5, 0, 1, 2, 3, 5, 5, 5, 4};
  if (level > bestlevel()) level = bestlevel();
  return convs[level][rowbytes < 9 ? slot[rowbytes] : 5];
}
