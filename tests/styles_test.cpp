// Bold, italic, underline and strikeout, and CP932's control-byte pictures:
// stems a pixel wider, no ink lost without a word, lines that span the
// cell, the bitmap rules byte for byte, a collection's own bold face, and
// pictures near those of the half-width fonts in circulation.
#include <gtest/gtest.h>

#include <map>

#include "conv.h"
#include "ttf.h"

namespace {

const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const char dejavu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct cells {
  int w = 0, h = 0;
  std::string font;
  std::string at(unsigned byte) const { return fxglyph(font, byte); }
  bool px(unsigned byte, int x, int y) const {
    std::string g = at(byte);
    return static_cast<unsigned char>(g[y * ((w + 7) / 8) + x / 8]) >>
               (7 - x % 8) &
           1;
  }
};

cells single(const std::vector<std::string> &args) {
  proc p = vfont(args);
  EXPECT_EQ(p.status, 0) << p.err;
  cells c;
  c.font = p.out;
  if (p.out.size() > 16) c.w = static_cast<unsigned char>(p.out[14]);
  if (p.out.size() > 16) c.h = static_cast<unsigned char>(p.out[15]);
  return c;
}

size_t ink(const std::string &g) {
  size_t n = 0;
  for (unsigned char b : g) n += static_cast<size_t>(__builtin_popcount(b));
  return n;
}

// How many glyphs the cut warning counts, 0 without one.
size_t warned(const std::string &err) {
  size_t at = err.find(" glyph");
  if (at == std::string::npos || err.find("lost pixels") == std::string::npos)
    return 0;
  size_t start = err.rfind(": ", at) + 2;
  return std::stoul(err.substr(start, at - start));
}

// IPA Gothic's stems, a pixel wide at 16 pixels, are two with --bold; its
// "!", two pixels where FreeType hints it, gains one too.
TEST(styles, boldstems) {
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  for (bool bold : {false, true}) {
    std::vector<std::string> args = {"-s", "16",     "-k", "single",
                                     "-f", "fontx2", ipag};
    if (bold) args.insert(args.begin(), "--bold");
    cells c = single(args);
    for (unsigned ch : {'l', 'I', '|', '!', '1'}) {
      // The widest run of ink in each row with ink, the narrowest of those.
      int narrowest = 99, rows = 0;
      for (int y = 0; y < c.h; y++) {
        int run = 0, widest = 0;
        for (int x = 0; x < c.w; x++)
          run = c.px(ch, x, y) ? run + 1 : 0, widest = std::max(widest, run);
        if (widest) narrowest = std::min(narrowest, widest), rows++;
      }
      EXPECT_GT(rows, 5) << static_cast<char>(ch);
      EXPECT_EQ(narrowest, (ch == '!' ? 2 : 1) + bold) << static_cast<char>(ch);
    }
  }
}

// Every style and all four, at three sizes, in two fonts: a glyph that
// loses ink at the sides to the cell is counted by the warning, and no
// more are counted than those and the ones a cell 255 pixels wide loses
// too. The wide cell is drawn without the lines, which span any cell.
TEST(styles, nothinglostunsaid) {
  std::vector<const char *> fonts;
  for (const char *f : {ipag, dejavu})
    if (!slurp(f).empty()) fonts.push_back(f);
  if (fonts.empty()) GTEST_SKIP() << "needs IPA Gothic or DejaVu Sans";
  const std::vector<std::vector<std::string>> styles = {
      {"--bold"},
      {"--italic"},
      {"--underline"},
      {"--strikeout"},
      {"--underline", "--strikeout", "--bold", "--italic"}};
  for (const char *font : fonts)
    for (const char *size : {"12", "16", "24"})
      for (const auto &style : styles) {
        SCOPED_TRACE(std::string(font) + " " + size + " " + style.back());
        std::vector<std::string> args = style, unlined = {"-w", "255"};
        for (const auto &a : style)
          if (a == "--bold" || a == "--italic") unlined.push_back(a);
        std::vector<std::string> rest = {"-s",     size,      "-k",
                                         "single", "--range", "20-7E",
                                         "-f",     "fontx2",  font};
        args.insert(args.end(), rest.begin(), rest.end());
        unlined.insert(unlined.end(), rest.begin(), rest.end());
        proc normal = vfont(args), wide = vfont(unlined);
        ASSERT_EQ(normal.status, 0) << normal.err;
        ASSERT_EQ(wide.status, 0) << wide.err;
        int w = static_cast<unsigned char>(normal.out[14]);
        size_t sides = 0, ra = (w + 7) / 8, rb = 32;
        for (unsigned c = 0x21; c <= 0x7E; c++) {
          std::string a = fxglyph(normal.out, c), b = fxglyph(wide.out, c);
          // Lost: less ink than in a cell wide enough, in the rows no line
          // fills (bold may grow a glyph to the left where the cell has no
          // room on its right: where the ink is may differ, not how much).
          auto at = [&](const std::string &g, size_t bytes, int x, size_t y) {
            return static_cast<unsigned char>(g[y * bytes + x / 8]) >>
                       (7 - x % 8) &
                   1;
          };
          size_t have = 0, want = 0;
          for (size_t y = 0; y < a.size() / ra; y++) {
            size_t row = 0;
            for (int x = 0; x < w; x++) row += at(a, ra, x, y);
            if (row == static_cast<size_t>(w)) continue; // a line's row
            have += row;
            for (int x = 0; x < 255; x++) want += at(b, rb, x, y);
          }
          sides += have < want;
        }
        EXPECT_GE(warned(normal.err), sides) << normal.err;
        // Bold says a stroke that had no room to grow as lost, which the
        // ink of a wide cell does not show where the glyph grew elsewhere.
        bool bold =
            std::find(style.begin(), style.end(), "--bold") != style.end();
        if (!bold) {
          EXPECT_LE(warned(normal.err), sides + warned(wide.err)) << normal.err;
        }
      }
}

// The lines lie inside the cell and span it, on every glyph with ink.
TEST(styles, lines) {
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  for (const char *size : {"12", "16", "24"})
    for (const char *line : {"--underline", "--strikeout"}) {
      SCOPED_TRACE(std::string(size) + line);
      cells plain = single({"-s", size, "-k", "single", "-f", "fontx2", ipag});
      cells c =
          single({line, "-s", size, "-k", "single", "-f", "fontx2", ipag});
      ASSERT_EQ(c.w, plain.w);
      // Every character gets the line, the space too (an underlined text's
      // line runs on between words); a control has no character.
      std::string chars = " ABCDEFGHIJKLMNOPQRSTUVWXYZ";
      for (unsigned char ch : chars) {
        int full = 0;
        for (int y = 0; y < c.h; y++) {
          bool all = true, before = true;
          for (int x = 0; x < c.w; x++)
            all &= c.px(ch, x, y), before &= plain.px(ch, x, y);
          full += all && !before;
        }
        EXPECT_GE(full, 1) << static_cast<char>(ch);
      }
      EXPECT_EQ(c.at('\x01'), plain.at('\x01')) << "a control took a line";
    }
}

// The bitmap rules, byte for byte: bold widens each stroke a pixel to the
// right (to the left where the last column has ink and the first none),
// never into a one-pixel gap; italic shifts each row above the baseline a
// pixel right for every five it stands above it; ink past the width is
// lost.
TEST(styles, bitmaprules) {
  std::vector<std::pair<std::string, std::string>> fonts = {
      {"FONTX2 12x12", header("R12", 12, 12, 0) + noise(256 * 24, 11)},
      {"FONTX2 8x16", header("R8", 8, 16, 0) + noise(256 * 16, 12)}};
  std::string ter = slurp("/usr/share/fonts/X11/misc/ter-u16n_koi8-r.pcf.gz");
  if (!ter.empty()) fonts.push_back({"Terminus KOI8-R", ter});
  for (const auto &f : fonts)
    for (const char *style : {"--bold", "--italic"}) {
      SCOPED_TRACE(f.first + " " + style);
      proc plain = vfont({"-f", "fontx2"}, f.second),
           styled = vfont({style, "-f", "fontx2"}, f.second);
      ASSERT_EQ(styled.status, 0) << styled.err;
      int w = static_cast<unsigned char>(plain.out[14]);
      int h = static_cast<unsigned char>(plain.out[15]), ascent = h - 2;
      if (f.first[0] == 'T') ascent = 12; // the strike's
      size_t rb = (w + 7) / 8;
      for (unsigned c : {0x41u, 0x6Au, 0xC1u, 0xFFu}) {
        std::string a = fxglyph(plain.out, c), want(a.size(), '\0');
        auto ink = [&](int x, int y) {
          return x >= 0 && x < w &&
                 (static_cast<unsigned char>(a[y * rb + x / 8]) >> (7 - x % 8) &
                  1);
        };
        auto put = [&](int x, int y) {
          if (x >= 0 && x < w)
            want[y * rb + x / 8] =
                static_cast<char>(want[y * rb + x / 8] | 0x80 >> x % 8);
        };
        // Bold grows right, or left where the last column has ink and the
        // first none, never into a one-pixel gap between strokes.
        bool right = false, left = false;
        for (int y = 0; y < h; y++) right |= ink(w - 1, y), left |= ink(0, y);
        int dir = right && !left ? -1 : 1;
        for (int y = 0; y < h; y++) {
          int k = y < ascent ? (ascent - 1 - y) / 5 : 0;
          for (int x = 0; x < w; x++) {
            if (!ink(x, y)) continue;
            if (style[2] == 'i') {
              put(x + k, y);
              continue;
            }
            put(x, y);
            if (!ink(x + dir, y) && !ink(x + 2 * dir, y)) put(x + dir, y);
          }
        }
        EXPECT_EQ(hex(fxglyph(styled.out, c)), hex(want)) << c;
      }
    }
}

// A FONTX2 font styled straight to BDF is restyled as it stands; to FONTX2
// it is drawn again through its codes. The two roads meet: the same BDF,
// the same warning, single- and double-byte.
TEST(styles, fontx2tobdf) {
  const struct {
    const char *what;
    std::string font;
    std::vector<std::string> from; // too few codes to guess by
  } fonts[] = {{"8x16", header("S", 8, 16, 0) + noise(256 * 16, 14), {}},
               {"16x16 sjis",
                header("D", 16, 16, 1) +
                    table({{0x8140, 0x817E}, {0x889F, 0x88FC}}) +
                    noise((63 + 94) * 32, 15),
                {"--from", "sjis"}}};
  const std::vector<std::string> styles[] = {
      {"--bold"},
      {"--italic"},
      {"--underline", "--strikeout"},
      {"--bold", "--italic", "--underline", "--strikeout"}};
  for (const auto &f : fonts)
    for (const auto &style : styles) {
      SCOPED_TRACE(std::string(f.what) + " " + style[0] + " (" +
                   std::to_string(style.size()) + ")");
      auto args = [&](std::vector<std::string> a, const char *format) {
        a.insert(a.end(), f.from.begin(), f.from.end());
        a.insert(a.end(), {"-f", format});
        return a;
      };
      proc a = vfont(args(style, "bdf"), f.font),
           b = vfont(args(style, "fontx2"), f.font);
      ASSERT_EQ(a.status, 0) << a.err;
      ASSERT_EQ(b.status, 0) << b.err;
      proc c = vfont(args({}, "bdf"), b.out);
      EXPECT_EQ(a.err, b.err);
      EXPECT_TRUE(a.out == c.out) << a.out.substr(0, 400);
    }
}

// What the bitmap rules push past the cell, the width that keeps it: the
// cell's, a column for bold, one for every five rows above the baseline.
TEST(styles, widthkeeps) {
  std::string font = header("W", 8, 16, 0) + noise(256 * 16, 13);
  for (const auto &c :
       {std::make_pair("--bold", "9"), std::make_pair("--italic", "10"),
        std::make_pair("--both", "11")}) {
    std::vector<std::string> args = {"-w", "8", "-f", "fontx2"};
    if (std::string(c.first) == "--both")
      args.insert(args.begin(), {"--bold", "--italic"});
    else
      args.insert(args.begin(), c.first);
    proc p = vfont(args, font);
    EXPECT_NE(p.err.find(std::string("; -w ") + c.second + " keeps them\n"),
              std::string::npos)
        << p.err;
    args[args.size() - 3] = c.second;
    EXPECT_EQ(vfont(args, font).err.find("lost pixels"), std::string::npos)
        << c.first << " -w " << c.second;
  }
}

// A collection with a bold face of its own: --bold takes it, and says so.
TEST(styles, ownface) {
  ttfplan a, b;
  a.glyphs = {{500, {}}, {500, {ttfbox(200, 0, 300, 700)}}};
  b.glyphs = {{500, {}}, {500, {ttfbox(100, 0, 450, 700)}}};
  a.cmap['I'] = b.cmap['I'] = 1;
  b.macstyle = 1; // bold
  std::string two = ttc({ttf(a), ttf(b)});
  proc own = vfont(
      {"--bold", "-s", "16", "-k", "single", "-w", "8", "-f", "fontx2"}, two);
  proc face = vfont(
      {"--face", "1", "-s", "16", "-k", "single", "-w", "8", "-f", "fontx2"},
      two);
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_TRUE(own.out == face.out) << "not the bold face's glyphs";
  proc info = vfont({"--info", "--bold", "-s", "16"}, two);
  EXPECT_NE(info.out.find("bold: the font's own, face 1"), std::string::npos)
      << info.out;
  // One face only: made; no post table: the bitmap rule, said.
  a.post = false;
  info = vfont({"--info", "--bold", "--underline", "-s", "16"}, ttf(a));
  EXPECT_NE(info.out.find("bold: made: the outline widened a pixel"),
            std::string::npos)
      << info.out;
  EXPECT_NE(info.out.find("underline: the bitmap rule (the font gives no "
                          "underline metrics)"),
            std::string::npos)
      << info.out;
}

// The pictures at the control bytes and the filler at the unused ones, as
// the half-width fonts in circulation have them: the ruled ones within a
// few pixels a glyph, those from the font present, those it lacks named.
TEST(styles, controlpictures) {
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  std::map<std::string, std::string> refs;
  for (const auto &f : realfonts()) refs[f.name] = f.font;
  for (const auto &size : {std::make_pair("16", "ILGH16XB.FNT"),
                           std::make_pair("24", "ILGH24XB.FNT")}) {
    SCOPED_TRACE(size.first);
    proc p = vfont({"--control-pictures", "-s", size.first, "-k", "single",
                    "-f", "fontx2", ipag});
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "dosvfont: warning: " + std::string(ipag) +
                         ": 4 control-byte pictures not in the font, left "
                         "blank: \xE2\x97\x98 (U+25D8), \xE2\x98\xBC (U+263C), "
                         "\xE2\x97\x84 (U+25C4), \xE2\x86\x95 (U+2195)\n");
    for (unsigned b : {0x07u, 0x0Bu, 0x13u, 0x14u, 0x18u, 0x1Au, 0x1Bu})
      EXPECT_GT(ink(fxglyph(p.out, b)), 4u) << b;
    EXPECT_EQ(ink(fxglyph(p.out, 0x80)), 0u);
    proc info = vfont({"--info", "--control-pictures", "-s", size.first, "-k",
                       "single", ipag});
    EXPECT_NE(info.out.find("control pictures: 4 not in the font, left "
                            "blank: \xE2\x97\x98 (U+25D8)"),
              std::string::npos)
        << info.out;
    if (!refs.count(size.second)) continue;
    const std::string &ref = refs[size.second];
    // A font that has its pictures keeps them, every byte.
    proc again = vfont({"--control-pictures", "-f", "fontx2"}, ref);
    EXPECT_EQ(again.err, "");
    EXPECT_TRUE(again.out == ref) << "the font's own pictures were redrawn";
    for (unsigned b : {0x02u, 0x03u, 0x04u, 0x05u, 0x06u, 0x0Cu, 0x10u, 0x15u,
                       0x16u, 0x17u, 0x19u, 0x7Fu, 0x81u, 0xA0u, 0xE0u}) {
      std::string a = fxglyph(p.out, b), r = fxglyph(ref, b);
      size_t differ = 0;
      for (size_t k = 0; k < a.size(); k++)
        differ += static_cast<size_t>(
            __builtin_popcount(static_cast<unsigned char>(a[k] ^ r[k])));
      EXPECT_LE(differ, size.first[0] == '1' ? 2u : 30u) << std::hex << b;
    }
  }
}

