// libFuzzer target: a text drawn with arbitrary fonts on a small screen,
// plainly or as each display reader draws it (their text conversions,
// row reading and pen rules), in process. The input: a byte choosing the
// reader and the screen, two bytes of the text's length, the text, then
// one or two FONTX2 fonts (the second after the first's announced end).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "codes/codes.h"
#include "display/targets.h"
#include "dosvfont/run.h"
#include "fontx/fontx.h"
#include "fuzz.h"
#include "io/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 3) return 0;
  options o = options();
  o.kind = ANYKIND;
  o.last = 0xFFFF;
  o.show = 1;
  o.given = GAVESHOW;
  o.format = FMTPNG;
  // No reader, or any of them.
  int readers = 0;
  while (targets[readers].name) readers++;
  int pick = data[0] % (readers + 1);
  if (pick) o.reader = &targets[pick - 1], o.given |= GAVETARGET;
  o.screenw = 1 + (data[0] >> 3) * 8, o.screenh = 1 + (data[0] >> 5) * 16;
  o.fg[0] = o.fg[1] = o.fg[2] = 0xFF;
  size_t n = static_cast<size_t>(data[1] | data[2] << 8);
  data += 3, size -= 3;
  n = n < size ? n : size;
  // The program takes UTF-8 text only: the bytes up to the first that is
  // not.
  std::vector<uint32_t> chars;
  size_t bad = utf8decode(data, n, &chars);
  o.showtext = data, o.showbytes = bad ? bad - 1 : n, o.showlabel = "text";
  data += n, size -= n;
  // A second font where the first's bytes end as its header says.
  fontinput fonts[2] = {{data, size, nullptr, "a"}, {nullptr, 0, nullptr, "b"}};
  int count = 1;
  if (size > 17 && !memcmp(data, "FONTX2", 6)) {
    size_t w = data[14], h = data[15], gb = (w + 7) / 8 * h, end = 17;
    if (data[16] == 1 && size > 18) {
      end = 18 + 4 * size_t{data[17]};
      for (size_t b = 0; b < data[17] && 18 + 4 * b + 3 < size; b++) {
        size_t s = data[18 + 4 * b] | data[19 + 4 * b] << 8,
               e = data[20 + 4 * b] | data[21 + 4 * b] << 8;
        end += e >= s ? (e - s + 1) * gb : 0;
      }
    } else {
      end += 256 * gb;
    }
    if (end + 17 < size) {
      fonts[0].n = end;
      fonts[1] = {data + end, size - end, nullptr, "b"};
      count = 2;
    }
  }
  o.nfonts = count;
  o.label = "a", o.outlabel = "out";
  std::string out, errors, line, last;
  soutsink(&output, append, &out);
  serrsink(append, &errors);
  int status = runinputs(&o, fonts, count, nullptr);
  sflush(&output);
  serrsink(nullptr, nullptr);
  check(status >= 0 && status <= 2, "status");
  check(errors.size() < 4096, "a flood of messages");
  for (lines in(errors); in.next(&line); last = line)
    check(line.compare(0, 10, "dosvfont: ") == 0, "a message not ours");
  check(!status || !last.empty(), "a failure without its reason");
  if (!status) {
    // A PNG of the screen's size.
    check(out.size() > 24 && !out.compare(1, 3, "PNG"), "not a PNG");
    auto be = [&](size_t k) {
      return static_cast<unsigned>(static_cast<unsigned char>(out[k])) << 24 |
             static_cast<unsigned char>(out[k + 1]) << 16 |
             static_cast<unsigned char>(out[k + 2]) << 8 |
             static_cast<unsigned char>(out[k + 3]);
    };
    check(be(16) == static_cast<unsigned>(o.screenw) &&
              be(20) == static_cast<unsigned>(o.screenh),
          "a picture of another size than the screen");
  }
  return 0;
}
