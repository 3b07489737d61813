// dosvfont writing FONTX2 from fonts FreeType reads: round trips, real X11
// fonts read back glyph for glyph, placement and cutting, the code-set
// mappings at their edges, and the failures.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>

#include "codes/sjis.h"
#include "conv.h"
#include "ftcell.h"

namespace {

// A BDF font of hand-made glyphs: code, BBX and rows of hex.
struct bglyph {
  long code;
  int w, h, x, y, advance;
  std::vector<std::string> rows;
};

std::string makebdf(const std::string &charset, int ascent, int descent,
                    const std::vector<bglyph> &glyphs,
                    const std::string &family = "Test") {
  std::string reg = charset.substr(0, charset.rfind('-'));
  std::string enc = charset.substr(charset.rfind('-') + 1);
  std::string s =
      "STARTFONT 2.1\nFONT -Misc-" + family +
      "-Medium-R-Normal--16-160-75-75-C-80-" + charset +
      "\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\n"
      "STARTPROPERTIES 6\nFAMILY_NAME \"" +
      family + "\"\nCHARSET_REGISTRY \"" + reg + "\"\nCHARSET_ENCODING \"" +
      enc + "\"\nFONT_ASCENT " + std::to_string(ascent) + "\nFONT_DESCENT " +
      std::to_string(descent) + "\nPIXEL_SIZE 16\nENDPROPERTIES\nCHARS " +
      std::to_string(glyphs.size()) + "\n";
  for (const auto &g : glyphs) {
    s += "STARTCHAR c" + std::to_string(g.code) + "\nENCODING " +
         std::to_string(g.code) + "\nSWIDTH 500 0\nDWIDTH " +
         std::to_string(g.advance) + " 0\nBBX " + std::to_string(g.w) + " " +
         std::to_string(g.h) + " " + std::to_string(g.x) + " " +
         std::to_string(g.y) + "\nBITMAP\n";
    for (const auto &r : g.rows) s += r + "\n";
    s += "ENDCHAR\n";
  }
  return s + "ENDFONT\n";
}

// Every glyph of a FONTX2 font against the source font's glyph, drawn by
// FreeType into the same cell, for the source code that srccode gives
// (-1: the glyph must be blank). Returns how many were compared.
size_t readback(const std::string &fnt, const std::string &source, int ascent,
                const std::function<long(unsigned)> &srccode) {
  ftfont ft;
  EXPECT_TRUE(ftload(&ft, source));
  int w = static_cast<unsigned char>(fnt[14]),
      h = static_cast<unsigned char>(fnt[15]);
  std::vector<unsigned> codes = fxcodes(fnt);
  size_t compared = 0;
  std::string blank((w + 7) / 8 * h, '\0');
  for (size_t i = 0; i < codes.size(); i++) {
    long c = srccode(codes[i]);
    std::string want =
        c < 0 ? blank : ftcell(&ft, static_cast<uint32_t>(c), w, h, ascent);
    if (want.empty()) want = blank;
    EXPECT_EQ(fxglyph(fnt, i), want) << std::hex << "code " << codes[i];
    if (::testing::Test::HasFailure()) return compared;
    compared += c >= 0;
  }
  return compared;
}

TEST(tofontx, roundtrips) {
  // DOS-era blocks XX40-XXFC, filler glyphs at trail byte 0x7F.
  std::vector<block> dos = {{0x8140, 0x81FC}, {0x889F, 0x88FC}};
  std::string dosfont =
      header("DOS16", 16, 16, 1) + table(dos) + noise(glyphs(dos) * 32, 3);
  std::vector<std::pair<std::string, std::string>> fonts = {
      {"the sample font", slurp(DOSV2BDF_SAMPLE)}};
  for (const auto &f : realfonts()) fonts.push_back({f.name, f.font});
  for (const auto &f : fonts) {
    SCOPED_TRACE(f.first);
    proc p = vfont({"-f", "fontx2"}, conv(f.second).out);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "");
    EXPECT_TRUE(p.out == f.second) << "not byte for byte";
  }
  // Through JIS: every Shift_JIS glyph comes back; through Unicode, every
  // glyph that has a code point.
  proc jis = vfont({"-f", "fontx2"}, conv(dosfont).out);
  EXPECT_EQ(jis.status, 0);
  std::vector<unsigned> back = fxcodes(jis.out), was = fxcodes(dosfont);
  for (size_t i = 0, j = 0; i < was.size(); i++) {
    if (!issjis(static_cast<uint16_t>(was[i]))) continue;
    while (j < back.size() && back[j] < was[i]) j++;
    ASSERT_LT(j, back.size());
    EXPECT_EQ(fxglyph(jis.out, j), fxglyph(dosfont, i)) << std::hex << was[i];
  }
  proc uni = vfont({"-f", "fontx2"}, vfont({"-c", "sjis"}, dosfont).out);
  EXPECT_EQ(uni.status, 0);
  back = fxcodes(uni.out);
  size_t found = 0;
  for (size_t i = 0, j = 0; i < was.size(); i++) {
    if (cp932(was[i], true) < 0) continue;
    while (j < back.size() && back[j] < was[i]) j++;
    if (j < back.size() && back[j] == was[i]) {
      EXPECT_EQ(fxglyph(uni.out, j), fxglyph(dosfont, i)) << std::hex << was[i];
      found++;
    }
  }
  EXPECT_GT(found, 150u);
}

