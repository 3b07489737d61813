// Options that cannot change the output are refused, naming when they
// apply; names chosen for BDF fonts; subsets by range and by text; only
// the encoded glyphs; and the messages for inputs that are no font.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/wait.h>

#include "conv.h"
#include "ftcell.h"

namespace {

const char jistext[] = "does not apply to dosv2bdf's text (-r native of a "
                       "Shift_JIS or JIS X 0201 font)";

TEST(options, noneignored) {
  std::string sb = header("SB", 8, 8, 0) + noise(256 * 8);
  std::string db =
      header("DB", 16, 16, 1) + table({{0x889F, 0x88FC}}) + noise(94 * 32, 2);
  std::string pcf = slurp("/usr/share/fonts/X11/misc/8x16rk.pcf.gz");
  std::vector<failure> cases = {
      // clang-format off
      {{"-w", "8"}, sb, 2, "-w applies when FONTX2 is written"},
      {{"-k", "double"}, db, 2, "-k applies when FONTX2 is written"},
      {{"-f", "png", "-w", "8"}, sb, 2, "-w applies when FONTX2 is written"},
      {{"-s", "16"}, sb, 2, "-s applies to fonts other than FONTX2"},
      {{"--fit", "em"}, db, 2, "--fit applies when an outline font is rendered"},
      {{"--scale", "2"}, sb, 2, "--scale applies when a PNG picture is written (a proof sheet, --show)"},
      {{"-e", "CP437"}, db, 2, "-e applies to single-byte fonts"},
      {{"-c", "CP936"}, sb, 2, "-c applies to double-byte fonts"},
      {{"-f", "fontx2", "-e", "CP437", "-k", "double"}, db, 2, "-e applies to single-byte fonts"},
      {{"-f", "fontx2", "-r", "native"}, sb, 2, "-r applies when BDF is written"},
      {{"-f", "png", "-n", "X"}, sb, 2, "-n applies when BDF, FONTX2 or C source is written"},
      {{"-f", "fontx2", "--foundry", "X"}, sb, 2, "--foundry applies when BDF is written"},
      {{"-f", "png", "--encoded-only"}, sb, 2, "--encoded-only applies when BDF is written"},
      {{"-r", "native", "-n", "X"}, db, 2, std::string("-n ") + jistext},
      {{"-r", "native", "--foundry", "X"}, sb, 2, std::string("--foundry ") + jistext},
      {{"-r", "native", "--range", "889F-88A0"}, db, 2, std::string("--range ") + jistext},
      {{"--info", "-n", "X"}, sb, 2, "-n does not apply to --info"},
      {{"--info", "-w", "8"}, sb, 2, "-w does not apply to --info"},
      {{"-n", "Bad-Name"}, sb, 2,
       "-n: 'Bad-Name' is not 1 to 31 printable ASCII characters without - * ? or \""},
      {{"--foundry", std::string(32, 'a')}, sb, 2,
       "--foundry: '" + std::string(32, 'a') +
           "' is not 1 to 31 printable ASCII characters without - * ? or \""},
      {{"-f", "fontx2", "-n", "NINECHARS"}, sb, 2,
       "-n: 'NINECHARS' is not 1 to 8 printable ASCII characters"},
      // clang-format on
  };
  if (!pcf.empty()) {
    cases.push_back({{"--fit", "line"},
                     pcf,
                     2,
                     "--fit applies when an outline font is rendered"});
    cases.push_back(
        {{"--salvage"}, pcf, 2, "--salvage applies to FONTX2 input"});
  }
  expectfailures(cases);
  // What --info takes: the options that change what it says.
  EXPECT_EQ(vfont({"--info", "-e", "KOI8-R"}, sb).status, 0);
  EXPECT_EQ(vfont({"--info", "-c", "unicode"}, db).status, 0);
}

// Inputs that are no font at all, and ranges that say what was checked.
TEST(options, messages) {
  std::string dump = noise(4000, 3); // a raw DOS font dump, say
  expectfailures({
      {{}, "", 1, "standard input: empty file"},
      {{"-f", "fontx2"},
       dump,
       1,
       "standard input: not a font (neither FONTX2 nor a format FreeType "
       "reads)"},
      {{"--scale", "0"}, "x", 2, "--scale: '0' is not a number from 1 to 16"},
      {{"-s", "300"}, "x", 2, "-s: '300' is not a number from 1 to 255"},
      // FreeType's own words where it knew the format.
      {{"-f", "fontx2"},
       "STARTFONT 2.1\ngarbage",
       1,
       "cannot read standard input: Font header corrupted or missing "
       "fields"},
  });
  scratch s;
  std::ofstream(s.at("e.fnt")) << "";
  proc p = vfont({s.at("e.fnt")});
  EXPECT_EQ(p.err, "dosvfont: " + s.at("e.fnt") + ": empty file\n");
}

// Subsets: a FONTX2 input's own codes, or the characters of a text; the
// blocks are the maximal runs of what is kept.
TEST(options, subsets) {
  std::string font = header("KANA", 16, 16, 1) +
                     table({{0x8140, 0x81FC},
                            {0x829F, 0x82F1},
                            {0x8340, 0x8396},
                            {0x889F, 0x88FC}}) +
                     noise((189 + 83 + 87 + 94) * 32, 4);
  proc p = vfont({"--range", "829F-82F1", "-f", "fontx2"}, font);
  ASSERT_EQ(p.status, 0) << p.err;
  std::vector<unsigned> codes = fxcodes(p.out);
  EXPECT_EQ(codes.size(), 83u);
  EXPECT_EQ(codes.front(), 0x829Fu);
  EXPECT_EQ(p.out.substr(17, 5), table({{0x829F, 0x82F1}}));
  // A greeting: its distinct characters, in code order, as maximal runs.
  scratch s;
  std::ofstream(s.at("hello.txt"))
      << "\xEF\xBB\xBF" // a byte order mark
         "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB"
         "\xE3\x81\xA1\xE3\x81\xAF\xE3\x80\x81"
         "\xE4\xBA\x9C\xEF\xBC\x81\n"; // こんにちは、亜！
  p = vfont({"--text", s.at("hello.txt"), "-f", "fontx2"}, font);
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(fxcodes(p.out),
            (std::vector<unsigned>{0x8141, 0x8149, 0x82B1, 0x82BF, 0x82C9,
                                   0x82CD, 0x82F1, 0x889F}));
  EXPECT_EQ(static_cast<unsigned char>(p.out[17]), 8);
  // The same text as a BDF font, and a character the font lacks named.
  std::ofstream(s.at("more.txt")) << "\xE3\x81\x93\xE6\xBC\xA2"; // こ漢
  p = vfont({"--text", s.at("more.txt")}, font);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.out.find("CHARS 1\n") != std::string::npos, true);
  EXPECT_EQ(p.err, "dosvfont: warning: standard input: 1 of the text's 2 "
                   "characters is not in the font: U+6F22 (\xE6\xBC\xA2)\n");
  std::ofstream(s.at("bad.txt")) << "ok\xFF";
  p = vfont({"--text", s.at("bad.txt")}, font);
  EXPECT_EQ(p.err,
            "dosvfont: " + s.at("bad.txt") + ": not UTF-8 text (byte 2)\n");
}

