// The third round of hostile input: C names that overflow or that C and
// C++ reserve, texts of many distinct characters, outputs named for the
// wrong format, characters that reorder a terminal's line, standard output
// named as a path, files a shell would not replace, salvage of a font that
// announces millions of glyphs, glyphs FreeType cannot load, deep
// composite glyphs and JIS fonts with codes off the grid.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "conv.h"

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
