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

// A few bytes can announce gigabytes: a FONTX2 header, or a BDF font's
// CHARS and bounding boxes. True when data announces more glyphs, or more
// bitmap bytes, than a fuzzer should spend its time on.
inline bool announcesbig(const uint8_t *data, size_t size) {
  const char *p = reinterpret_cast<const char *>(data), *e = p + size;
  if (size >= 17 && !memcmp(p, "FONTX2", 6)) {
    size_t w = data[14], h = data[15], glyphs = 256;
    if (data[16] == 1) {
      glyphs = 0;
      for (size_t i = 0, nb = size > 17 ? data[17] : 0; i < nb; i++) {
        auto at = [&](size_t k) -> size_t { return k < size ? data[k] : 0xFF; };
        size_t a = at(18 + 4 * i) | at(19 + 4 * i) << 8;
        size_t b = at(20 + 4 * i) | at(21 + 4 * i) << 8;
        glyphs += b >= a ? b - a + 1 : 0;
      }
    }
    size_t record = 100 + h * (2 * ((w + 7) / 8) + 1);
    return glyphs > 20000 || glyphs * record > (1u << 18);
  }
  // The largest number after each keyword, wherever it stands.
  auto most = [&](const char *key) {
    size_t k = strlen(key), best = 0;
    for (const char *q = p; (q = static_cast<const char *>(memmem(
                                 q, static_cast<size_t>(e - q), key, k)));
         q += k) {
      const char *d = q + k;
      for (int field = 0; field < 2; field++) {
        while (d < e && (*d == ' ' || *d == '\t')) d++;
        size_t v = 0;
        for (; d < e && *d >= '0' && *d <= '9' && v < (1u << 24); d++)
          v = v * 10 + static_cast<size_t>(*d - '0');
        best = v > best ? v : best;
      }
    }
    return best;
  };
  size_t chars = most("CHARS"), side = most("BBX");
  side = std::max(side, most("FONTBOUNDINGBOX"));
  return chars > 20000 || side > 512 || chars * side * side / 8 > (1u << 20);
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
