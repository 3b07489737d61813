// Proof sheets as a PNG reader sees them: libpng decodes each, and each
// glyph's bitmap is found at its place on the grid.
#include <gtest/gtest.h>

#include "conv.h"

namespace {

bool decode(const std::string &data, picture *p) {
  return decodepng(data, p);
}

// The sheet of a FONTX2 font: the grid begins where the top row turns to
// grid lines, and every glyph of its first row lies in its cell.
TEST(sheet, fonts) {
  std::vector<std::pair<std::string, std::string>> fonts = {
      {"the sample font", slurp(DOSV2BDF_SAMPLE)},
      {"5x7", header("S5", 5, 7, 0) + noise(256 * 7, 3)}};
  for (const auto &f : realfonts()) fonts.push_back({f.name, f.font});
  for (const auto &f : fonts) {
    SCOPED_TRACE(f.first);
    int w = static_cast<unsigned char>(f.second[14]);
    int h = static_cast<unsigned char>(f.second[15]);
    bool wide = f.second[16] == 1;
    int cols = wide ? 32 : 16, cw = 3 * w, ch = 3 * h;
    std::vector<unsigned> codes = fxcodes(f.second);
    // A double-byte font's sheet shows only the first row's codes, those
    // from the first code's multiple of 32.
    unsigned base = codes[0] & ~static_cast<unsigned>(cols - 1);
    char range[16];
    snprintf(range, sizeof range, "%X-%X", base, base + 31);
    std::vector<std::string> args = {"-f", "png", "--scale", "3"};
    if (wide) args.insert(args.end(), {"--range", range});
    proc p = run(DOSVFONT_PROGRAM, args, f.second);
    ASSERT_EQ(p.status, 0) << p.err;
    picture pic;
    ASSERT_TRUE(decode(p.out, &pic));
    int x0 = 0; // where the grid begins, right of the labels
    while (x0 < pic.width && pic.at(x0, 0) != 0x60) x0++;
    EXPECT_EQ(pic.width, x0 + cols * (cw + 1) + 1);
    EXPECT_EQ(pic.height, (wide ? 1 : 16) * (ch + 1) + 1);
    for (size_t i = 0; i < codes.size() && codes[i] < base + cols; i++) {
      std::string g = fxglyph(f.second, i);
      int cx = x0 + 1 + static_cast<int>(codes[i] - base) * (cw + 1);
      for (int y = 0; y < ch; y++)
        for (int x = 0; x < cw; x++) {
          int gx = x / 3, gy = y / 3;
          bool ink =
              static_cast<unsigned char>(g[gy * ((w + 7) / 8) + gx / 8]) >>
                  (7 - gx % 8) &
              1;
          ASSERT_EQ(pic.at(cx + x, 1 + y), ink ? 0x00 : 0xFF)
              << std::hex << "code " << codes[i] << std::dec << " at " << x
              << "," << y;
        }
    }
  }
}

} // namespace
