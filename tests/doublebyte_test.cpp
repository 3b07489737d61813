// Whole double-byte conversions, in-process, of fonts built here.
#include <gtest/gtest.h>

#include <set>

#include "conv.h"

namespace {

std::string dbfont(int w, int h, const std::vector<block> &blocks) {
  return header("KANJI16", w, h, 1) + table(blocks);
}

std::string line(const std::string &out, const std::string &key) {
  size_t at = out.find("\n" + key + " ");
  if (at == std::string::npos) return "";
  at += key.size() + 2;
  return out.substr(at, out.find('\n', at) - at);
}

struct want {
  std::string name;
  long enc;
};

TEST(doublebyte, blocks) {
  const struct {
    const char *what;
    std::vector<block> blocks;
    long defchar;
    std::vector<want> first;                 // the first records
    std::vector<std::pair<size_t, want>> at; // records at given positions
    long chars;
  } cases[] = {
      {"one row of symbols",
       {{0x8140, 0x817E}},
       8481,
       {{"2121", 8481}, {"2122", 8482}},
       {{62, {"215f", 0x215F}}},
       63},
      {"two blocks in table order",
       {{0x889F, 0x88FC}, {0x8940, 0x897E}},
       12321,
       {{"3021", 12321}},
       {{93, {"307e", 0x307E}}, {94, {"3121", 0x3121}}},
       157},
      {"unsorted table",
       {{0x8940, 0x897E}, {0x889F, 0x88FC}},
       12577,
       {{"3121", 12577}},
       {{63, {"3021", 12321}}},
       157},
      {"across a lead byte",
       {{0x88FC, 0x8940}},
       12414,
       {{"307e", 12414}},
       {{1, {"88fd", -1}}, {4, {"8900", -1}}, {68, {"3121", 12577}}},
       69},
      {"trail 0x7F unencoded",
       {{0x817E, 0x8180}},
       8543,
       {{"215f", 8543}, {"817f", -1}, {"2160", 8544}},
       {},
       3},
      // Codes that are not Shift_JIS keep their own name, and the default
      // glyph is the first that is, or none.
      {"ends at 0xFFFF",
       {{0xFFFE, 0xFFFF}},
       0,
       {{"fffe", -1}, {"ffff", -1}},
       {},
       2},
      {"end below start",
       {{0x8150, 0x8140}, {0x8140, 0x8141}},
       0x2131,
       {{"2121", 8481}, {"2122", 8482}},
       {},
       2},
      {"overlap repeats",
       {{0x8140, 0x8141}, {0x8141, 0x8141}},
       8481,
       {{"2121", 8481}, {"2122", 8482}, {"2122", 8482}},
       {},
       3},
      {"not Shift_JIS at all", {{0x0041, 0x0041}}, 0, {{"0041", -1}}, {}, 1},
      {"a block of code 0", {{0x0000, 0x0000}}, 0, {{"0000", -1}}, {}, 1},
      {"the default glyph after a block of none",
       {{0x0000, 0x0001}, {0x8140, 0x8140}},
       8481,
       {{"0000", -1}, {"0001", -1}, {"2121", 8481}},
       {},
       3},
      {"user area encoded",
       {{0xF040, 0xF040}},
       0x7F21,
       {{"7f21", 0x7F21}},
       {},
       1},
      {"no blocks", {}, 0, {}, {}, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    long n = glyphs(c.blocks);
    std::string bitmap = noise(n * 32, static_cast<uint32_t>(n));
    result r = conv(dbfont(16, 16, c.blocks) + bitmap);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.msg, "");
    EXPECT_EQ(line(r.out, "DEFAULT_CHAR"), std::to_string(c.defchar));
    EXPECT_EQ(line(r.out, "CHARSET_REGISTRY"), "\"JISX0208.1983\"");
    bdffont f;
    ASSERT_EQ(parsebdf(r.out, 16, 16, &f), "");
    EXPECT_EQ(f.chars, c.chars);
    ASSERT_EQ(static_cast<long>(f.glyphs.size()), c.chars);
    for (size_t i = 0; i < c.first.size(); i++) {
      EXPECT_EQ(f.glyphs[i].name, c.first[i].name) << i;
      EXPECT_EQ(f.glyphs[i].enc, c.first[i].enc) << i;
    }
    for (const auto &a : c.at) {
      EXPECT_EQ(f.glyphs[a.first].name, a.second.name) << a.first;
      EXPECT_EQ(f.glyphs[a.first].enc, a.second.enc) << a.first;
    }
    // The bitmaps follow the file, glyph after glyph.
    for (size_t g = 0; g < f.glyphs.size(); g++)
      for (int row = 0; row < 16; row++)
        ASSERT_EQ(f.glyphs[g].rows[row],
                  hex(bitmap.substr(g * 32 + row * 2, 2)));
  }
}

TEST(doublebyte, truncated) {
  // Ends right after the header: 255 blocks of 0xFFFF-0xFFFF.
  result r = conv(header("K", 16, 16, 1));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.msg, "unexpected end of input");
  bdffont f;
  ASSERT_EQ(parsebdf(r.out, 16, 16, &f), "");
  // 0xFFFF is no Shift_JIS code: no default glyph, each named by its code.
  EXPECT_EQ(line(r.out, "DEFAULT_CHAR"), "0");
  EXPECT_EQ(f.chars, 255);
  ASSERT_EQ(f.glyphs.size(), 255u);
  for (const auto &g : f.glyphs) {
    EXPECT_EQ(g.name, "ffff");
    EXPECT_EQ(g.enc, -1);
    EXPECT_EQ(g.rows[15], "ffff");
  }

