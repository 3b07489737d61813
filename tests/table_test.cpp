// The code-block table: little-endian codes, truncation, glyph count.
#include <gtest/gtest.h>

#include "conv.h"
#include "fontx/fontx.h"

namespace {

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
