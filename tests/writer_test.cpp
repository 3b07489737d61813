// The foundry name rule and the exact text of the font header.
#include <gtest/gtest.h>

#include "conv.h"
#include "io/stream.h"
#include "writers/bdf.h"
#include "writers/hex.h"
#include "writers/png.h"

namespace {

TEST(copyname, cases) {
  const struct {
    const char *bytes; // 8 bytes
    const char *want;
  } cases[] = {
      {"KANJI 16", "Kanji16"},
      {"MY-FONT ", "Myfont"},
      {"16DOT   ", "16dot"},
      {"        ", ""},
      {"--------", ""},
      {"ab\0DEFGH", "Ab"},
      {"\0BCDEFGH", ""},
      {"mINCHO  ", "Mincho"},
      {" -gothic", "Gothic"},
      {"a\"b\"    ", "A\"b\""},
      {"x\ny\rz\tw", "Xyzw"}, // control bytes dropped
      {"\x01\x1f\x7f"
       "abc  ",
       "Abc"}, // so a later letter is capitalised
      {"\xe6\x97\xa5q     ", "\xe6\x97\xa5q"}, // high bytes kept as they are
      {"9_Z.A{}~", "9_z.a{}~"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.want);
    char dst[9];
    copyname(dst, reinterpret_cast<const unsigned char *>(c.bytes));
    EXPECT_STREQ(dst, c.want);
  }
}

std::string headof(const std::string &font) {
  result r = conv(font);
  return r.out.substr(0, r.out.find("CHARS "));
}

TEST(bdfheader, singlebyte8x16) {
  std::string want = "STARTFONT 2.1\n"
                     "COMMENT\n"
                     "FONT -Ilgh16xb-Fixed-Medium-R-Normal--16-150-75-75-C-80-"
                     "JISX0201.1976-0\n"
                     "SIZE 8 75 75\n"
                     "FONTBOUNDINGBOX 8 16 0 -2\n"
                     "STARTPROPERTIES 18\n"
                     "FONTNAME_REGISTRY \"\"\n"
                     "FOUNDRY \"Ilgh16xb\"\n"
                     "FAMILY_NAME \"Fixed\"\n"
                     "WEIGHT_NAME \"Medium\"\n"
                     "SLANT \"R\"\n"
                     "SETWIDTH_NAME \"Normal\"\n"
                     "ADD_STYLE_NAME \"\"\n"
                     "PIXEL_SIZE 16\n"
                     "POINT_SIZE 150\n"
                     "RESOLUTION_X 75\n"
                     "RESOLUTION_Y 75\n"
                     "SPACING \"C\"\n"
                     "AVERAGE_WIDTH 80\n"
                     "CHARSET_REGISTRY \"JISX0201.1976\"\n"
                     "CHARSET_ENCODING \"0\"\n"
                     "DEFAULT_CHAR 0\n"
                     "FONT_DESCENT 2\n"
                     "FONT_ASCENT 14\n"
                     "ENDPROPERTIES\n";
  EXPECT_EQ(headof(header("ILGH16XB", 8, 16, 0)), want);
}

// The scalable width is the advance in thousandths of the pixel size.
TEST(tobdf, swidth) {
  const int cases[][3] = {{16, 16, 1000},  {8, 16, 500}, {12, 24, 500},
                          {5, 7, 714},     {1, 16, 63},  {7, 3, 2333},
                          {255, 1, 255000}};
  for (const auto &c : cases) {
    std::string out = conv(header("S", c[0], c[1], 0)).out;
    std::string want = "\nSWIDTH " + std::to_string(c[2]) + " 0\n";
    EXPECT_NE(out.find(want), std::string::npos) << c[0] << "x" << c[1];
  }
}

// Lines of the header that depend on the cell size and the name.
TEST(bdfheader, variants) {
  const struct {
    std::string font;
    std::vector<std::string> lines;
  } cases[] = {
      {header("        ", 24, 24, 2),
       {"FONT --Fixed-Medium-R-Normal--24-230-75-75-C-240-JISX0201.1976-0",
        "FOUNDRY \"\"", "POINT_SIZE 230", "FONT_ASCENT 22"}},
      {header("A\"B", 12, 1, 255),
       {"FONT -A\"b-Fixed-Medium-R-Normal--1-0-75-75-C-120-JISX0201.1976-0",
        "FOUNDRY \"A\"\"b\"", "POINT_SIZE 0", "FONT_ASCENT -1",
        "SIZE 12 75 75"}},
      {header("W", 255, 255, 0),
       {"SIZE 255 75 75", "AVERAGE_WIDTH 2550", "POINT_SIZE 2540"}},
  };
  for (const auto &c : cases) {
    std::string h = "\n" + headof(c.font);
    for (const auto &l : c.lines)
      EXPECT_NE(h.find("\n" + l + "\n"), std::string::npos) << l << h;
  }
}

} // namespace

