// dosvfont's messages, each a line of its own on standard error.
#include "dosvfont/say.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "io/stream.h"

char *thousands(char *out, size_t size, size_t v) {
  char digits[32];
  int n = snprintf(digits, sizeof digits, "%zu", v), k = 0;
  for (int i = 0; i < n && static_cast<size_t>(k) + 2 < size; i++) {
    if (i && (n - i) % 3 == 0) out[k++] = ',';
    out[k++] = digits[i];
  }
  if (size) out[k] = '\0';
  return out;
}

namespace {

// Characters that reorder, hide or break the text around them on a
// terminal: the bidirectional controls and marks, the line and paragraph
// separators, the zero-width and invisible format characters.
bool reorders(uint32_t u) {
  return u == 0x061C || (u >= 0x200B && u <= 0x200F) ||
         (u >= 0x2028 && u <= 0x202E) || (u >= 0x2060 && u <= 0x2069) ||
         u == 0xFEFF;
}

} // namespace

size_t printable(char *out, size_t size, const char *in) {
  static const char hex[] = "0123456789abcdef";
  size_t k = 0;
  auto put = [&](const char *s, size_t n) {
    if (k + n < size) memcpy(out + k, s, n), k += n;
  };
  for (const auto *p = reinterpret_cast<const unsigned char *>(in); *p;) {
    unsigned b = p[0];
    // The length of a well-formed UTF-8 sequence starting here, or 0.
    size_t len = b < 0x80                 ? 1
                 : b >= 0xC2 && b <= 0xDF ? 2
                 : b >= 0xE0 && b <= 0xEF ? 3
                 : b >= 0xF0 && b <= 0xF4 ? 4
                                          : 0;
    for (size_t i = 1; i < len; i++)
      if ((p[i] & 0xC0) != 0x80) len = 0;
    if (len == 3 && ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] >= 0xA0)))
      len = 0; // overlong, or a surrogate
    if (len == 4 && ((b == 0xF0 && p[1] < 0x90) || (b == 0xF4 && p[1] >= 0x90)))
      len = 0;
    uint32_t u = len == 2 ? (b & 0x1F) << 6 | (p[1] & 0x3F)
                 : len == 3
                     ? (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)
                     : 0;
    char e[8];
    if (len == 1 && (b < 0x20 || b == 0x7F)) {
      e[0] = '\\';
      e[1] = b == '\n' ? 'n' : b == '\t' ? 't' : b == '\r' ? 'r' : 'x';
      e[2] = hex[b >> 4], e[3] = hex[b & 15];
      put(e, e[1] == 'x' ? 4 : 2);
    } else if (len == 2 && b == 0xC2 && p[1] < 0xA0) { // C1 controls
      memcpy(e, "\\u00", 4);
      e[4] = hex[p[1] >> 4], e[5] = hex[p[1] & 15];
      put(e, 6);
    } else if (reorders(u)) {
      e[0] = '\\', e[1] = 'u';
      for (int d = 0; d < 4; d++) e[2 + d] = hex[u >> (12 - 4 * d) & 15];
      put(e, 6);
    } else if (!len) {
      e[0] = '\\', e[1] = 'x', e[2] = hex[b >> 4], e[3] = hex[b & 15];
      put(e, 4);
      len = 1;
    } else {
      put(reinterpret_cast<const char *>(p), len);
    }
    p += len;
  }
  if (size) out[k] = '\0';
  return k;
}

void say(const char *fmt, ...) {
  char text[512], line[1024] = "dosvfont: ";
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(text, sizeof text, fmt, ap);
  va_end(ap);
  printable(line + 10, sizeof line - 10, text);
  serrline(line);
}
