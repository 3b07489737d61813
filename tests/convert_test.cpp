// Whole conversions, in-process, of fonts built here.
#include <gtest/gtest.h>

#include <cstdio>

#include "conv.h"

namespace {

std::string name4(long code) {
  char b[16];
  snprintf(b, sizeof b, "%04lx",
           static_cast<unsigned long>(code) & 0xFFFFFFFFul);
  return b;
}

// Checks a single-byte conversion against the bitmap bytes it was given;
// missing bytes must come out as ff.
void checksingle(const std::string &out, int w, int h,
                 const std::string &bitmap) {
  bdffont f;
  ASSERT_EQ(parsebdf(out, w, h, &f), "");
  ASSERT_EQ(f.chars, 256);
  ASSERT_EQ(f.glyphs.size(), 256u);
  size_t rb = (w + 7) / 8, at = 0;
  for (int c = 0; c < 256; c++) {
    const glyph &g = f.glyphs[c];
    ASSERT_EQ(g.name, name4(c));
    ASSERT_EQ(g.enc, c);
    for (int r = 0; r < h; r++, at += rb) {
      std::string row = at < bitmap.size() ? bitmap.substr(at, rb) : "";
      row.resize(rb, '\xff');
      ASSERT_EQ(g.rows[r], hex(row)) << "glyph " << c << " row " << r;
    }
  }
}

TEST(singlebyte, cellsizes) {
  const int sizes[][2] = {{8, 16}, {12, 24}, {16, 32}, {8, 8},
                          {1, 1},  {7, 3},   {9, 2},   {255, 2}};
  for (const auto &s : sizes) {
    int w = s[0], h = s[1];
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    std::string bitmap = noise(256 * h * ((w + 7) / 8), w * 256 + h);
    result r = conv(header("T", w, h, 0) + bitmap);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.msg, "");
    checksingle(r.out, w, h, bitmap);
  }
}

// A cell with no width or height holds no glyph, and its BDF text (a
// negative ascent and point size) is refused by readers: nothing is
// written, whatever follows the header.
TEST(singlebyte, emptycellsarerefused) {
  const int sizes[][3] = {{0, 5, 0}, {5, 0, 0}, {0, 0, 0}, {0, 16, 1}};
  for (const auto &s : sizes) {
    std::string font = header("T", s[0], s[1], s[2]) + noise(100);
    result r = conv(font);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.msg, "cell " + std::to_string(s[0]) + "x" +
                         std::to_string(s[1]) + " is outside 1-255");
    EXPECT_EQ(r.out, "");
  }
}

TEST(singlebyte, anycodetypebut1isthesame) {
  std::string bitmap = noise(256 * 16);
  result zero = conv(header("S", 8, 16, 0) + bitmap);
  for (int t : {2, 3, 0x80, 255}) {
    result r = conv(header("S", 8, 16, t) + bitmap);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, zero.out) << "codetype " << t;
  }
}

TEST(singlebyte, bytesafterthelastglyphareignored) {
  std::string font = header("S", 8, 4, 0) + noise(256 * 4);
  result plain = conv(font);
  result more = conv(font + noise(1000, 9));
  EXPECT_EQ(more.status, 0);
  EXPECT_EQ(more.out, plain.out);
}

TEST(notfontx2, nooutputstatus1) {
  for (std::string in :
       {std::string(), std::string("F"), std::string("FONTX"),
        std::string("FONTX1xxxxxxxx"), std::string("fontx2abcdefgh\x08\x08"),
        std::string("\x00\x00\x00\x00\x00\x00", 6),
        std::string("STARTFONT 2.1\n")}) {
    result r = conv(in);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.msg, "not in FONTX2 format");
  }
}

// Cut a font at every length past the signature: the font text is still
// complete, the missing bytes read as 0xFF, and the run reports the cut.
TEST(truncated, everycut) {
  const int w = 8, h = 2;
  std::string bitmap = noise(256 * h);
  std::string font = header("CUT", w, h, 0) + bitmap;
  for (size_t n = 6; n < font.size(); n++) {
    SCOPED_TRACE("cut at " + std::to_string(n));
    result r = conv(font.substr(0, n));
    ASSERT_EQ(r.status, 1);
    ASSERT_EQ(r.msg, "unexpected end of input");
    if (n < 17) {
      // The cell size itself is missing: 255 wherever a byte is gone.
      int cw = n > 14 ? w : 255, ch = n > 15 ? h : 255;
      checksingle(r.out, cw, ch, "");
    } else {
      checksingle(r.out, w, h, bitmap.substr(0, n - 17));
    }
  }
  EXPECT_EQ(conv(font).status, 0);
}

TEST(truncated, namecutshort) {
  result r = conv("FONTX2ab");
  EXPECT_NE(r.out.find("FOUNDRY \"Ab\"\n"), std::string::npos);
  EXPECT_NE(r.out.find("FONT -Ab-Fixed"), std::string::npos);
}

TEST(realfonts, singlebyte) {
  std::string dir = fontsdir();
  if (dir.empty()) GTEST_SKIP() << nofonts();
  const struct {
    const char *file;
    int w, h;
    const char *foundry;
  } fonts[] = {{"ILGH16XB.FNT", 8, 16, "Ilgh16xb"},
               {"ILGH24XB.FNT", 12, 24, "Ilgh24xb"},
               {"LATIN32B.FNT", 16, 32, ""}};
  for (const auto &f : fonts) {
    SCOPED_TRACE(f.file);
    std::string font = slurp(dir + "/" + f.file);
    ASSERT_GE(font.size(), 17u);
    result r = conv(font);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(std::string("FOUNDRY \"") + f.foundry + "\"\n"),
              std::string::npos);
    checksingle(r.out, f.w, f.h, font.substr(17));
  }
}

} // namespace