// A FONTX2 font re-coded: Unicode values to Shift_JIS and back; without
// -c, a font keeps its own set.
TEST(tofontx, recode) {
  std::vector<block> kana = {{0x3041, 0x3093}}; // hiragana
  std::string bits = noise(glyphs(kana) * 32, 4);
  std::string uni = header("KANA", 16, 16, 1) + table(kana) + bits;
  proc same = vfont({"-f", "fontx2", "--from", "unicode"}, uni);
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_TRUE(same.out == uni);
  proc sjis = vfont({"-f", "fontx2", "-c", "sjis", "--from", "unicode"}, uni);
  ASSERT_EQ(sjis.status, 0) << sjis.err;
  std::vector<unsigned> codes = fxcodes(sjis.out);
  ASSERT_EQ(codes.size(), glyphs(kana));
  EXPECT_EQ(codes[1], 0x82A0u); // U+3042
  EXPECT_EQ(fxglyph(sjis.out, 1), fxglyph(uni, 1));
  proc back = vfont({"-f", "fontx2", "-c", "unicode"}, sjis.out);
  EXPECT_EQ(back.status, 0);
  EXPECT_TRUE(back.out == uni);
}

// X11's own fonts, where the machine has them, and a bitmap OpenType font
// that fonttosfnt makes.
TEST(tofontx, realfonts) {
  std::string misc = "/usr/share/fonts/X11/misc/";
  const struct {
    const char *file;
    std::vector<std::string> args;
    std::function<long(unsigned)> code; // the source's code for a FONTX2 one
  } fonts[] = {
      // clang-format off
      {"j90-16.pcf.gz", {}, [](unsigned c) -> long { return stoj(static_cast<uint16_t>(c)); }},
      {"8x16rk.pcf.gz", {}, [](unsigned c) -> long { return c; }},
      {"unifont.pcf.gz", {"-k", "double"}, [](unsigned c) { return cp932(c, true); }},
      {"unifont.pcf.gz", {"-k", "single", "-w", "8"}, [](unsigned c) { return cp932(c, false); }},
      // clang-format on
  };
  size_t done = 0;
  for (const auto &f : fonts) {
    // Inflated here: FreeType reads a large gzipped font slowly in place.
    std::string font;
    if (FILE *z = popen(
            ("gzip -dc '" + misc + f.file + "' 2>/dev/null").c_str(), "r")) {
      char buf[1 << 16];
      for (size_t r; (r = fread(buf, 1, sizeof buf, z));) font.append(buf, r);
      pclose(z);
    }
    if (font.empty()) continue;
    SCOPED_TRACE(f.file);
    std::vector<std::string> args = f.args;
    args.insert(args.end(), {"-f", "fontx2", misc + f.file});
    proc p = vfont(args);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_GT(readback(p.out, font, 14, f.code), 150u);
    done++;
  }
  if (std::system("command -v fonttosfnt >/dev/null 2>&1") == 0) {
    // An OpenType bitmap font of the Unicode font made from a FONTX2 font.
    scratch s;
    std::string bdf = s.at("otb.bdf"), otb = s.at("otb.otb");
    std::vector<block> kana = {{0x829F, 0x82F1}};
    std::string fnt =
        header("KANA", 16, 16, 1) + table(kana) + noise(glyphs(kana) * 32, 8);
    std::ofstream(bdf) << vfont({}, fnt).out;
    ASSERT_EQ(
        std::system(("fonttosfnt -o '" + otb + "' '" + bdf + "'").c_str()), 0);
    proc p = vfont({"-f", "fontx2", otb});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.out, fnt);
    done++;
  }
  if (!done)
    GTEST_SKIP() << "no X11 fonts (xfonts-intl-japanese, xfonts-base, "
                    "xfonts-unifont) and no fonttosfnt";
}