  // Cut at every point of a small font: always complete, always reported.
  std::string font =
      dbfont(12, 3, {{0x8140, 0x8142}, {0x889F, 0x88A0}}) + noise(5 * 6);
  for (size_t n = 17; n < font.size(); n++) {
    SCOPED_TRACE("cut at " + std::to_string(n));
    result t = conv(font.substr(0, n));
    EXPECT_EQ(t.status, 1);
    EXPECT_EQ(t.msg, "unexpected end of input");
    bdffont tf;
    EXPECT_EQ(parsebdf(t.out, 12, 3, &tf), "");
    EXPECT_EQ(tf.chars, static_cast<long>(tf.glyphs.size()));
  }
  EXPECT_EQ(conv(font).status, 0);
}

TEST(realfonts, doublebyte) {
  std::string dir = fontsdir();
  if (dir.empty()) GTEST_SKIP() << nofonts();
  for (const char *file : {"ILGZ16XB.FNT", "ILMZ24XB.FNT"}) {
    SCOPED_TRACE(file);
    std::string font = slurp(dir + "/" + file);
    ASSERT_GE(font.size(), 18u);
    int w = static_cast<unsigned char>(font[14]);
    int h = static_cast<unsigned char>(font[15]);
    size_t n = static_cast<unsigned char>(font[17]);
    result r = conv(font);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(line(r.out, "CHARSET_REGISTRY"), "\"JISX0208.1983\"");
    bdffont f;
    ASSERT_EQ(parsebdf(r.out, w, h, &f), "");
    EXPECT_EQ(f.chars, 8836);
    ASSERT_EQ(f.glyphs.size(), 8836u);
    // Each glyph's rows are its bytes in the file; each code is used once.
    size_t at = 18 + 4 * n, rb = (w + 7) / 8;
    std::set<long> codes;
    for (const auto &g : f.glyphs) {
      for (int row = 0; row < h; row++, at += rb)
        ASSERT_EQ(g.rows[row], hex(font.substr(at, rb)));
      ASSERT_NE(g.enc, -1);
      ASSERT_TRUE(codes.insert(g.enc).second) << g.name;
    }
  }
}

} // namespace
