// Texts named on the command line, read whole and checked as UTF-8.
#include "dosvfont/text.h"

#include <cerrno>
#include <cstring>

#include "dosvfont/say.h"

namespace {

int load(const char *path, inbuf *t) {
  const char *label = path ? path : "standard input";
  int err = loadfile(path, t, MAXTEXT);
  if (err == EFBIG) {
    say("%s: text larger than %zu MiB", label, size_t{MAXTEXT} >> 20);
    return 1;
  }
  if (err) {
    say("cannot read %s: %s", label, strerror(err));
    return 1;
  }
  return 0;
}

} // namespace

int readtext(const char *path, std::vector<uint32_t> *chars, size_t *bytes) {
  inbuf t;
  if (load(path, &t)) return 1;
  *bytes = t.n;
  int st = textof(t.data, t.n, path ? path : "standard input", chars, 1);
  unloadfile(&t);
  return st;
}

int readshown(const char *path, inbuf *t) {
  std::vector<uint32_t> chars;
  if (load(path, t)) return 1;
  return textof(t->data, t->n, path ? path : "standard input", &chars, 0);
}