// A pixel font sold both as outlines and as bitmaps: the same FONTX2 from
// either at its design size.
TEST(outlines, unifont) {
  std::string otf = "/usr/share/fonts/opentype/unifont/unifont.otf",
              pcf = "/usr/share/fonts/X11/misc/unifont.pcf.gz";
  if (slurp(otf).empty() || slurp(pcf).empty())
    GTEST_SKIP() << "needs fonts-unifont and xfonts-unifont";
  for (const char *kind : {"double", "single"}) {
    proc a =
        vfont({"-s", "16", "-k", kind, "-w", kind[0] == 'd' ? "16" : "8", otf});
    proc b = vfont({"-k", kind, "-w", kind[0] == 'd' ? "16" : "8", pcf});
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_GT(a.out.size(), 4000u);
    EXPECT_TRUE(a.out == b.out) << kind << ": not glyph for glyph";
  }
}

// Placement: origin at column 0, baseline ascent rows down; ink outside
// the cell is cut and counted.
TEST(tofontx, placement) {
  std::vector<bglyph> g = {
      {0x41, 8, 4, 0, 0, 8, {"ff", "81", "81", "ff"}}, // on the baseline
      {0x42, 4, 2, 2, -2, 8, {"f0", "90"}},            // below it, indented
      {0x43, 8, 2, -2, 5, 8, {"ff", "ff"}},            // left of column 0
      {0x44, 10, 1, 0, 0, 10, {"ffc0"}},               // wider than the cell
                                                       // clang-format off
      {0x45, 2, 8, 0, -3, 8, {"c0", "c0", "c0", "c0", "c0", "c0", "c0", "c0"}}, // taller
      {0x46, 8, 3, 0, 0, 8, {}}, // a size, but its bitmap left out
                                                       // clang-format on
  };
  std::string bdf = makebdf("ISO10646-1", 6, 2, g);
  bdf.erase(bdf.find("BBX 8 3 0 0\nBITMAP\n") + 12, 7);
  proc p =
      vfont({"-f", "fontx2", "-w", "8", "-k", "single", "-e", "ASCII"}, bdf);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "dosvfont: warning: standard input: 3 glyphs lost pixels "
                   "outside the 8x8 cell at the sides and at the top and "
                   "bottom: 0x43 (U+0043), 0x44 (U+0044), 0x45 (U+0045); -w "
                   "10 keeps them\n");
  ASSERT_EQ(p.out.size(), 17u + 256 * 8);
  auto cell = [&](unsigned c) { return hex(p.out.substr(17 + c * 8, 8)); };
  EXPECT_EQ(cell(0x41), "0000ff8181ff0000");
  EXPECT_EQ(cell(0x42), "0000000000003c24");
  EXPECT_EQ(cell(0x43), "fc00000000000000");
  EXPECT_EQ(cell(0x44), "0000000000ff0000");
  EXPECT_EQ(cell(0x45), "00c0c0c0c0c0c0c0");
  EXPECT_EQ(cell(0x46), "0000000000000000");
}

