// dosvfont, FONTX2 to BDF, as a user runs it, its output read back by
// FreeType and checked against what the C library's iconv says the codes
// mean.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/stat.h>

#include "conv.h"
#include "ftcell.h"

namespace {

// Every glyph of font whose code CP932 decodes and encodes back must be in
// the Unicode BDF at its code point, bit for bit; no code point twice.
void checkunicode(const std::string &font, const std::string &bdf) {
  int w = static_cast<unsigned char>(font[14]);
  int h = static_cast<unsigned char>(font[15]);
  bool wide = font[16] == 1;
  ftfont ft;
  ASSERT_TRUE(ftload(&ft, bdf));
  std::set<long> encodings;
  for (size_t at = 0;
       (at = bdf.find("\nENCODING ", at)) != std::string::npos;) {
    long e = strtol(bdf.c_str() + (at += 10), nullptr, 10);
    ASSERT_TRUE(e < 0 || encodings.insert(e).second) << "claimed twice: " << e;
  }
  std::vector<unsigned> codes = fxcodes(font);
  size_t found = 0;
  std::set<long> seen;
  for (size_t i = 0; i < codes.size(); i++) {
    long u = cp932(codes[i], wide, true);
    bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F);
    if (control || !seen.insert(u).second) continue;
    ASSERT_EQ(ftcell(&ft, static_cast<uint32_t>(u), w, h, h - 2),
              fxglyph(font, i))
        << std::hex << "code " << codes[i] << " U+" << u;
    found++;
  }
  EXPECT_GT(found, 0u);
}

TEST(dosvfont, realfonts) {
  if (fontsdir().empty()) GTEST_SKIP() << nofonts();
  for (const auto &f : realfonts()) {
    SCOPED_TRACE(f.name);
    const std::string &font = f.font;
    proc native = vfont({"-r", "native"}, font);
    EXPECT_EQ(native.status, 0);
    EXPECT_EQ(native.out, conv(font).out);
    proc uni = vfont({}, font);
    EXPECT_EQ(uni.status, 0);
    EXPECT_EQ(uni.err, "");
    checkunicode(font, uni.out);
  }
}

// The bytes of glyph i in glyph data bits, padding bits cleared.
std::string nth(const std::string &bits, int w, int h, size_t i) {
  return fxglyph(header("", w, h, 0) + bits, i);
}

