// Outline fonts into FONTX2 cells: the two fitting rules checked against
// FreeType placed by hand, every code of the set, the width that cuts no
// glyph at the sides, the warning for those that are cut, and --info.
#include <gtest/gtest.h>

#include <map>

#include "codes/sjis.h"
#include "conv.h"
#include "ftcell.h"
#include "sources/ftmemo.h"

namespace {

const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const char dejavu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const char liberation[] =
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

size_t ink(const std::string &g) {
  size_t n = 0;
  for (unsigned char c : g) n += static_cast<size_t>(__builtin_popcount(c));
  return n;
}

// IPA Gothic (units per em 2048, usWinAscent 1802, usWinDescent 401,
// typographic ascender 1802, descender -246) at 16 and 24 pixels: kana and
// every kanji (JIS rows 16-84) are FreeType's glyphs at the sizes and on
// the baselines worked out by hand from those numbers, none losing a pixel.
TEST(fit, japanese) {
  std::string font = slurp(ipag);
  if (font.empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  const struct {
    std::vector<std::string> args;
    int size, xppem, yppem, ascent;
  } cases[] = {
      // line: y ppem round(16 * 2048 / 2203) = 15, baseline
      // round(16 * 1802 / 2203) = 13; at 24, 22 and 20.
      {{}, 16, 16, 15, 13},
      {{"--fit", "line"}, 24, 24, 22, 20},
      // em: the em square is the cell, baseline round(16 * 1802 / 2048).
      {{"--fit", "em"}, 16, 16, 16, 14},
      {{"--fit", "em"}, 24, 24, 24, 21},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + (c.args.empty() ? "" : c.args[1]));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-s", std::to_string(c.size), "-f", "fontx2"});
    proc p = vfont(args, font);
    ASSERT_EQ(p.status, 0) << p.err;
    ftfont ft;
    ASSERT_TRUE(ftload(&ft, font) && ftppem(&ft, c.xppem, c.yppem));
    std::vector<unsigned> codes = fxcodes(p.out);
    size_t kanji = 0;
    for (size_t i = 0; i < codes.size(); i++) {
      int32_t jis = stoj(static_cast<uint16_t>(codes[i]));
      bool kana = (jis >> 8) == 0x24 || (jis >> 8) == 0x25;
      if (!kana && ((jis >> 8) < 0x30 || (jis >> 8) > 0x74)) continue;
      auto u = static_cast<uint32_t>(cp932(codes[i], true));
      std::string g = fxglyph(p.out, i);
      ASSERT_EQ(ftcell(&ft, u, c.size, c.size, c.ascent), g) << std::hex << u;
      ASSERT_EQ(ink(ftcell(&ft, u, 4 * c.size, 4 * c.size, c.ascent + c.size,
                           c.size)),
                ink(g))
          << std::hex << u << " lost pixels";
      kanji += !kana;
    }
    EXPECT_GT(kanji, 6000u);
  }
}

// Every code of the set written gets the glyph of its character, those
// that share a character with another code (CP932's NEC and IBM
// duplicates) too; the blocks stay the maximal runs.
TEST(fit, everycode) {
  std::string font = slurp(ipag);
  if (font.empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  proc p = vfont({"-s", "16", "-f", "fontx2"}, font);
  ASSERT_EQ(p.status, 0) << p.err;
  std::vector<unsigned> codes = fxcodes(p.out);
  std::map<unsigned, size_t> at;
  for (size_t i = 0; i < codes.size(); i++) at[codes[i]] = i;
  const unsigned pairs[][2] = {
      {0x8790, 0x81E0}, {0x879A, 0x81E6}, {0x879B, 0x81BF},
      {0xED40, 0xFA5C}, {0xEEF9, 0xFA54}, {0xEEF9, 0x81CA},
  };
  for (const auto &pr : pairs) {
    ASSERT_TRUE(at.count(pr[0]) && at.count(pr[1])) << std::hex << pr[0];
    EXPECT_EQ(cp932(pr[0], true), cp932(pr[1], true)) << std::hex << pr[0];
    std::string g = fxglyph(p.out, at[pr[0]]);
    EXPECT_EQ(g, fxglyph(p.out, at[pr[1]])) << std::hex << pr[0];
    EXPECT_GT(ink(g), 0u) << std::hex << pr[0];
  }
  size_t dup = 0;
  for (unsigned c : codes) dup += (c >= 0xED40 && c <= 0xEEFC);
  EXPECT_EQ(dup, 374u);
}

// Latin fonts keep their proportions (em) and get the width their glyphs
// need: no ink cut at the sides, so no warning about it.
TEST(fit, latinwidth) {
  size_t done = 0;
  const struct {
    const char *path;
    int size, width;
  } cases[] = {{dejavu, 12, 8},     {dejavu, 16, 10},     {dejavu, 24, 15},
               {liberation, 12, 7}, {liberation, 16, 10}, {liberation, 24, 14}};
  for (const auto &c : cases) {
    std::string font = slurp(c.path);
    if (font.empty()) continue;
    SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.size));
    proc p = vfont({"-s", std::to_string(c.size), "-f", "fontx2"}, font);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(static_cast<unsigned char>(p.out[14]), c.width);
    EXPECT_EQ(p.err.find("at the sides"), std::string::npos) << p.err;
    done++;
  }
  if (!done) GTEST_SKIP() << "needs fonts-dejavu-core or fonts-liberation";
}