// -n and --foundry name fonts that fontconfig lists apart.
TEST(options, names) {
  std::string font = header("MISC", 8, 16, 0) + noise(256 * 16, 5);
  proc a = vfont({"-n", "Alpha Mono", "--foundry", "Acme", "-e", "ISO-8859-1"},
                 font);
  proc b = vfont({"-n", "Beta", "-e", "ISO-8859-1"}, font);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_NE(a.out.find("FONT -Acme-Alpha Mono-Medium-R-Normal--16-"),
            std::string::npos);
  EXPECT_NE(a.out.find("FOUNDRY \"Acme\"\nFAMILY_NAME \"Alpha Mono\"\n"),
            std::string::npos);
  if (std::system("command -v fc-query >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "fc-query is not installed (Debian: fontconfig)";
  scratch s;
  std::set<std::string> seen;
  for (const proc *p : {&a, &b}) {
    std::string bdf = s.at("f" + std::to_string(seen.size()) + ".bdf");
    std::ofstream(bdf) << p->out;
    FILE *q = popen(
        ("fc-query -f '%{foundry}:%{family}' '" + bdf + "'").c_str(), "r");
    char line[256] = "";
    if (!q || !fgets(line, sizeof line, q)) line[0] = '\0';
    if (q) pclose(q);
    seen.insert(line);
  }
  EXPECT_EQ(seen, (std::set<std::string>{"Acme:Alpha Mono", "Misc:Beta"}));
}

// --encoded-only: FontForge, which gives unencoded glyphs code points of
// its own, then makes an OpenType bitmap font whose character map claims
// only the font's real characters.
TEST(options, encodedonly) {
  // CP932's single bytes: control codes and gaps are unencoded.
  std::string font = header("ENC", 8, 16, 0) + noise(256 * 16, 6);
  proc all = vfont({}, font), only = vfont({"--encoded-only"}, font);
  ASSERT_EQ(only.status, 0) << only.err;
  EXPECT_NE(all.out.find("ENCODING -1\n"), std::string::npos);
  EXPECT_EQ(only.out.find("ENCODING -1\n"), std::string::npos);
  EXPECT_NE(only.out.find("CHARS 158\n"), std::string::npos);
  if (std::system("/usr/bin/python3 -c 'import fontforge' 2>/dev/null") != 0)
    GTEST_SKIP() << "FontForge's Python module is not installed "
                    "(Debian: python3-fontforge)";
  scratch s;
  std::ofstream(s.at("f.bdf")) << only.out;
  std::ofstream(s.at("ff.py"))
      << "import fontforge, sys\n"
         "f = fontforge.open(sys.argv[1])\n"
         "f.generate(sys.argv[2], bitmap_type='otb')\n";
  ASSERT_EQ(
      std::system(("/usr/bin/python3 '" + s.at("ff.py") + "' '" +
                   s.at("f.bdf") + "' '" + s.at("f.otb") + "' 2>/dev/null")
                      .c_str()),
      0);
  ftfont ft;
  ASSERT_TRUE(ftload(&ft, slurp(s.at("f.otb"))));
  ASSERT_EQ(FT_Select_Charmap(ft.face, FT_ENCODING_UNICODE), 0);
  FT_UInt index;
  size_t n = 0;
  for (FT_ULong c = FT_Get_First_Char(ft.face, &index); index;
       c = FT_Get_Next_Char(ft.face, c, &index), n++)
    EXPECT_NE(only.out.find("\nENCODING " + std::to_string(c) + "\n"),
              std::string::npos)
        << std::hex << "U+" << c << " is no character of the font";
  EXPECT_EQ(n, 158u);
}

} // namespace
