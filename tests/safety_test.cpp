// dosvfont against hostile input and odd outputs: a few bytes announcing
// gigabytes, bombs, strict option values, output files as a shell's
// redirection treats them, and signals that must not leave files behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "conv.h"

namespace {

proc shell(const std::string &cmd) {
  return run("/bin/sh", {"-c", cmd});
}

std::string bdf(const std::string &glyphs, int chars) {
  return "STARTFONT 2.1\nFONT x\nSIZE 16 75 75\nFONTBOUNDINGBOX 8 8 0 0\n"
         "STARTPROPERTIES 2\nCHARSET_REGISTRY \"ISO10646\"\n"
         "CHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS " +
         std::to_string(chars) + "\n" + glyphs + "ENDFONT\n";
}

// Small inputs that announce huge fonts or are not what they claim: each
// is refused at once with one line, writing nothing.
TEST(hostile, inputs) {
  std::string big = header("BIG", 255, 255, 1) + table({{0x0000, 0xFFFF}});
  big.resize(122, '\x55');
  std::string huge = header("BIG", 255, 255, 1) +
                     table(std::vector<block>(255, {0x0000, 0xFFFF}));
  huge.resize(1138, '\x55');
  std::string wild = "STARTCHAR a\nENCODING 2147483647\nSWIDTH 500 0\n"
                     "DWIDTH 8 0\nBBX 255 255 -100000 100000\nBITMAP\nff\n"
                     "ENDCHAR\n";
  std::vector<failure> cases = {
      {{}, big, 1, "standard input: truncated: 0 of 65536 glyphs complete"},
      {{}, huge, 1, "standard input: truncated: 0 of 16711680 glyphs complete"},
      {{"-f", "fontx2"},
       huge,
       1,
       "standard input: truncated: 0 of 16711680 glyphs complete"},
      {{"-f", "png"},
       big,
       1,
       "standard input: truncated: 0 of 65536 glyphs complete"},
      {{"-f", "fontx2"},
       "STARTFONT 2.1\nFONT x\nSIZE 16 75 75\nFONTBOUNDINGBOX 224 246 0 0\n"
       "CHARS 41000\n",
       1,
       "standard input: announces 41000 glyphs in 75 bytes of text"},
      {{"-f", "fontx2"},
       bdf(wild, 1),
       1,
       "standard input: no glyph has a single-byte code of the set"},
      {{"-f", "fontx2", "-c", "unicode", "-k", "double"},
       bdf(wild, 1),
       1,
       "standard input: no glyph has a double-byte code of the set"},
  };
  // 300 MB of zeros in 300 KB of gzip: inflated in steps, never past the
  // limit, whatever the gzip trailer says.
  FILE *z = popen("head -c 300000000 /dev/zero | gzip -1", "r");
  std::string bomb;
  char buf[1 << 16];
  for (size_t r; z && (r = fread(buf, 1, sizeof buf, z));) bomb.append(buf, r);
  if (z) pclose(z);
  if (bomb.size() > 1000)
    cases.push_back({{"-f", "fontx2"},
                     bomb,
                     1,
                     "cannot read standard input: inflates to more than 256 "
                     "MiB"});
  else
    ADD_FAILURE() << "could not make the gzip bomb";
  expectfailures(cases);
}

// A truncated font is refused, salvaged when asked (and the file kept
// though the run fails), and described.
TEST(hostile, truncated) {
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::string cut = font.substr(0, 100);
  proc p = vfont({}, cut);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: standard input: truncated: 10 of 256 glyphs "
                   "complete\n");
  EXPECT_EQ(p.out, "");
  p = vfont({"--salvage"}, cut);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: standard input: unexpected end of input\n");
  EXPECT_EQ(p.out.substr(p.out.size() - 8), "ENDFONT\n");
  scratch s;
  std::string out = s.at("salvaged.bdf");
  EXPECT_EQ(vfont({"--salvage", "-o", out}, cut).status, 1);
  EXPECT_EQ(slurp(out), p.out);
  p = vfont({"--info"}, cut);
  EXPECT_EQ(p.status, 0);
  EXPECT_NE(p.out.find("truncated: 10 of 256 glyphs complete\n"),
            std::string::npos);
}

