// Shift_JIS to JIS X 0208 arithmetic and what counts as a Shift_JIS code.
#include <gtest/gtest.h>

#include "codes/sjis.h"

namespace {

TEST(stoj, results) {
  const struct {
    uint16_t sjis;
    int32_t jis;
  } cases[] = {
      {0x8140, 0x2121}, {0x817E, 0x215F}, {0x817F, 0x2160}, {0x8180, 0x2160},
      {0x819E, 0x217E}, {0x819F, 0x2221}, {0x81FC, 0x227E}, {0x82A0, 0x2422},
      {0x889F, 0x3021}, {0x88FC, 0x307E}, {0x88FD, 0x307F}, {0x8900, 0x30E1},
      {0x9FFC, 0x5E7E}, {0xE040, 0x5F21}, {0xA040, 0x5F21}, {0xEAA4, 0x7426},
      {0xF040, 0x7F21}, {0xFCFC, 0x987E}, {0xFFFF, 0x9E81}, {0x0041, -57566},
      {0x0000, -57631}, {0x709E, -130},   {0x709F, 0x0021}, {0x8A7E, 0x335F},
  };
  for (const auto &c : cases)
    EXPECT_EQ(stoj(c.sjis), c.jis) << std::hex << c.sjis;
}

// Every Shift_JIS code maps into rows and cells 0x21-0x7E, one to one.
TEST(stoj, shiftjismapsonetoone) {
  std::vector<int> seen(0x10000);
  for (uint32_t c = 0; c <= 0xFFFF; c++) {
    if (!issjis(static_cast<uint16_t>(c)) || (c >> 8) > 0xEF) continue;
    int32_t j = stoj(static_cast<uint16_t>(c));
    ASSERT_TRUE(j >= 0x2121 && j <= 0x7E7E && (j & 0xFF) >= 0x21 &&
                (j & 0xFF) <= 0x7E)
        << std::hex << c;
    ASSERT_EQ(seen[j]++, 0) << std::hex << c;
  }
}

// jtos undoes stoj for every Shift_JIS code, and only there.
TEST(jtos, inverse) {
  int codes = 0;
  for (uint32_t c = 0; c <= 0xFFFF; c++) {
    if (!issjis(static_cast<uint16_t>(c))) continue;
    ASSERT_EQ(jtos(stoj(static_cast<uint16_t>(c))), static_cast<int32_t>(c))
        << std::hex << c;
    codes++;
  }
  EXPECT_EQ(codes, (0x98 - 0x20) * 94); // rows 0x21-0x98, 94 cells each
  for (int32_t j : {0x2120, 0x217F, 0x2021, 0x9921, 0x7F00, -1, 0x10021})
    EXPECT_EQ(jtos(j), -1) << std::hex << j;
}

TEST(issjis, bounds) {
  const struct {
    uint16_t code;
    int want;
  } cases[] = {
      {0x8140, 1}, {0x817E, 1}, {0x817F, 0}, {0x8180, 1}, {0x81FC, 1},
      {0x81FD, 0}, {0x813F, 0}, {0x8040, 0}, {0x9FFC, 1}, {0xA040, 0},
      {0xDF40, 0}, {0xE040, 1}, {0xEFFC, 1}, {0xF040, 1}, {0xFCFC, 1},
      {0xFD40, 0}, {0x0041, 0}, {0xFFFF, 0}, {0x81FF, 0}, {0x8100, 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(issjis(c.code), c.want) << std::hex << c.code;
}

} // namespace
