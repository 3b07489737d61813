// Hex text: glyph codes, and bitmap rows as BDF writes them, two lowercase
// hex digits a byte and a line feed after each row. This is where a conversion
// spends its time, so there is a converter for each common row width (1, 2, 3,
// 4 and 8 bytes: cells 8, 16, 24, 32 and 64 pixels wide) and one for any width,
// each in a portable version and, on x86-64, in SSE2 and AVX2 versions.
#pragma once

#include <cstddef>
#include <cstdint>

#include <cstring>

// Two lowercase digits for every byte value, so a byte costs one copy.
struct hextable {
  char d[512];
  constexpr hextable() : d() {
    const char *x = "0123456789abcdef";
    for (int i = 0; i < 256; i++) {
      d[2 * i] = x[i >> 4];
      d[2 * i + 1] = x[i & 15];
    }
  }
};
inline constexpr hextable hexpairs{};

char *putx4long(char *o, uint32_t v);

// Lowercase hex, at least 4 digits; returns the end. Inline: it names
// every glyph.
inline char *putx4(char *o, uint32_t v) {
  if (v > 0xFFFF) return putx4long(o, v);
  memcpy(o, hexpairs.d + 2 * (v >> 8), 2);
  memcpy(o + 2, hexpairs.d + 2 * (v & 0xFF), 2);
  return o + 4;
}

// Writes rows rows of rowbytes bytes each from src to o and returns the end
// of the text. It may write up to ROWSLACK bytes past that end (whole
// vectors are stored), but never reads past src + rowbytes * rows.
typedef char *(*rowsfn)(char *o, const unsigned char *src, size_t rowbytes,
                        size_t rows);

enum { ROWSLACK = 48 };

// Instruction sets the converters come in.
enum { PORTABLE, SSE2, AVX2 };

// The best level this processor runs, found once from what the C library
// already learned of the processor at start-up.
int bestlevel();

// The converter for rows of rowbytes bytes at the given level (at most
// bestlevel()).
rowsfn rowconv(size_t rowbytes, int level);
