// The fast glyph records against the plainest possible writer: printf, a
// byte at a time. Every cell width and height 1-64, and the real fonts.
#include <gtest/gtest.h>

#include <cstdio>

#include "codes/sjis.h"
#include "conv.h"
#include "writers/bdf.h"

namespace {

// The records and the end of the font, as a byte-at-a-time writer makes
// them from a complete font.
std::string plain(const std::string &font) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(font[i]); };
  int w = byte(14), h = byte(15);
  size_t at = 17, rb = (w + 7) / 8;
  std::vector<std::pair<int32_t, int32_t>> codes; // name, encoding
  if (byte(16) == 1) {
    size_t n = byte(at++);
    for (size_t i = 0; i < n; i++, at += 4) {
      unsigned start = byte(at) | byte(at + 1) << 8;
      unsigned end = byte(at + 2) | byte(at + 3) << 8;
      for (unsigned c = start; c <= end; c++) {
        // A code that is no Shift_JIS code is named by itself, unencoded.
        int32_t j = stoj(static_cast<uint16_t>(c));
        bool sjis = issjis(static_cast<uint16_t>(c));
        codes.push_back({sjis ? j : static_cast<int32_t>(c), sjis ? j : -1});
      }
    }
  } else {
    for (int c = 0; c < 256; c++) codes.push_back({c, c});
  }
  std::string out = "CHARS " + std::to_string(codes.size()) + "\n";
  char line[128];
  for (const auto &c : codes) {
    snprintf(line, sizeof line,
             "STARTCHAR %04x\nENCODING %d\nSWIDTH %d 0\nDWIDTH %d 0\n"
             "BBX %d %d 0 -2\nBITMAP\n",
             static_cast<unsigned>(c.first), c.second, swidth(w, h), w, w, h);
    out += line;
    for (int r = 0; r < h; r++) {
      for (size_t k = 0; k < rb; k++, at++) {
        snprintf(line, sizeof line, "%02x", byte(at));
        out += line;
      }
      out += "\n";
    }
    out += "ENDCHAR\n";
  }
  return out + "ENDFONT\n";
}

std::string records(const std::string &bdf) {
  return bdf.substr(bdf.find("\nCHARS ") + 1);
}

TEST(differential, everycell) {
  std::vector<block> blocks = {{0x8140, 0x8142}, {0x817E, 0x8180}};
  for (int w = 1; w <= 64; w++)
    for (int h = 1; h <= 64; h++) {
      size_t n = static_cast<size_t>(glyphs(blocks)) * ((w + 7) / 8) * h;
      std::string font = header("D", w, h, 1) + table(blocks) +
                         noise(n, static_cast<uint32_t>(w * 64 + h));
      result r = conv(font);
      ASSERT_EQ(r.status, 0);
      ASSERT_EQ(records(r.out), plain(font)) << w << "x" << h;
    }
}

TEST(differential, realfonts) {
  if (fontsdir().empty()) GTEST_SKIP() << nofonts();
  for (const auto &f : realfonts()) {
    result r = conv(f.font);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(records(r.out), plain(f.font)) << f.name;
  }
}

} // namespace