// Fonts made here, each with what FreeType must find in the Unicode BDF.
TEST(dosvfont, charsets) {
  std::vector<block> uni = {
      {0x0020, 0x007E}, {0x3041, 0x3096}, {0xAC00, 0xAC10}};
  // More than 255 blocks: the count byte holds 300 % 256.
  std::vector<block> many;
  for (unsigned i = 0; i < 300; i++)
    many.push_back({0x4E00 + 2 * i, 0x4E00 + 2 * i});
  std::vector<block> plane2 = {{0x8140, 0x8142}, {0xF040, 0xF041}};
  // The NEC duplicate of U+2252 first in the file, then the code CP932
  // maps U+2252 back to; and a code repeated by padding blocks.
  std::vector<block> dups = {
      {0x8790, 0x8790}, {0x81E0, 0x81E0}, {0xFFFF, 0xFFFF}, {0xFFFF, 0xFFFF}};
  const struct {
    const char *what;
    std::string head;
    int w, h;
    size_t glyphs;
    std::string tail;
    std::vector<std::string> args;
    std::vector<std::pair<uint32_t, size_t>> at; // code point, glyph
    std::string err;
  } cases[] = {
      // clang-format off
      {"Unicode-coded", header("UNI16", 16, 16, 1) + table(uni), 16, 16, 198, "", {},
       {{0x41, 0x21}, {0x3042, 96}, {0xAC10, 197}},
       "dosvfont: warning: standard input: codes read as unicode on little evidence "
       "(few codes; sjis decodes 0); -c or --from names the font's set\n"},
      {"overflowed count", header("MANY", 8, 8, 1) + table(many), 8, 8, 300, "", {},
       {{0x4E00, 0}, {0x4E00 + 2 * 299, 299}},
       "dosvfont: warning: standard input: block count 44 read as 300 (more than 255 blocks)\n"},
      {"ISO 8859-5", header("CYR", 8, 16, 0), 8, 16, 256, "", {"--charset", "ISO-8859-5"},
       {{0x430, 0xD0}, {0x41, 0x41}}, ""},
      {"Shift_JIS-2004", header("JIS2004", 16, 16, 1) + table(plane2), 16, 16, 5, "",
       {"-c", "SJIS2004"}, {{0x3000, 0}, {0x20089, 3}}, ""},
      {"duplicates", header("DUP", 12, 12, 1) + table(dups), 12, 12, 4, "", {"-c", "sjis"},
       {{0x2252, 1}}, ""},
      {"trailing bytes", header("KANA", 5, 7, 0), 5, 7, 256, "xyz", {},
       {{0xFF71, 0xB1}, {0x5C, 0x5C}},
       "dosvfont: warning: standard input: 3 bytes after the last glyph ignored\n"},
      // clang-format on
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bits = noise(c.glyphs * ((c.w + 7) / 8) * c.h, c.w);
    proc p = vfont(c.args, c.head + bits + c.tail);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, c.err);
    ftfont ft;
    ASSERT_TRUE(ftload(&ft, p.out));
    // FreeType adds a glyph of its own to a BDF font.
    EXPECT_EQ(static_cast<size_t>(ft.face->num_glyphs), c.glyphs + 1);
    for (const auto &a : c.at)
      EXPECT_EQ(ftcell(&ft, a.first, c.w, c.h, c.h - 2),
                nth(bits, c.w, c.h, a.second))
          << std::hex << "U+" << a.first;
  }
}