// Option values are read strictly: no wrap-around, no prefixes, no spaces;
// code sets only where a FONTX2 font can be coded in them.
TEST(hostile, optionvalues) {
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::vector<failure> cases;
  for (const char *r : {"0-100000001", "0x10-20", " 10-20", "10- 20", "20-10",
                        "10", "-10", "10-", "1-10000"})
    cases.push_back({{"--range", r},
                     font,
                     2,
                     std::string("--range: '") + r +
                         "' is not FIRST-LAST, two hex codes 0-FFFF in order"});
  for (const char *w : {" 8", "+8", "8 ", "0", "256", "99999999999999999999"})
    cases.push_back(
        {{"-w", w},
         font,
         2,
         std::string("-w: '") + w + "' is not a number from 1 to 255"});
  cases.push_back({{"--scale", "17"},
                   font,
                   2,
                   "--scale: '17' is not a number from 1 to 16"});
  for (const char *c : {"UTF-8", "UTF-16LE", "UTF-32", "", "ISO-8859-1"})
    cases.push_back(
        {{"-c", c}, font, 2, std::string("-c: unknown code set '") + c + "'"});
  for (const char *e : {"UTF-8", "UTF-16", "CP936", ""})
    cases.push_back({{"-e", e},
                     font,
                     2,
                     std::string("-e: unknown character set '") + e + "'"});
  expectfailures(cases);
  std::string wide =
      header("W", 16, 16, 1) + table({{0x8140, 0x8140}}) + noise(32);
  for (const char *c : {"CP936", "GBK", "GB18030", "BIG5", "CP949", "EUC-KR",
                        "EUC-JP", "sjis", "SJIS2004", "unicode"})
    EXPECT_EQ(vfont({"--info", "-c", c}, wide).status, 0) << c;
  for (const char *e : {"ISO-8859-5", "KOI8-R", "CP437", "cp1251"})
    EXPECT_EQ(vfont({"--info", "-e", e}, font).status, 0) << e;
}

// -o goes where a shell's > would write, through a temporary file beside
// it that never stays behind.
TEST(hostile, outputfiles) {
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::string bdf = vfont({}, font).out;
  scratch s;
  std::string in = s.at("in.fnt");
  std::ofstream(in, std::ios::binary) << font;

  // A dangling link: its target is made, the link stays a link.
  ASSERT_EQ(symlink("target.bdf", s.at("link.bdf").c_str()), 0);
  EXPECT_EQ(vfont({"-o", s.at("link.bdf"), in}).status, 0);
  EXPECT_EQ(slurp(s.at("target.bdf")), bdf);
  struct stat st;
  ASSERT_EQ(lstat(s.at("link.bdf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A loop is an error, and stays a loop.
  ASSERT_EQ(symlink("loop2", s.at("loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", s.at("loop2").c_str()), 0);
  proc p = vfont({"-o", s.at("loop1"), in});
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: cannot write " + s.at("loop1") +
                       ": Too many levels of symbolic links\n");

  // The longest name the folder takes.
  std::string longest = s.at(std::string(251, 'n') + ".bdf");
  EXPECT_EQ(vfont({"-o", longest, in}).status, 0);
  EXPECT_EQ(slurp(longest), bdf);

  // A FIFO is written in place, as a device is.
  ASSERT_EQ(mkfifo(s.at("fifo").c_str(), 0600), 0);
  p = shell("cat '" + s.at("fifo") + "' > '" + s.at("fromfifo") + "' & '" +
            DOSVFONT_PROGRAM + "' -o '" + s.at("fifo") + "' '" + in +
            "'; st=$?; wait; exit $st");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(slurp(s.at("fromfifo")), bdf);

  // --help and --version fail like any other write.
  for (const char *opt : {"--help", "--version"}) {
    p = shell(std::string("'") + DOSVFONT_PROGRAM + "' " + opt +
              " > /dev/full");
    EXPECT_EQ(p.status, 1) << opt;
    EXPECT_EQ(p.err, "dosvfont: cannot write standard output: No space left on "
                     "device\n");
  }
  EXPECT_EQ(listing(s.dir),
            (std::set<std::string>{"in.fnt", "link.bdf", "target.bdf", "loop1",
                                   "loop2", longest.substr(s.dir.size() + 1),
                                   "fifo", "fromfifo"}));
}

// A signal that ends the run leaves the -o file as it was and no temporary
// file: here SIGXFSZ, which a file size limit sends on the first write
// past it, at a known moment.
TEST(hostile, signals) {
  std::string font = header("F", 16, 16, 0) + noise(256 * 32);
  scratch s;
  std::ofstream(s.at("in.fnt"), std::ios::binary) << font;
  std::ofstream(s.at("out.bdf")) << "before";
  proc p = shell("ulimit -f 4; '" + std::string(DOSVFONT_PROGRAM) + "' -o '" +
                 s.at("out.bdf") + "' '" + s.at("in.fnt") + "'");
  EXPECT_EQ(p.status, 128 + SIGXFSZ);
  EXPECT_EQ(slurp(s.at("out.bdf")), "before");
  EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.fnt", "out.bdf"}));
}

} // namespace
