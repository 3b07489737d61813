// The third round of hostile input: C names that overflow or that C and
// C++ reserve, texts of many distinct characters, outputs named for the
// wrong format, characters that reorder a terminal's line, standard output
// named as a path, files a shell would not replace, salvage of a font that
// announces millions of glyphs, glyphs FreeType cannot load, deep
// composite glyphs and JIS fonts with codes off the grid.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "conv.h"
#include "ttf.h"

namespace {

void put(const std::string &path, const std::string &bytes) {
  FILE *o = fopen(path.c_str(), "wb");
  ASSERT_TRUE(o);
  fwrite(bytes.data(), 1, bytes.size(), o);
  fclose(o);
}

bool exists(const std::string &path) {
  struct stat st;
  return !stat(path.c_str(), &st);
}

std::string sbfont() {
  return header("SB", 8, 16, 0) + noise(256 * 16, 3);
}

// Names that would write past a buffer, or that a compiler rejects, are
// refused before anything is written; a name made of a file's name is one
// both C99 and C++20 compile.
TEST(attack, cnames) {
  scratch dir;
  std::string f = dir.at("sb.fnt");
  put(f, sbfont());
  std::string longname(150, 'a');
  struct {
    std::vector<std::string> args;
    std::string err; // in the message
  } refused[] = {
      {{"-f", "c", "--c-name", longname}, "is longer than 58 characters"},
      {{"-o", dir.at(longname + ".h")}, "is longer than 58 characters"},
      {{"-f", "c", "--c-name", "_Bool"}, "reserve"},
      {{"-f", "c", "--c-name", "_Static_assert"}, "reserve"},
      {{"-f", "c", "--c-name", "a__b"}, "reserve"},
      {{"-f", "c", "--c-name", "_font"}, "reserve"},
      {{"-f", "c", "--c-name", "char8_t"}, "keyword"},
      {{"-f", "c", "--c-name", "co_await"}, "keyword"},
      {{"-f", "c", "--c-name", "concept"}, "keyword"},
      {{"-f", "c", "--c-name", "requires"}, "keyword"},
      {{"-f", "c", "--c-name", "consteval"}, "keyword"},
      {{"-f", "c", "--c-name", "typeof"}, "keyword"},
      {{"-f", "c", "--c-name", "constinit"}, "keyword"},
  };
  for (const auto &c : refused) {
    SCOPED_TRACE(c.args.back());
    std::vector<std::string> a = c.args;
    if (a[0] != "-o") a.insert(a.end(), {"-o", dir.at("out.h")});
    a.push_back(f);
    proc p = vfont(a);
    EXPECT_EQ(p.status, 2) << p.err;
    EXPECT_NE(p.err.find(c.err), std::string::npos) << p.err;
    EXPECT_FALSE(exists(dir.at("out.h")));
    EXPECT_FALSE(exists(dir.at(longname + ".h")));
  }
  if (system("cc --version >/dev/null 2>&1") ||
      system("c++ -std=c++20 -x c++ -fsyntax-only /dev/null 2>/dev/null"))
    GTEST_SKIP() << "needs a C compiler and a C++20 one";
  struct {
    const char *file, *name;
  } made[] = {{"__init__.h", "init"},
              {"---.h", "font"},
              {"8x16_.h", "font_8x16"},
              {"for.h", "for_font"}};
  for (const auto &m : made) {
    SCOPED_TRACE(m.file);
    proc p = vfont({f, "-o", dir.at(m.file)});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(slurp(dir.at(m.file)).find(std::string("char ") + m.name + "[]"),
              std::string::npos);
    std::string use = dir.at("use.c");
    put(use, "#include \"" + dir.at(m.file) + "\"\n#include \"" +
                 dir.at(m.file) + "\"\nint main(void) { return " + m.name +
                 "[0] + (int)" + m.name + "_size; }\n");
    for (const auto &cc : std::vector<std::vector<std::string>>{
             {"/usr/bin/cc", "-std=c99"},
             {"/usr/bin/c++", "-std=c++20", "-x", "c++"}}) {
      std::vector<std::string> a(cc.begin() + 1, cc.end());
      a.insert(a.end(), {"-Wall", "-Wextra", "-Werror", "-Wpedantic", "-c", use,
                         "-o", dir.at("use.o")});
      proc c = run(cc[0], a);
      EXPECT_EQ(c.status, 0) << cc[1] << ": " << c.err;
    }
  }
}

// Characters that reorder or break a terminal's line reach messages
// escaped, as control characters do.
TEST(attack, escapes) {
  for (const char *u :
       {"\u202e", "\u2028", "\u2029", "\u2066", "\u200f", "\u061c", "\ufeff"}) {
    proc p = vfont({std::string("a") + u + "b.fnt"});
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.err.find(u), std::string::npos) << p.err;
    EXPECT_NE(p.err.find("a\\u"), std::string::npos) << p.err;
  }
}