// Every way a run can fail: one line, the status, and nothing written.
TEST(dosvfont, failures) {
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::string nofont = header("F", 8, 8, 1) + table({});
  std::string sjis =
      header("F", 8, 8, 1) + table({{0x8140, 0x8140}}) + noise(8);
  scratch s;
  std::string nodir = s.at("no/such/dir/x.bdf");
  expectfailures({
      // clang-format off
      {{"-e", "NO-SUCH-SET"}, font, 2, "-e: unknown character set 'NO-SUCH-SET'"},
      {{"-c", "NO-SUCH-SET"}, font, 2, "-c: unknown code set 'NO-SUCH-SET'"},
      {{"--bogus"}, font, 2, "unknown option '--bogus' (see --help)"},
      {{"-x"}, font, 2, "unknown option '-x' (see --help)"},
      {{"-f"}, font, 2, "option '-f' needs a value (see --help)"},
      {{"-r", "jis"}, font, 2, "-r: unknown value 'jis' (see --help)"},
      {{"a.fnt", "b.fnt"}, font, 2, "one font at a time (two only with --show or --info --target): 'b.fnt' is extra"},
      {{"-c", "sjis2004", "-r", "native"}, sjis, 2,
       "Shift_JIS-2004 has no X11 registry for native numbering; use -r unicode"},
      {{"-e", "CP1125", "-r", "native"}, font, 2,
       "CP1125 has no X11 registry for native numbering; use -r unicode"},
      {{"/no/such.fnt"}, font, 1, "cannot read /no/such.fnt: No such file or directory"},
      {{"/"}, font, 1, "cannot read /: Is a directory"},
      {{}, "not a font at all", 1, "standard input: not a font (neither FONTX2 nor a format FreeType reads)"},
      {{}, header("F", 0, 16, 0), 1, "standard input: cell 0x16 is outside 1-255"},
      {{}, nofont, 1, "standard input: no glyph to convert"},
      {{"-o", nodir}, font, 1, "cannot write " + nodir + ": No such file or directory"},
      // clang-format on
  });
  // A full disk, through a redirection: no system path is an -o here.
  std::ofstream(s.at("f.fnt"), std::ios::binary) << font;
  proc full =
      run("/bin/sh", {"-c", std::string("'") + DOSVFONT_PROGRAM + "' '" +
                                s.at("f.fnt") + "' > /dev/full"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "dosvfont: cannot write standard output: No space left "
                      "on device\n");
}

// The header is named and sized as X11's own fonts are.
TEST(dosvfont, header) {
  std::string head = vfont({}, header("ILGZ16XB", 16, 16, 1) +
                                   table({{0x8140, 0x8140}}) + noise(32))
                         .out;
  EXPECT_EQ(
      head.substr(0, head.find("STARTCHAR")),
      "STARTFONT 2.1\n"
      "FONT -Misc-Ilgz16xb-Medium-R-Normal--16-154-75-75-C-160-ISO10646-1\n"
      "SIZE 15 75 75\nFONTBOUNDINGBOX 16 16 0 -2\nSTARTPROPERTIES 17\n"
      "FOUNDRY \"Misc\"\nFAMILY_NAME \"Ilgz16xb\"\nWEIGHT_NAME \"Medium\"\n"
      "SLANT \"R\"\nSETWIDTH_NAME \"Normal\"\nADD_STYLE_NAME \"\"\n"
      "PIXEL_SIZE 16\nPOINT_SIZE 154\nRESOLUTION_X 75\nRESOLUTION_Y 75\n"
      "SPACING \"C\"\nAVERAGE_WIDTH 160\nCHARSET_REGISTRY \"ISO10646\"\n"
      "CHARSET_ENCODING \"1\"\nDEFAULT_CHAR 12288\nFONT_ASCENT 14\n"
      "FONT_DESCENT 2\nENDPROPERTIES\nCHARS 1\n");
  const struct {
    std::string font;
    std::vector<std::string> lines;
  } cases[] = {
      // A blank name; halves of POINT_SIZE and SIZE round up.
      {header("        ", 16, 32, 0) + noise(256 * 64),
       {"FONT -Misc-Unnamed-Medium-R-Normal--32-307-75-75-C-160-ISO10646-1",
        "SIZE 31 75 75", "SWIDTH 500 0"}},
      // Nothing encoded (0x8540 is no CP932 code): no DEFAULT_CHAR, 16
      // properties.
      {header("X\"Y", 8, 8, 1) + table({{0x8540, 0x8540}}) + noise(8),
       {"STARTPROPERTIES 16", "FAMILY_NAME \"X\"\"y\"", "STARTCHAR fx8540",
        "ENCODING -1"}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> args;
    if (c.font[16] == 1) args = {"-c", "sjis"};
    std::string out = "\n" + vfont(args, c.font).out;
    for (const auto &l : c.lines)
      EXPECT_NE(out.find("\n" + l + "\n"), std::string::npos) << l;
    EXPECT_EQ(out.find("DEFAULT_CHAR") == std::string::npos,
              c.lines[0] == "STARTPROPERTIES 16");
  }
  EXPECT_EQ(vfont({"--version"}).out, "dosvfont 1.0.0\n");
}

// -o replaces a file only when the run succeeds, keeping its mode as a
// shell's > does; a new file gets the mode the umask leaves.
TEST(dosvfont, outputfile) {
  scratch s;
  std::string out = s.at("out.bdf"), fresh = s.at("new.bdf");
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::ofstream(out) << "before";
  chmod(out.c_str(), 0600);
  EXPECT_EQ(vfont({"-o", out}, font.substr(0, 100)).status, 1);
  EXPECT_EQ(slurp(out), "before");
  mode_t mask = umask(022);
  EXPECT_EQ(vfont({"-o", out}, font).status, 0);
  EXPECT_EQ(vfont({"-o", fresh}, font).status, 0);
  umask(mask);
  EXPECT_EQ(slurp(out), vfont({}, font).out);
  struct stat st;
  ASSERT_EQ(stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

} // namespace
