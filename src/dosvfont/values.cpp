// The values of dosvfont's options, read strictly: words from a list,
// whole numbers with nothing around them, ranges, screens and colours.
#include "dosvfont/values.h"

#include <cctype>
#include <cstring>
#include <strings.h>
#include <vector>

#include "display/rules.h"
#include "dosvfont/say.h"

// The index of value among words, or -1 after saying it is none of them.
int wordof(const char *opt, const char *value, const char *const *words) {
  for (int i = 0; words[i]; i++)
    if (!strcasecmp(value, words[i])) return i;
  say("%s: unknown value '%s' (see --help)", opt, value);
  return -1;
}

// A number written in digits of the base and nothing else (no sign, no
// space, no prefix), at most max; -1 otherwise.
long number(const char *s, const char *e, int base, long max) {
  long v = 0;
  if (s == e) return -1;
  for (; s < e; s++) {
    int d = isdigit(static_cast<unsigned char>(*s)) ? *s - '0'
            : base == 16 && isxdigit(static_cast<unsigned char>(*s))
                ? (tolower(static_cast<unsigned char>(*s)) - 'a' + 10)
                : -1;
    if (d < 0 || (v = v * base + d) > max) return -1;
  }
  return v;
}

// A whole number of pixels from 1 to max (255, the range of a FONTX2 cell).
// -1 after saying why not.
int pixels(const char *opt, const char *value, int max) {
  long v = number(value, value + strlen(value), 10, max);
  if (v >= 1) return static_cast<int>(v);
  say("%s: '%s' is not a number from 1 to %d", opt, value, max);
  return -1;
}

bool rangeof(const char *s, unsigned *first, unsigned *last) {
  const char *dash = strchr(s, '-');
  long a = dash ? number(s, dash, 16, 0xFFFF) : -1;
  long b = dash ? number(dash + 1, dash + strlen(dash), 16, 0xFFFF) : -1;
  if (a < 0 || b < a) return false;
  *first = static_cast<unsigned>(a), *last = static_cast<unsigned>(b);
  return true;
}

bool screenof(const char *s, int *w, int *h) {
  const char *x = strchr(s, 'x');
  long a = x ? number(s, x, 10, 4096) : -1;
  long b = x ? number(x + 1, x + strlen(x), 10, 4096) : -1;
  if (a < 1 || b < 1) return false;
  *w = static_cast<int>(a), *h = static_cast<int>(b);
  return true;
}

// Two colours "RRGGBB,RRGGBB" (a # before each allowed) into fg and bg.
bool colors(const char *s, unsigned char *fg, unsigned char *bg) {
  unsigned char *out[2] = {fg, bg};
  for (int c = 0; c < 2; c++) {
    if (*s == '#') s++;
    for (int k = 0; k < 3; k++, s += 2) {
      long v = isxdigit(static_cast<unsigned char>(s[0])) &&
                       isxdigit(static_cast<unsigned char>(s[1]))
                   ? number(s, s + 2, 16, 255)
                   : -1;
      if (v < 0) return false;
      out[c][k] = static_cast<unsigned char>(v);
    }
    if (*s++ != (c ? '\0' : ',')) return false;
  }
  return true;
}

// --target list: each reader and its rules.
std::string targetlist() {
  std::string text;
  for (const target *t = targets; t->name; t++) {
    std::vector<factline> facts;
    describetarget(t, &facts);
    for (const auto &f : facts)
      text += std::string(f.key) + ": " + f.text + "\n";
    if (t[1].name) text += "\n";
  }
  return text;
}
