// libFuzzer target: arbitrary bytes, BDF text and TrueType above all,
// through FreeType (bitmaps, and outlines rendered), our re-coding and
// placement, and the FONTX2 writer, in process. Whatever
// is written must read back as a FONTX2 file whose layout adds up.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dosvfont/pipeline.h"
#include "fontx/fontxset.h"
#include "fuzz.h"
#include "io/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // What the fonts announce is held to what they hold by the program's own
  // guard, and outline glyphs are drawn only where they can land in a cell:
  // no input is too large to try. Bitmap fonts at their strike in each
  // kind, outline fonts rendered at two small sizes.
  const struct {
    int kind, size;
  } runs[] = {{ANYKIND, 0},
              {SINGLEBYTE, 0},
              {DOUBLEBYTE, 0},
              {ANYKIND, 7},
              {DOUBLEBYTE, 12}};
  for (const auto &r : runs) {
    int kind = r.kind;
    std::string out;
    options o = {};
    o.format = FMTFONTX2;
    o.kind = kind;
    o.size = r.size;
    int status = fuzzrun(o, data, size, &out);
    if (status) {
      check(out.empty(), "output from a failed run");
      continue;
    }
    glyphset gs;
    fontxfacts facts;
    const auto *fnt = reinterpret_cast<const unsigned char *>(out.data());
    check(fontxload(fnt, out.size(), &gs, &facts) == 0, "not FONTX2");
    check(!facts.truncated && !facts.trailing && !facts.repaired,
          "the file's length is not its layout's");
    check(gs.width >= 1 && gs.height >= 1 && gs.glyphs > 0, "cell or glyphs");
    check(kind < 0 || gs.kind == kind, "kind");
    check(gs.nblocks <= 255, "more than 255 blocks");
    for (int i = 0; i < gs.nblocks; i++) {
      check(gs.blocks[i].start <= gs.blocks[i].end, "an empty block");
      check(!i || gs.blocks[i].start > gs.blocks[i - 1].end + 1,
            "blocks out of order or not maximal");
    }
    // Row padding bits are 0.
    size_t rb = (gs.width + 7) / 8;
    unsigned char pad = static_cast<unsigned char>(0xFF >> (gs.width % 8));
    if (gs.width % 8)
      for (size_t r = rb - 1; r < gs.glyphs * gs.glyphbytes; r += rb)
        check(!(gs.bits[r] & pad), "padding bits set");
    gsfree(&gs);
  }
  return 0;
}