// A cell too narrow, asked for: the warning names the glyphs cut, by code
// and character, and the width that keeps them.
TEST(fit, cutwarning) {
  std::string font = slurp(dejavu);
  if (font.empty()) GTEST_SKIP() << "needs fonts-dejavu-core";
  proc p = vfont({"-s", "16", "-w", "8", "-f", "fontx2"}, font);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err.rfind("dosvfont: warning: standard input: ", 0), 0u);
  EXPECT_NE(
      p.err.find(
          " glyphs lost pixels outside the 8x16 cell at the "
          "sides and at the top and bottom: 0x23 (U+0023), 0x24 (U+0024), "),
      std::string::npos)
      << p.err;
  EXPECT_NE(p.err.find(" more; -w 10 keeps them\n"), std::string::npos)
      << p.err;
}

// --info describes an outline font with no size, and with one says the
// cell the conversion would use.
TEST(fit, info) {
  std::string gothic = slurp(ipag), mono = slurp(dejavu);
  if (gothic.empty() || mono.empty())
    GTEST_SKIP() << "needs fonts-ipafont-gothic and fonts-dejavu-core";
  const struct {
    std::string font;
    std::vector<std::string> args, lines;
  } cases[] = {
      {gothic,
       {},
       {"format: TrueType", "family: IPAGothic", "glyphs: outlines",
        "units per em: 2048", "Windows ascender and descender: 1802 401",
        "typographic ascender and descender: 1802 -246", "charset: unicode"}},
      {gothic,
       {"-s", "16"},
       {"fit: line (default: the font maps kana or CJK ideographs)",
        "cell: 16x16, the baseline 13 rows below the top"}},
      {gothic,
       {"-s", "16", "-k", "single", "--fit", "em"},
       {"fit: em (given with --fit)", "cell: 8x16, the baseline 14 rows "
                                      "below the top"}},
      {mono,
       {"-s", "16"},
       {"fit: em (default: the font maps no kana or CJK ideographs)",
        "cell: 10x16, the baseline 12 rows below the top"}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--info");
    proc p = vfont(args, c.font);
    EXPECT_EQ(p.status, 0) << p.err;
    for (const auto &l : c.lines)
      EXPECT_NE(("\n" + p.out).find("\n" + l + "\n"), std::string::npos)
          << l << "\n"
          << p.out;
  }
}

} // namespace

namespace {

// A glyph as drawn: its metrics and its rows.
std::string drawing(source *s, uint32_t handle, int fit) {
  srcglyph g;
  if (ftdraw(s, handle, 0, &g, fit)) return "failed";
  std::string d = std::to_string(g.pitch) + " " + std::to_string(g.width) +
                  " " + std::to_string(g.rows) + " " + std::to_string(g.left) +
                  " " + std::to_string(g.top) + " " +
                  std::to_string(g.advance) + " " + std::to_string(g.gray) +
                  " " + std::to_string(g.right) + " " +
                  std::to_string(g.beyond) + ":";
  if (g.pitch > 0 && g.rows > 0)
    d.append(reinterpret_cast<const char *>(g.bits),
             static_cast<size_t>(g.pitch) * static_cast<size_t>(g.rows));
  return d;
}

// Every glyph of a font, drawn at its width and narrowed to half of it.
std::vector<std::string> drawings(const std::string &font,
                                  const sourceopts &o) {
  source s;
  char why[256];
  const auto *data = reinterpret_cast<const unsigned char *>(font.data());
  EXPECT_EQ(ftopen(&s, data, font.size(), &o, why, sizeof why), 0) << why;
  std::vector<std::string> all;
  // A sample of 2,000 or so: glyphs of every kind.
  for (size_t i = 0; i < s.chars.size(); i += 1 + s.chars.size() / 2000) {
    for (int fit : {0, o.size / 2})
      all.push_back(drawing(&s, s.chars[i].second, fit));
    // Its metrics: the advance, and the right edge where it is known
    // undrawn (a remembered drawing knows it always).
    srcglyph g;
    if (!ftdraw(&s, s.chars[i].second, 1, &g))
      all.push_back("metrics " + std::to_string(g.advance) + " " +
                    (g.right >= 0 ? std::to_string(g.right) : "unknown"));
  }
  ftclose(&s);
  return all;
}

} // namespace

// Drawings kept for the next run on the same font (the web page's) are
// the drawings: plain, bold and italic made from the outline, narrowed,
// and for another size or font nothing is taken from the last.
TEST(fit, remembered) {
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  const char *dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  std::string fonts[] = {slurp(dejavu), slurp(ipag)};
  if (fonts[0].empty() || fonts[1].empty())
    GTEST_SKIP() << "needs fonts-dejavu-core and fonts-ipafont-gothic";
  sourceopts plain = {}, styled = {}, other = {};
  plain.size = 16, styled.size = 24, styled.bold = styled.italic = 1;
  other.size = 17;
  const struct {
    const std::string &font;
    sourceopts o;
  } cases[] = {{fonts[0], plain},
               {fonts[0], styled},
               {fonts[0], other},
               {fonts[1], plain},
               {fonts[0], plain}};
  for (const auto &c : cases) {
    ftremember(0);
    std::vector<std::string> fresh = drawings(c.font, c.o);
    ftremember(1);
    drawings(c.font, c.o); // kept
    std::vector<std::string> again = drawings(c.font, c.o);
    ASSERT_EQ(again.size(), fresh.size());
    for (size_t i = 0; i < fresh.size(); i++) {
      bool unknown = fresh[i].rfind("metrics ", 0) == 0 &&
                     fresh[i].size() > 8 &&
                     fresh[i].compare(fresh[i].size() - 8, 8, " unknown") == 0;
      if (!unknown) {
        EXPECT_EQ(again[i], fresh[i]) << i;
      }
    }
  }
  // One font after another, each kept in turn.
  std::vector<std::string> first = drawings(fonts[0], plain);
  drawings(fonts[1], plain);
  EXPECT_TRUE(drawings(fonts[0], plain) == first);
  ftremember(0);
}