// A text of many distinct characters the fonts lack is drawn and counted
// (in time linear in the text); an output named for another format is
// refused as -f naming it is.
TEST(attack, show) {
  scratch dir;
  std::string f = dir.at("sb.fnt"), text;
  put(f, sbfont());
  for (uint32_t u = 0x4E00; u < 0x4E00 + 100000; u++) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    unsigned char b[4];
    size_t n = u < 0x10000 ? 3 : 4;
    if (n == 3) {
      b[0] = 0xE0 | u >> 12, b[1] = 0x80 | (u >> 6 & 63),
      b[2] = 0x80 | (u & 63);
    } else {
      b[0] = 0xF0 | u >> 18, b[1] = 0x80 | (u >> 12 & 63);
      b[2] = 0x80 | (u >> 6 & 63), b[3] = 0x80 | (u & 63);
    }
    text.append(reinterpret_cast<char *>(b), n);
  }
  put(dir.at("many.txt"), text);
  proc p = vfont({"--show", dir.at("many.txt"), "-o", dir.at("many.png"), f});
  EXPECT_EQ(p.status, 0) << p.err;
  // All but the 63 half-width katakana the font has.
  EXPECT_NE(p.err.find("97889 characters in neither font"), std::string::npos)
      << p.err;
  proc t = vfont({"--show", dir.at("many.txt"), "--target", "hagl", "-o",
                  dir.at("many.png"), f});
  EXPECT_EQ(t.status, 0) << t.err;
  // The largest picture is bounded so that it stays under 300 MB.
  put(dir.at("x.txt"), "x\n");
  proc big = vfont({"--show", dir.at("x.txt"), "--screen", "4096x4096",
                    "--scale", "4", "-o", dir.at("big.png"), f});
  EXPECT_EQ(big.status, 1);
  EXPECT_NE(big.err.find("16384x16384 pixels is too large: at most 134 "
                         "million; use a smaller --scale"),
            std::string::npos)
      << big.err;
  EXPECT_FALSE(exists(dir.at("big.png")));
  proc ok = vfont({"--show", dir.at("x.txt"), "--screen", "4096x4096",
                   "--scale", "2", "-o", dir.at("big.png"), f});
  EXPECT_EQ(ok.status, 0) << ok.err;
  for (const char *ext : {".bdf", ".FNT", ".h", ".c"}) {
    SCOPED_TRACE(ext);
    std::string out = dir.at(std::string("x") + ext);
    proc b = vfont({"--show", dir.at("many.txt"), "-o", out, f});
    EXPECT_EQ(b.status, 2);
    EXPECT_NE(b.err.find("--show draws a PNG picture"), std::string::npos);
    EXPECT_FALSE(exists(out));
  }
}

} // namespace

