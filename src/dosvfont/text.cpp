// Texts named on the command line, read whole and checked as UTF-8.
#include "dosvfont/text.h"

#include <cstring>

#include "codes/codes.h"
#include "dosvfont/options.h"
#include "dosvfont/say.h"
#include "io/files.h"

int readtext(const char *path, std::vector<uint32_t> *chars) {
  const char *label = path ? path : "standard input";
  inbuf t;
  if (int err = loadfile(path, &t, MAXINPUT)) {
    say("cannot read %s: %s", label, strerror(err));
    return 1;
  }
  size_t bad = utf8chars(t.data, t.n, chars);
  unloadfile(&t);
  if (bad) {
    say("%s: not UTF-8 text (byte %zu)", label, bad - 1);
    return 1;
  }
  return 0;
}
