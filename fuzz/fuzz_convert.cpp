// libFuzzer target: runs the real conversion in-process on the fuzz input
// and checks what must hold for every input, not only that nothing crashes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dosv2bdf/driver.h"
#include "fuzz.h"
#include "io/stream.h"

namespace {

// What the input announces, read here independently of the reader: a byte
// past the end is 0xFF.
struct plan {
  int width, height;
  long glyphs;
  size_t need; // bytes a complete font takes
};

plan announce(const uint8_t *d, size_t n) {
  auto at = [&](size_t i) -> unsigned { return i < n ? d[i] : 0xFF; };
  plan p;
  p.width = static_cast<int>(at(14));
  p.height = static_cast<int>(at(15));
  size_t rb = (p.width + 7) / 8, table = 0;
  if (at(16) == 1) {
    unsigned count = at(17);
    table = 1 + 4 * count;
    p.glyphs = 0;
    for (unsigned i = 0; i < count; i++) {
      size_t e = 18 + 4 * i;
      long start = at(e) | at(e + 1) << 8, end = at(e + 2) | at(e + 3) << 8;
      if (end >= start) p.glyphs += end - start + 1;
    }
  } else {
    p.glyphs = 256;
  }
  p.need = 17 + table + p.glyphs * rb * p.height;
  return p;
}

// Checks the whole text line by line.
void checktext(const std::string &out, const plan &p) {
  check(out.compare(0, 14, "STARTFONT 2.1\n") == 0, "first line");
  check(out.size() >= 8 && out.compare(out.size() - 8, 8, "ENDFONT\n") == 0,
        "last line");
  for (unsigned char c : out)
    check(c == '\n' || (c >= 0x20 && c != 0x7F), "control byte in a line");

  size_t digits = 2 * ((p.width + 7) / 8);
  long chars = -1, records = 0;
  lines in(out);
  auto next = [&](std::string *line) { return in.next(line); };
  std::string l;
  while (next(&l)) {
    if (l.compare(0, 6, "CHARS ") == 0) {
      check(chars < 0, "two CHARS lines");
      chars = strtol(l.c_str() + 6, nullptr, 10);
    } else if (l.compare(0, 10, "STARTCHAR ") == 0) {
      records++;
      uint32_t name =
          static_cast<uint32_t>(strtoul(l.c_str() + 10, nullptr, 16));
      check(next(&l) && l.compare(0, 9, "ENCODING ") == 0, "ENCODING line");
      long enc = strtol(l.c_str() + 9, nullptr, 10);
      check(enc == -1 || enc == static_cast<int32_t>(name),
            "ENCODING neither -1 nor the name's code");
      for (int i = 0; i < 4; i++) check(next(&l), "record lines");
      check(l == "BITMAP", "BITMAP line");
      for (int r = 0; r < p.height; r++) {
        check(next(&l) && l.size() == digits, "bitmap row length");
        check(l.find_first_not_of("0123456789abcdef") == std::string::npos,
              "bitmap row digits");
      }
      check(next(&l) && l == "ENDCHAR", "ENDCHAR after the rows");
    }
  }
  check(chars == records, "CHARS is not the number of records");
  check(records == p.glyphs, "records are not the glyphs announced");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  bool fontx2 = size >= 6 && memcmp(data, "FONTX2", 6) == 0;
  plan p = announce(data, size);
  if (fontx2) {
    // Keep runs short: a few bytes can announce gigabytes of text.
    size_t record = 100 + p.height * (2 * ((p.width + 7) / 8) + 1);
    if (p.glyphs > 20000 || p.glyphs * record > (1u << 18)) return -1;
  }

  std::string out;
  char msg[256] = "";
  sinmem(&input, data, size);
  soutsink(&output, append, &out);
  int status = runfilter(msg, sizeof msg);

  if (!fontx2) {
    check(status == 1 && out.empty(), "not FONTX2 yet output or status 0");
    check(strcmp(msg, "not in FONTX2 format") == 0, "not-FONTX2 message");
    return 0;
  }
  if (!p.width || !p.height) {
    check(status == 1 && out.empty(), "an empty cell written");
    check(strstr(msg, " is outside 1-255") != nullptr, "empty-cell message");
    return 0;
  }
  bool early = size < p.need;
  check(status == (early ? 1 : 0), "status is not 1 exactly when cut short");
  if (early) check(strcmp(msg, "unexpected end of input") == 0, "message");
  checktext(out, p);
  return 0;
}