namespace {

proc shell(const std::string &cmd) {
  return run("/bin/sh", {"-c", cmd});
}

// Standard output named as a path is written where the shell left it, a
// pipe or a file, never replaced; a file the user may not write is
// refused as a shell's > refuses it.
TEST(attack, outputs) {
  scratch dir;
  std::string f = dir.at("sb.fnt"), out = dir.at("out.txt");
  put(f, sbfont());
  std::string prog = DOSVFONT_PROGRAM;
  for (const char *path : {"/dev/stdout", "/proc/self/fd/1"}) {
    SCOPED_TRACE(path);
    proc p = shell("{ echo H; '" + prog + "' -f bdf -o " + path + " '" + f +
                   "'; echo T; } > '" + out + "'");
    EXPECT_EQ(p.status, 0) << p.err;
    std::string s = slurp(out);
    EXPECT_EQ(s.substr(0, 16), "H\nSTARTFONT 2.1\n");
    EXPECT_EQ(s.substr(s.size() - 11), "\nENDFONT\nT\n");
    proc q =
        shell("'" + prog + "' -f bdf -o " + path + " '" + f + "' | head -1");
    EXPECT_EQ(q.out, "STARTFONT 2.1\n") << q.err;
  }
  // As a user: its own file of mode 0444, and root's 0644 file in a
  // folder anyone may write.
  bool root = geteuid() == 0;
  if (root && system("setpriv --version >/dev/null 2>&1"))
    GTEST_SKIP() << "needs setpriv (util-linux) to run as a user";
  chmod(dir.dir.c_str(), 01777);
  chmod(f.c_str(), 0644);
  std::string as = root ? "setpriv --reuid=65534 --regid=65534 "
                          "--clear-groups "
                        : "";
  std::string mine = dir.at("mine.bdf"), theirs = dir.at("theirs.bdf");
  put(mine, "mine\n");
  if (root) chown(mine.c_str(), 65534, 65534);
  chmod(mine.c_str(), 0444);
  put(theirs, "theirs\n");
  chmod(theirs.c_str(), 0644);
  for (const std::string &t : {mine, theirs}) {
    if (!root && t == theirs) continue;
    SCOPED_TRACE(t);
    proc p = shell(as + "'" + prog + "' -o '" + t + "' '" + f + "'");
    EXPECT_EQ(p.status, 1) << p.err;
    EXPECT_NE(p.err.find("Permission denied"), std::string::npos) << p.err;
    EXPECT_EQ(slurp(t).substr(0, 4), t == mine ? "mine" : "thei");
  }
}

// Salvage writes what the file holds: a 1,138-byte font announcing 16
// million glyphs gives the few it has, the rest counted.
TEST(attack, salvage) {
  std::string huge = header("BIG", 255, 255, 1) +
                     table(std::vector<block>(255, {0x0000, 0xFFFF}));
  huge.resize(1138, '\x55');
  scratch dir;
  put(dir.at("huge.fnt"), huge);
  for (const char *format : {"bdf", "fontx2", "png"}) {
    SCOPED_TRACE(format);
    proc p = vfont(
        {"--salvage", "-f", format, "-o", dir.at("out"), dir.at("huge.fnt")});
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find("16711679 glyphs announced past the end of the file "
                         "left out"),
              std::string::npos)
        << p.err;
    EXPECT_LT(slurp(dir.at("out")).size(), 1000000u);
  }
}

} // namespace

