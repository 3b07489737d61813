// libFuzzer target: arbitrary bytes through dosvfont's FONTX2 reading (the
// code-set guess, the block-count repair), both BDF numberings and the
// proof sheet, in process, checking what must hold for every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "dosvfont/pipeline.h"
#include "fontx/fontxset.h"
#include "fuzz.h"
#include "io/stream.h"
#include "writers/bdfset.h"

namespace {

// The text is a BDF font of glyphs records of the cell: CHARS says how
// many; in the Unicode numbering every name is unique and no code point is
// claimed twice.
void checkbdf(const std::string &out, const glyphset &gs, size_t glyphs,
              bool unicode) {
  check(out.compare(0, 14, "STARTFONT 2.1\n") == 0, "first line");
  check(out.size() >= 8 && out.compare(out.size() - 8, 8, "ENDFONT\n") == 0,
        "last line");
  size_t digits = 2 * ((gs.width + 7) / 8);
  long chars = -1, records = 0;
  std::set<std::string> names;
  std::set<long> codes;
  lines in(out);
  auto next = [&](std::string *line) { return in.next(line); };
  std::string l;
  while (next(&l)) {
    for (unsigned char c : l) check(c >= 0x20 && c != 0x7F, "control byte");
    if (l.compare(0, 6, "CHARS ") == 0) {
      chars = strtol(l.c_str() + 6, nullptr, 10);
    } else if (l.compare(0, 10, "STARTCHAR ") == 0) {
      records++;
      check(!unicode || names.insert(l).second, "a name used twice");
      check(next(&l) && l.compare(0, 9, "ENCODING ") == 0, "ENCODING");
      long enc = strtol(l.c_str() + 9, nullptr, 10);
      check(!unicode || enc == -1 || codes.insert(enc).second,
            "a code point claimed twice");
      check(!unicode || enc == -1 ||
                (enc > 0x1F && (enc < 0xD800 || enc > 0xDFFF)),
            "a control or surrogate encoded");
      for (int i = 0; i < 4; i++) check(next(&l), "record lines");
      check(l == "BITMAP", "BITMAP");
      for (int r = 0; r < gs.height; r++)
        check(next(&l) && l.size() == digits &&
                  l.find_first_not_of("0123456789abcdef") == std::string::npos,
              "bitmap row");
      check(next(&l) && l == "ENDCHAR", "ENDCHAR");
    }
  }
  check(chars == records && static_cast<size_t>(records) == glyphs,
        "CHARS, the records and the glyphs written differ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  glyphset gs;
  fontxfacts facts;
  int r = fontxload(data, size, &gs, &facts);
  size_t record = 100 + gs.height * (2 * ((gs.width + 7) / 8) + 1);
  bool big = gs.glyphs > 20000 || gs.glyphs * record > (1u << 18);
  gsfree(&gs);
  // Other fonts go to FreeType: another target's work. And a few bytes can
  // announce gigabytes.
  if (r || big) return -1;

  for (int numbering : {NUMUNICODE, NUMNATIVE}) {
    std::string out;
    options o = {};
    o.format = FMTBDF;
    o.numbering = numbering;
    o.salvage = numbering == NUMNATIVE; // a truncated font refused, or written
    // Native numbering of a double-byte font read as Shift_JIS: the guess
    // may name a set X11 has no registry for, which is refused.
    if (numbering == NUMNATIVE && size > 16 && data[16] == 1) o.codes = "sjis";
    int status = fuzzrun(o, data, size, &out);
    fontxload(data, size, &gs, &facts);
    bool cell = gs.width && gs.height && gs.glyphs;
    check(status == (!cell || facts.truncated ? 1 : 0), "status");
    // A header cut short would have its cell made up: nothing is
    // written, salvage or not.
    // Salvage writes the glyphs the file holds a byte of: a double-byte
    // font's announced past its end are left out.
    size_t held = gs.kind && facts.truncated ? gs.whole + (gs.partial ? 1 : 0)
                                             : gs.glyphs;
    if ((facts.truncated && !o.salvage) || facts.header < 17 || !held)
      check(out.empty(), "output from a truncated font");
    else if (cell)
      checkbdf(out, gs, held, numbering == NUMUNICODE);
    gsfree(&gs);
  }
  // The proof sheet of whatever the input holds.
  std::string png;
  options o = {};
  o.format = FMTPNG;
  o.scale = 1;
  o.last = 0xFFFF;
  if (fuzzrun(o, data, size, &png) == 0)
    check(png.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0, "not a PNG");
  return 0;
}