// Where styles do not apply.
TEST(styles, refused) {
  std::string sjis =
      header("F", 16, 16, 1) + table({{0x889F, 0x88FC}}) + noise(94 * 32);
  std::string sb = header("F", 8, 16, 0) + noise(256 * 16);
  expectfailures({
      {{"--bold", "-r", "native"},
       sjis,
       2,
       "--bold does not apply to dosv2bdf's text (-r native of a Shift_JIS "
       "or JIS X 0201 font)"},
      {{"--control-pictures", "-f", "fontx2", "-e", "KOI8-R"},
       sb,
       2,
       "--control-pictures applies to single-byte fonts written in CP932's "
       "single bytes (the default; not with -e)"},
      {{"--control-pictures", "-f", "fontx2", "-k", "double"},
       sb,
       2,
       "--control-pictures applies to single-byte fonts written in CP932's "
       "single bytes (the default; not with -e)"},
  });
}

} // namespace

namespace {

// Bold keeps a glyph's counters: no one-pixel gap between two strokes of
// the regular glyph closes, at every outline size up to 24 pixels and for
// bitmap fonts alike.
TEST(styles, counters) {
  std::vector<std::vector<std::string>> fonts;
  for (const char *f : {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"})
    if (!slurp(f).empty())
      for (const char *size : {"12", "16", "24"})
        fonts.push_back({"-s", size, "-k", "single", f});
  if (fonts.empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  for (const auto &f : fonts) {
    SCOPED_TRACE(f[1] + " " + f.back());
    std::vector<std::string> a = {"-f", "fontx2"},
                             b = {"--bold", "-f", "fontx2"};
    a.insert(a.end(), f.begin(), f.end());
    b.insert(b.end(), f.begin(), f.end());
    proc r = vfont(a), bold = vfont(b);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(bold.status, 0) << bold.err;
    ASSERT_EQ(r.out.substr(14, 2), bold.out.substr(14, 2)) << "the same cell";
    int w = static_cast<unsigned char>(r.out[14]);
    int h = static_cast<unsigned char>(r.out[15]);
    size_t rb = (w + 7) / 8, gaps = 0, closed = 0, stems = 0;
    for (unsigned c = 0x21; c < 0x7F; c++) {
      std::string g = fxglyph(r.out, c), k = fxglyph(bold.out, c);
      auto px = [&](const std::string &s, int x, int y) {
        return x >= 0 && x < w &&
               (static_cast<unsigned char>(s[y * rb + x / 8]) >> (7 - x % 8) &
                1);
      };
      for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
          if (px(g, x - 1, y) && !px(g, x, y) && px(g, x + 1, y))
            gaps++, closed += px(k, x, y);
          stems += !px(g, x, y) && px(k, x, y);
        }
    }
    EXPECT_GT(gaps, 0u);
    EXPECT_EQ(closed, 0u) << "of " << gaps << " one-pixel gaps";
    EXPECT_GT(stems, 0u) << "bold made nothing wider";
  }
}

} // namespace