// Codes at the edges of the mappings, and a font with more runs of codes
// than a block table holds.
TEST(tofontx, codes) {
  std::vector<bglyph> g;
  for (long u : {0x5C, 0xA5, 0x2252, 0x2460, 0x3042, 0xFF5E, 0xFF71})
    g.push_back({u, 8, 1, 0, 0, 8, {"aa"}});
  std::string bdf = makebdf("ISO10646-1", 1, 0, g);
  const struct {
    const char *kind;
    std::vector<unsigned> codes;
  } cases[] = {{"double", {0x8160, 0x81E0, 0x82A0, 0x8740, 0x8790}},
               {"single", {0x5C, 0xB1}}};
  for (const auto &c : cases) {
    proc p = vfont({"-f", "fontx2", "-k", c.kind}, bdf);
    EXPECT_EQ(p.status, 0) << p.err;
    std::vector<unsigned> inked;
    std::vector<unsigned> all = fxcodes(p.out);
    for (size_t i = 0; i < all.size(); i++)
      if (fxglyph(p.out, i) != std::string(fxglyph(p.out, i).size(), '\0'))
        inked.push_back(all[i]);
    EXPECT_EQ(inked, c.codes) << c.kind;
  }
  // 300 codes two apart: 45 of the gaps of 1 are filled, the lowest first.
  std::vector<bglyph> many;
  for (long i = 0; i < 300; i++)
    many.push_back({0x4E00 + 2 * i, 8, 1, 0, 0, 8, {"80"}});
  proc p = vfont({"-f", "fontx2", "-c", "unicode"},
                 makebdf("ISO10646-1", 1, 0, many));
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "dosvfont: warning: standard input: 300 runs of codes "
                   "joined into 255 blocks with 45 blank glyphs\n");
  EXPECT_EQ(static_cast<unsigned char>(p.out[17]), 255);
  EXPECT_EQ(fxcodes(p.out).size(), 345u);
  EXPECT_EQ(fxcodes(p.out)[2], 0x4E02u);
  EXPECT_EQ(fxcodes(p.out).back(), 0x4E00u + 2 * 299);
}

TEST(tofontx, failures) {
  std::string ascii =
      makebdf("ISO10646-1", 1, 0, {{0x41, 8, 1, 0, 0, 8, {"ff"}}});
  std::vector<bglyph> a = {{0x41, 8, 1, 0, 0, 8, {"ff"}}};
  std::vector<failure> cases = {
      // clang-format off
      {{"-f", "fontx2"}, "STARTFONT 2.1\ngarbage", 1,
       "cannot read standard input: Font header corrupted or missing fields"},
      {{"-f", "fontx2", "-k", "double"}, ascii, 1,
       "standard input: no glyph has a double-byte code of the set"},
      {{"-f", "fontx2"}, makebdf("JISX0212.1990-0", 1, 0, a), 1,
       "cannot read standard input: no mapping for the charset JISX0212.1990-0"},
      {{"-f", "fontx2"}, makebdf("ISO10646-1", 200, 100, a), 1,
       "standard input: cell 8x300 is outside 1-255"},
      {{"-n", "NINECHARS"}, ascii, 2, "-n: 'NINECHARS' is not 1 to 8 printable ASCII characters"},
      {{"-w", "0"}, ascii, 2, "-w: '0' is not a number from 1 to 255"},
      {{"-k", "triple"}, ascii, 2, "-k: unknown value 'triple' (see --help)"},
      // clang-format on
  };
  std::string otf = slurp("/usr/share/fonts/opentype/unifont/unifont.otf");
  if (!otf.empty())
    cases.push_back(
        {{},
         otf,
         2,
         "standard input is an outline font: give a pixel size with -s"});
  expectfailures(cases);
  // Binary output is not for a terminal.
  if (std::system("command -v script >/dev/null 2>&1") == 0) {
    scratch s;
    std::string f = s.at("tty.bdf");
    std::ofstream(f) << ascii;
    std::string cmd = "script -qec \"'" + std::string(DOSVFONT_PROGRAM) +
                      "' '" + f + "'\" '" + s.at("typescript") +
                      "' > /dev/null";
    int st = std::system(cmd.c_str());
    EXPECT_EQ(WEXITSTATUS(st), 2);
  }
}

} // namespace
