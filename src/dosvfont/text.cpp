// Texts named on the command line, read whole and checked as UTF-8.
#include "dosvfont/text.h"

#include <cerrno>
#include <cstring>

#include "codes/codes.h"
#include "dosvfont/options.h"
#include "dosvfont/say.h"
#include "io/files.h"

int readtext(const char *path, std::vector<uint32_t> *chars, size_t *bytes) {
  const char *label = path ? path : "standard input";
  inbuf t;
  int err = loadfile(path, &t, MAXTEXT);
  if (err == EFBIG) {
    say("%s: text larger than %zu MiB", label, size_t{MAXTEXT} >> 20);
    return 1;
  }
  if (err) {
    say("cannot read %s: %s", label, strerror(err));
    return 1;
  }
  *bytes = t.n;
  size_t bad = utf8chars(t.data, t.n, chars);
  unloadfile(&t);
  if (bad) {
    say("%s: not UTF-8 text (byte %zu)", label, bad - 1);
    return 1;
  }
  return 0;
}
