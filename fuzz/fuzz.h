// What the fuzz targets share: collecting output, checking an invariant,
// reading text a line at a time, and a whole dosvfont run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dosvfont/pipeline.h"
#include "io/stream.h"

// A sink for the streams: appends to the std::string at ctx.
inline void append(void *ctx, const char *data, size_t n) {
  static_cast<std::string *>(ctx)->append(data, n);
}

// An invariant that must hold for every input.
inline void check(bool ok, const char *why) {
  if (ok) return;
  fprintf(stderr, "invariant broken: %s\n", why);
  abort();
}

struct lines {
  const std::string &text;
  size_t pos = 0;
  explicit lines(const std::string &t) : text(t) {}
  // The next line without its line feed; false when none is left.
  bool next(std::string *line) {
    size_t e = text.find('\n', pos);
    if (e == std::string::npos) return false;
    line->assign(text, pos, e - pos);
    pos = e + 1;
    return true;
  }
};

// dosvfont's whole run in process on data as o says, its output collected
// in out. Checks what every run keeps to: a status of 0-2, a few lines on
// standard error, each the program's, a failure's last line its reason.
inline int fuzzrun(options o, const uint8_t *data, size_t size,
                   std::string *out) {
  std::string errors, line, last;
  o.label = "fuzz";
  o.outlabel = "out";
  soutsink(&output, append, out);
  serrsink(append, &errors);
  int status = runfont(&o, data, size);
  serrsink(nullptr, nullptr);
  check(status >= 0 && status <= 2, "status");
  check(errors.size() < 4096, "a flood of messages");
  for (lines in(errors); in.next(&line); last = line)
    check(line.compare(0, 10, "dosvfont: ") == 0, "a message not ours");
  check(!status || (!last.empty() && last.find(": warning: ") > 8),
        "a failure without its reason");
  return status;
}
