// The FONTX2 stream reader: the header and the code-block table as read
// from byte strings, truncation, and the glyph count a table announces.
#include <gtest/gtest.h>

#include <cstring>

#include "conv.h"
#include "fontx/fontx.h"

namespace {

struct headercase {
  const char *what;
  std::string bytes;
  int result;
  int width, height, codetype;
  const char *name; // the 8 name bytes as read, NULs as '.'
  int ended;        // the input ran out
};

TEST(readheader, cases) {
  const headercase cases[] = {
      {"complete", header("ABCDEFGH", 8, 16, 0), 0, 8, 16, 0, "ABCDEFGH", 0},
      {"double-byte", header("K", 16, 16, 1), 0, 16, 16, 1, "K       ", 0},
      {"empty", "", 1, 0, 0, 0, "........", 1},
      {"five bytes", "FONTX", 1, 0, 0, 0, "........", 1},
      {"FONTX1", header("X", 8, 8, 0).replace(5, 1, "1"), 1, 0, 0, 0,
       "........", 0},
      {"lower case", header("X", 8, 8, 0).replace(0, 6, "fontx2"), 1, 0, 0, 0,
       "........", 0},
      {"signature only", "FONTX2", 0, 255, 255, 255, "........", 1},
      {"name cut after 3", "FONTX2ABC", 0, 255, 255, 255, "ABC.....", 1},
      {"ends after name", "FONTX2ABCDEFGH", 0, 255, 255, 255, "ABCDEFGH", 1},
      {"ends after width", "FONTX2ABCDEFGH\x0c", 0, 12, 255, 255, "ABCDEFGH",
       1},
      {"codetype missing", "FONTX2ABCDEFGH\x0c\x18", 0, 12, 24, 255, "ABCDEFGH",
       1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    instream in;
    sinmem(&in, c.bytes.data(), c.bytes.size());
    fontheader h;
    ASSERT_EQ(readheader(&in, &h), c.result);
    EXPECT_EQ(in.ended, c.ended);
    if (c.result) {
      // Nothing past the signature was taken.
      EXPECT_EQ(in.e - in.p,
                static_cast<long>(c.bytes.size() -
                                  std::min<size_t>(6, c.bytes.size())));
      continue;
    }
    EXPECT_EQ(h.width, c.width);
    EXPECT_EQ(h.height, c.height);
    EXPECT_EQ(h.codetype, c.codetype);
    std::string name(reinterpret_cast<const char *>(h.fontname), 8);
    for (auto &ch : name)
      if (ch == '\0') ch = '.';
    EXPECT_EQ(name, c.name);
  }
}

TEST(readheader, leavesstreamatglyphdata) {
  std::string f = header("N", 8, 8, 0) + "\x42";
  instream in;
  sinmem(&in, f.data(), f.size());
  fontheader h;
  ASSERT_EQ(readheader(&in, &h), 0);
  EXPECT_EQ(sgetc(&in), 0x42);
  EXPECT_EQ(sgetc(&in), -1);
  EXPECT_EQ(in.ended, 1);
}

TEST(readtbl, bytes) {
  const struct {
    const char *what;
    std::string bytes;
    int n;
    std::vector<uint16_t> codes; // start, end, start, end ...
    int ended;
  } cases[] = {
      {"one block", std::string("\x9f\x88\xfc\x88", 4), 1, {0x889F, 0x88FC}, 0},
      {"two blocks",
       std::string("\x40\x81\x7e\x81\x80\x81\xfc\x81", 8),
       2,
       {0x8140, 0x817E, 0x8180, 0x81FC},
       0},
      {"last byte missing",
       std::string("\x40\x81\x7e", 3),
       1,
       {0x8140, 0xFF7E},
       1},
      {"end missing", std::string("\x40\x81", 2), 1, {0x8140, 0xFFFF}, 1},
      {"nothing", "", 2, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, 1},
      {"count 0 reads nothing", "abcd", 0, {}, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    instream in;
    sinmem(&in, c.bytes.data(), c.bytes.size());
    std::vector<codeblock> tbl(c.n);
    readtbl(tbl.data(), c.n, &in);
    for (int i = 0; i < c.n; i++) {
      EXPECT_EQ(tbl[i].start, c.codes[2 * i]);
      EXPECT_EQ(tbl[i].end, c.codes[2 * i + 1]);
    }
    EXPECT_EQ(in.ended, c.ended);
    if (c.n == 0) {
      EXPECT_EQ(in.p, reinterpret_cast<const unsigned char *>(c.bytes.data()));
    }
  }
}

TEST(nchars, sums) {
  const struct {
    std::vector<codeblock> tbl;
    int32_t want;
  } cases[] = {
      {{}, 0},
      {{{0x889F, 0x88FC}}, 94},
      {{{0x8140, 0x8140}}, 1},
      {{{0x8141, 0x8140}}, 0},
      {{{0x889F, 0x88FC}, {0x8940, 0x897E}}, 157},
      {{{0x88FC, 0x8940}}, 69},
      {{{0xFFFF, 0x0000}, {0x0000, 0xFFFF}}, 65536},
      {std::vector<codeblock>(255, {0x0000, 0xFFFF}), 255 * 65536},
  };
  for (const auto &c : cases)
    EXPECT_EQ(nchars(static_cast<int>(c.tbl.size()), c.tbl.data()), c.want);
}

} // namespace
