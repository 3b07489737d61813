// The texts a run is given (--text, --show) checked as the program and the
// page both take them: at most MAXTEXT bytes, UTF-8.
#include "dosvfont/texts.h"

#include "codes/codes.h"
#include "dosvfont/say.h"

int textof(const unsigned char *data, size_t n, const char *label,
           std::vector<uint32_t> *chars, int distinct) {
  if (n > MAXTEXT) {
    say("%s: text larger than %zu MiB", label, size_t{MAXTEXT} >> 20);
    return 1;
  }
  size_t bad =
      distinct ? utf8chars(data, n, chars) : utf8decode(data, n, chars);
  if (bad) {
    say("%s: not UTF-8 text (byte %zu)", label, bad - 1);
    return 1;
  }
  return 0;
}