namespace {

// Every row converter at every level this processor runs, around the
// sizes of their vector loads. The bytes sit at the very end of their
// allocation, so a read past them is caught under AddressSanitizer.
TEST(format, hexrows) {
  for (int level = PORTABLE; level <= bestlevel(); level++)
    for (size_t rb = 0; rb <= 40; rb++)
      for (size_t rows : {0, 1, 2, 4, 5, 6, 7, 8, 15, 16, 17, 24, 33}) {
        std::string bytes = noise(rb * rows, static_cast<uint32_t>(rb + rows));
        std::vector<unsigned char> src(bytes.begin(), bytes.end());
        std::string want;
        for (size_t r = 0; r < rows; r++)
          want += hex(bytes.substr(r * rb, rb)) + "\n";
        std::string got(want.size() + ROWSLACK + 1, '?');
        char *end = rowconv(rb, level)(&got[0], src.data(), rb, rows);
        ASSERT_EQ(got.substr(0, end - &got[0]), want)
            << "level " << level << ", " << rows << " rows of " << rb;
        ASSERT_EQ(got.back(), '?') << "wrote past the slack";
      }
}

TEST(format, numbers) {
  const struct {
    int32_t v;
    const char *dec, *hex4;
  } cases[] = {
      {0, "0", "0000"},
      {65, "65", "0041"},
      {12321, "12321", "3021"},
      {0xFFFF, "65535", "ffff"},
      {0x10000, "65536", "10000"},
      {-1, "-1", "ffffffff"},
      {-57566, "-57566", "ffff1f22"},
      {INT32_MIN, "-2147483648", "80000000"},
      {INT32_MAX, "2147483647", "7fffffff"},
  };
  for (const auto &c : cases) {
    char b[32];
    EXPECT_EQ(std::string(b, putd(b, c.v)), c.dec);
    EXPECT_EQ(std::string(b, putx4(b, static_cast<uint32_t>(c.v))), c.hex4);
  }
}

} // namespace

// A picture is written whole whether it compresses well (a blank sheet)
// or not at all (noise over 256 grays, more bytes than the first guess
// of room), and reads back pixel for pixel.
TEST(png, roundtrip) {
  std::vector<unsigned char> gray(256);
  for (int i = 0; i < 256; i++) gray[i] = static_cast<unsigned char>(i);
  const struct {
    int width, height;
    bool noise;
  } cases[] = {
      {1, 1, false}, {640, 480, false}, {300, 200, true}, {1, 4000, true}};
  for (const auto &c : cases) {
    std::string bits = noise(static_cast<size_t>(c.width) * c.height, 3);
    if (!c.noise) bits.assign(bits.size(), '\0');
    std::string out;
    outstream o;
    soutsink(
        &o,
        [](void *ctx, const char *data, size_t n) {
          static_cast<std::string *>(ctx)->append(data, n);
        },
        &out);
    char why[128] = "";
    ASSERT_EQ(pngwrite(reinterpret_cast<const unsigned char *>(bits.data()),
                       c.width, c.height, gray.data(), 256, 1, &o, why,
                       sizeof why),
              0)
        << why;
    ASSERT_EQ(sflush(&o), 0);
    picture p;
    ASSERT_TRUE(decodepng(out, &p)) << c.width << "x" << c.height;
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    EXPECT_TRUE(
        std::equal(p.gray.begin(), p.gray.end(),
                   reinterpret_cast<const unsigned char *>(bits.data())));
  }
}