namespace {

// A font whose glyphs nest composites without end, or point at
// themselves: refused before FreeType recurses, or each glyph FreeType
// cannot load counted and named, and a font of none refused.
TEST(attack, composites) {
  auto font = [](int chain, int depth, std::vector<int> loops) {
    ttfplan p;
    p.glyphs.push_back({500, {}});
    p.glyphs.push_back({500, {ttfbox(100, 0, 400, 700)}});
    for (int i = 0; i < chain; i++) {
      ttfglyph g{500, {}};
      g.component = 1 + i;
      p.glyphs.push_back(g);
    }
    // Glyphs that point at themselves (a loop of one) or at each other.
    size_t first = p.glyphs.size();
    for (size_t i = 0; i < loops.size(); i++) {
      ttfglyph g{500, {}};
      g.component = static_cast<int>(first) + loops[i];
      p.glyphs.push_back(g);
    }
    if (chain) p.cmap['A'] = static_cast<uint16_t>(chain + 1);
    p.cmap['B'] = 1;
    for (size_t i = 0; i < loops.size(); i++)
      p.cmap['a' + i] = static_cast<uint16_t>(first + i);
    p.componentdepth = depth;
    return ttf(p);
  };
  ttfplan none;
  none.glyphs.push_back({500, {}});
  for (int i = 1; i <= 3; i++) {
    ttfglyph g{500, {}};
    g.component = i; // each itself
    none.glyphs.push_back(g);
    none.cmap['a' + i] = static_cast<uint16_t>(i);
  }
  scratch dir;
  struct {
    const char *what;
    std::string font;
    int status;
    const char *err;
  } cases[] = {
      {"a chain of 30,000", font(30000, 65535, {}), 1,
       "composite glyphs nest deeper than 32 levels"},
      {"a chain that lies in maxp", font(30000, 3, {}), 1,
       "composite glyphs nest deeper than 32 levels"},
      {"32 levels", font(31, 3, {}), 0, nullptr},
      {"loops of one and two", font(0, 3, {0, 2, 1}), 0,
       "3 glyphs FreeType could not load, left blank: 0x61 (U+0061), 0x62 "
       "(U+0062), 0x63 (U+0063)"},
      {"nothing loads", ttf(none), 1, "none of its 3 glyphs can be loaded"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    put(dir.at("f.ttf"), c.font);
    for (std::vector<std::string> a :
         {std::vector<std::string>{"-s", "16", "-o", dir.at("out.FNT")},
          {"--show", dir.at("t.txt"), "-s", "16", "-o", dir.at("out.png")}}) {
      put(dir.at("t.txt"), "AaBbc\n");
      a.push_back(dir.at("f.ttf"));
      proc p = vfont(a);
      EXPECT_EQ(p.status, c.status) << p.err;
      if (c.err) {
        EXPECT_NE(p.err.find(c.err), std::string::npos) << p.err;
      }
      // Nothing left behind, no temporary file beside the output either.
      size_t left = 0;
      if (DIR *d = opendir(dir.dir.c_str())) {
        while (dirent *e = readdir(d))
          left += std::string(e->d_name).compare(0, 4, "out.") == 0;
        closedir(d);
      }
      if (c.status) {
        EXPECT_EQ(left, 0u);
      }
    }
    remove(dir.at("out.FNT").c_str());
    remove(dir.at("out.png").c_str());
  }
}

} // namespace

namespace {

// A JIS X 0208 BDF font with codes off the 94 x 94 grid: the glyphs that
// have nowhere to go are counted and named, whatever the set written.
TEST(attack, offgrid) {
  std::string bdf = "STARTFONT 2.1\nFONT -x-y-medium-r-normal--16-160-75-75-"
                    "c-160-jisx0208.1983-0\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 "
                    "16 0 -2\nSTARTPROPERTIES 4\nCHARSET_REGISTRY "
                    "\"JISX0208.1983\"\nCHARSET_ENCODING \"0\"\nFONT_ASCENT "
                    "14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 8\n";
  for (unsigned c : {0x2121u, 0x2122u, 0x3021u, 0x3022u, 0x0041u, 0x7F7Fu,
                     0x2180u, 0x9999u}) {
    bdf += "STARTCHAR c\nENCODING " + std::to_string(c) +
           "\nSWIDTH 1000 0\nDWIDTH 16 0\nBBX 16 16 0 -2\nBITMAP\n";
    for (int r = 0; r < 16; r++) bdf += "ffff\n";
    bdf += "ENDCHAR\n";
  }
  bdf += "ENDFONT\n";
  scratch dir;
  put(dir.at("jis.bdf"), bdf);
  for (const char *set : {"sjis", "unicode"}) {
    SCOPED_TRACE(set);
    proc p = vfont({"-c", set, "-o", dir.at("out.FNT"), dir.at("jis.bdf")});
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.err.find("4 glyphs left out, at codes that are no character "
                         "of JIS X 0208: 0x0041, 0x2180, 0x7F7F, 0x9999"),
              std::string::npos)
        << p.err;
    EXPECT_EQ(fxcodes(slurp(dir.at("out.FNT"))).size(), 4u);
  }
}

} // namespace

namespace {

// A header cut short holds no font: --info says what it holds and fails.
TEST(attack, fragment) {
  scratch dir;
  put(dir.at("frag.fnt"), "FONTX2ABCD");
  proc p = vfont({"--info", dir.at("frag.fnt")});
  EXPECT_EQ(p.status, 1);
  EXPECT_NE(p.out.find("truncated: the header ends after 10 of its 17 bytes"),
            std::string::npos)
      << p.out;
  EXPECT_EQ(p.out.find("bytes:"), std::string::npos) << p.out;
  EXPECT_NE(p.err.find("no font to describe"), std::string::npos) << p.err;
}

} // namespace
