// dosvfont bounded whatever the font: outline and bitmap bombs end at
// once within a memory limit, memory that runs out is a message, closed
// descriptors and signals cannot corrupt or leave files, an empty --text
// selects nothing, and names reach the terminal escaped.
#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

#include "conv.h"
#include "ttf.h"

namespace {

// A sanitizer reserves terabytes of address space: no memory limit then.
#if defined(__SANITIZE_ADDRESS__)
const bool limits = false;
#else
const bool limits = true;
#endif

const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// dosvfont through the shell, under a limit of kb of address space (and
// a minute of processor time, so that a run that would hang fails).
proc limited(const std::string &args, long kb) {
  std::string lim = "ulimit -t 60; ";
  if (limits) lim += "ulimit -v " + std::to_string(kb) + "; ";
  return run("/bin/sh", {"-c", lim + "exec '" + std::string(DOSVFONT_PROGRAM) +
                                   "' " + args});
}

std::string gzipped(const std::string &s) {
  uLongf n = compressBound(s.size());
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef *>(&out[0]), &n,
            reinterpret_cast<const Bytef *>(s.data()), s.size(), 9);
  // compress2 writes zlib; gzip is the same deflate with its own wrapper.
  std::string gz = std::string("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10);
  gz += out.substr(2, n - 6);
  uLong crc = crc32(0, reinterpret_cast<const Bytef *>(s.data()), s.size());
  for (uLong v : {crc, static_cast<uLong>(s.size())})
    for (int i = 0; i < 4; i++) gz += static_cast<char>(v >> (8 * i) & 0xFF);
  return gz;
}

// A TrueType font whose one square, 32766 units a side in an em of 16,
// stands for A to Z: rendered at 16 pixels, a glyph of a gigapixel.
std::string outlinebomb() {
  ttfplan f;
  f.upem = 16, f.ascender = f.winascent = 14;
  f.descender = -2, f.windescent = 2;
  f.glyphs = {{8, {}}, {16, {ttfbox(-16383, -16383, 16383, 16383)}}};
  for (uint32_t c = 'A'; c <= 'Z'; c++) f.cmap[c] = 1;
  return ttf(f);
}

// A BDF font of n glyphs: CHARS lines as given, each glyph's BBX, its
// rows, and a line of the font's own inside each record.
std::string bdftext(const std::string &chars, int n, const std::string &bbx,
                    const std::string &rows, const std::string &inside = "") {
  std::string s = "STARTFONT 2.1\nFONT -x-b-medium-r-normal--16-160-75-75-c-"
                  "80-ISO10646-1\nSIZE 16 75 75\nFONTBOUNDINGBOX 8 16 0 -2\n"
                  "STARTPROPERTIES 4\nFONT_ASCENT 14\nFONT_DESCENT 2\n"
                  "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n"
                  "ENDPROPERTIES\n" +
                  chars;
  for (int i = 0; i < n; i++)
    s += "STARTCHAR c" + std::to_string(i) + "\nENCODING " +
         std::to_string(i + 33) + "\nSWIDTH 500 0\nDWIDTH 8 0\n" + inside +
         "BBX " + bbx + "\nBITMAP\n" + rows + "ENDCHAR\n";
  return s + "ENDFONT\n";
}

// 60,000 BDF records of 4095 x 127 pixels with no rows: 3.9 GB announced.
std::string bdfbomb(size_t *textsize) {
  std::string s = bdftext("CHARS 60000\n", 60000, "4095 127 0 0", "");
  *textsize = s.size();
  return gzipped(s);
}

// A real font with its units per em set to 16: every glyph some hundred
// times its size.
std::string smallem(const std::string &font) {
  std::string f = font;
  size_t tables =
      static_cast<unsigned char>(f[4]) << 8 | static_cast<unsigned char>(f[5]);
  for (size_t t = 0; t < tables; t++)
    if (f.compare(12 + 16 * t, 4, "head") == 0) {
      auto at = [&](size_t k) { return static_cast<unsigned char>(f[k]); };
      size_t e = 12 + 16 * t + 8;
      size_t off = at(e) << 24 | at(e + 1) << 16 | at(e + 2) << 8 | at(e + 3);
      f[off + 18] = 0, f[off + 19] = 16;
    }
  return f;
}

// Bombs: each ends with status 1 and its reason, within a memory limit a
// hundredth of what it once took, and leaves nothing behind.
TEST(bounds, bombs) {
  scratch s;
  std::ofstream(s.at("square.ttf"), std::ios::binary) << outlinebomb();
  size_t text = 0;
  std::ofstream(s.at("bomb.bdf.gz"), std::ios::binary) << bdfbomb(&text);
  struct bomb {
    std::string args, err;
  };
  std::vector<bomb> bombs = {
      {"-s 16 -o '" + s.at("a.fnt") + "' '" + s.at("square.ttf") + "'",
       s.at("square.ttf") + ": cell 32766x16 is outside 1-255"},
      {"--info -s 16 '" + s.at("square.ttf") + "'",
       s.at("square.ttf") + ": cell 32766x16 is outside 1-255"},
      {"-f fontx2 '" + s.at("bomb.bdf.gz") + "'",
       s.at("bomb.bdf.gz") +
           ": announces 3901440000 bytes of glyph bitmaps "
           "in " +
           std::to_string(text) + " bytes of text"},
  };
  std::set<std::string> files = {"square.ttf", "bomb.bdf.gz"};
  for (const char *path : {ipag, "/usr/share/fonts/truetype/dejavu/"
                                 "DejaVuSans.ttf"}) {
    std::string font = slurp(path);
    if (font.empty()) continue;
    std::string name = "em16-" + std::to_string(files.size()) + ".ttf";
    std::ofstream(s.at(name), std::ios::binary) << smallem(font);
    bombs.push_back({"-s 255 --fit em -f fontx2 '" + s.at(name) + "'", ""});
    files.insert(name);
  }
  for (const auto &b : bombs) {
    SCOPED_TRACE(b.args);
    proc p = limited(b.args, 300000);
    EXPECT_EQ(p.status, 1);
    if (!b.err.empty()) {
      EXPECT_EQ(p.err, "dosvfont: " + b.err + "\n");
    } else {
      EXPECT_NE(p.err.find("is outside 1-255\n"), std::string::npos) << p.err;
    }
  }
  // With a width given, the square is drawn where it lands, styled or
  // narrowed too, in the same memory: the ink beyond named. FreeType puts
  // its left edge at the origin (the font's side bearing says 0), so the
  // shear about the baseline shows: tan 12 degrees of each row's height
  // above it, at pixel centres, is left blank.
  const std::string full = std::string(32, 'f'),
                    sheared = "1f1f3f3f3f3f3f7f7f7f7f7fffffffff";
  auto wide = [](const std::string &rows) { // each row's byte, then 0xFF
    std::string w;
    for (size_t i = 0; i < rows.size(); i += 2) w += rows.substr(i, 2) + "ff";
    return w;
  };
  const struct {
    const char *opts;
    std::string cell; // the glyph of A, in hex
  } styled[] = {
      {"-w 16", wide(full)},
      {"-w 16 --bold", wide(full)},
      {"-w 16 --italic", wide(sheared)},
      {"-w 8", full},
      {"-w 8 --bold --italic --underline", sheared},
  };
  for (const auto &c : styled) {
    SCOPED_TRACE(c.opts);
    proc p = limited(std::string("-s 16 ") + c.opts + " -f fontx2 '" +
                         s.at("square.ttf") + "'",
                     60000);
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.err.find("26 glyphs lost pixels outside the "),
              std::string::npos)
        << p.err;
    size_t n = c.cell.size() / 2;
    ASSERT_EQ(p.out.size(), 17 + 256 * n);
    std::string a;
    for (size_t i = 0; i < n; i++) {
      char h[3];
      snprintf(h, sizeof h, "%02x",
               static_cast<unsigned char>(p.out[17 + 'A' * n + i]));
      a += h;
    }
    EXPECT_EQ(a, c.cell);
  }
  EXPECT_EQ(listing(s.dir), files);
}

std::string crlf(const std::string &s) {
  std::string t;
  for (char c : s) t += c == '\n' ? "\r\n" : std::string(1, c);
  return t;
}

// Honest BDF text passes the guard in the shapes real files take, and
// FreeType reads it; what announces more than its text can hold is
// refused before FreeType allocates it, however its lines end.
TEST(bounds, bdfannouncements) {
  std::string rows;
  for (int r = 0; r < 16; r++) rows += r % 2 ? "EE\n" : "B8\n";
  const std::string honest = bdftext("CHARS 94\n", 94, "8 16 0 -2", rows),
                    bomb = bdftext("CHARS 2000\n", 2000, "4095 4095 0 0", "");
  const struct {
    const char *what;
    std::string font;
    const char *refused; // the start of the reason, or null
  } cases[] = {
      {"honest", honest, nullptr},
      {"honest, CRLF", crlf(honest), nullptr},
      {"keywords in names and comments",
       bdftext("COMMENT CHARS 99999999\nCHARS 94\n", 94, "8 16 0 -2", rows,
               "COMMENT BBX 4095 4095 0 0\n"),
       nullptr},
      {"more rows than the box, a row like a keyword",
       bdftext("CHARS 94\n", 94, "8 2 0 -2", "FF\nBBX 4095 4095 0 0\nFF\n"),
       nullptr},
      {"bitmaps", bomb, "announces 4193280000 bytes of glyph bitmaps"},
      {"bitmaps, CRLF", crlf(bomb),
       "announces 4193280000 bytes of glyph bitmaps"},
      {"glyphs", bdftext("CHARS 100000000\n", 2, "8 16 0 -2", rows),
       "announces 100000000 glyphs"},
      {"glyphs, the larger of two",
       bdftext("CHARS 100000000\nCHARS 2\n", 2, "8 16 0 -2", rows),
       "announces 100000000 glyphs"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    proc p = vfont({"-k", "single", "-f", "fontx2"}, c.font);
    if (!c.refused) {
      EXPECT_EQ(p.status, 0) << p.err;
      EXPECT_EQ(p.out.size(), 17u + 256 * 16);
    } else {
      EXPECT_EQ(p.status, 1);
      EXPECT_NE(p.err.find(std::string(": ") + c.refused), std::string::npos)
          << p.err;
    }
  }
}

// A TrueType font a fuzzer made of ours, one glyph of which lands with no
// column in the cell at 7 pixels: nothing is kept of it, and nothing is
// copied from nowhere (the sanitizers' complaint before).
TEST(bounds, glyphwithnocolumn) {
  const std::string hex =
      "000100000009008000fdffefb0acd0d0000000000000009c00000060636d617000000000"
      "000000fc00000034676c796600000244000001300000005c68656164000000000000018c"
      "000000366868656100000000000001c400000024686d747800000000000001e80000000c"
      "6c6f636100000000000001f4000000106d617870000000000000020400000020706f7374"
      "000000000000022400000020000400080190000500000001000100010001000100010001"
      "0001003200fa000000000000000000000000000000000000000000000000000000005445"
      "535400400020ffff000cfffd0000000c0002000000010000000001f402bc000000200000"
      "00000001000300010000000c000400280000000600040001000200410042ffff00000041"
      "0042ffffffc0ffc00001000000000000000340fe3f013fff3fff0003000001010101c001"
      "00007ffe0000c0017ffe0000800200000002000100000007000800030007000001010101"
      "010101010001000000060000ff00fb0000020000000000080000fff8000200020000fffe"
      "0001000000010000000000005f0f3cf5000b001000000000000000000000000000000000"
      "c001c0013fff3fff00000008000200010000000000010000000cfffd00000010c0010000"
      "3fff000100000000000000000000000000000003000800000010000000082afa00000000"
      "00000000000000240000005c000100000003000800020000000000000000000000000000"
      "00000000000003000000000000ff9c0032000000000000000000000001009fff00000000"
      "0000000000";
  std::string font;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    font += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  proc p = vfont({"-s", "7", "-k", "single", "-f", "fontx2"}, font);
  EXPECT_TRUE(p.status == 0 || p.status == 1) << p.err;
  EXPECT_EQ(p.err.find("runtime error"), std::string::npos) << p.err;
}

// Memory that runs out is one line and status 1, the output removed.
TEST(bounds, outofmemory) {
  if (!limits) GTEST_SKIP() << "no memory limit under a sanitizer";
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  scratch s;
  proc p = limited(std::string("-s 200 -o '") + s.at("big.fnt") + "' " + ipag,
                   60000);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: out of memory\n");
  EXPECT_TRUE(listing(s.dir).empty());
}

// Closed descriptors: a closed standard error cannot become the output
// file (its warning would land in the font), a closed standard output is
// refused where output goes there, in both programs.
TEST(bounds, closeddescriptors) {
  scratch s;
  ttfplan f;
  f.glyphs = {{500, {}}, {500, {ttfbox(-300, 0, 900, 700)}}}; // wider
  f.cmap['A'] = 1;
  std::ofstream(s.at("wide.ttf"), std::ios::binary) << ttf(f);
  std::ofstream(s.at("f.fnt"), std::ios::binary)
      << header("F", 8, 8, 0) + noise(256 * 8);
  std::string vf = std::string("'") + DOSVFONT_PROGRAM + "' ",
              v2 = std::string("'") + DOSV2BDF_PROGRAM + "' ";
  proc warned = vfont({"-s", "16", "-w", "8", s.at("wide.ttf")});
  ASSERT_NE(warned.err, "");
  const struct {
    std::string cmd;
    int status;
    std::string err;
  } cases[] = {
      {vf + "-s 16 -w 8 -o '" + s.at("o.fnt") + "' '" + s.at("wide.ttf") +
           "' 2>&-",
       0, ""},
      {vf + "'" + s.at("f.fnt") + "' 2>&1 >&-", 1,
       "dosvfont: standard output is closed\n"},
      {vf + "--help 2>&1 >&-", 1, "dosvfont: standard output is closed\n"},
      {vf + "<&- 2>&1 >/dev/null", 1, "dosvfont: standard input is closed\n"},
      {v2 + "< '" + s.at("f.fnt") + "' 2>&1 >&-", 1,
       "write error: Bad file descriptor\n"},
  };
  for (const auto &c : cases) {
    proc p = run("/bin/sh", {"-c", c.cmd});
    EXPECT_EQ(p.status, c.status) << c.cmd;
    EXPECT_EQ(p.out, c.err) << c.cmd;
  }
  EXPECT_EQ(slurp(s.at("o.fnt")), warned.out);
}

// An empty text, or one of nothing a font holds, selects nothing, in
// every format and from every kind of font: one message and why.
TEST(bounds, emptytexts) {
  scratch s;
  ttfplan f;
  f.glyphs = {{500, {}}, {500, {ttfbox(100, 0, 400, 700)}}};
  f.cmap['A'] = 1;
  std::ofstream(s.at("a.ttf"), std::ios::binary) << ttf(f);
  std::ofstream(s.at("f.fnt"), std::ios::binary)
      << header("F", 8, 8, 0) + noise(256 * 8);
  const struct {
    const char *name, *text, *why;
  } texts[] = {
      {"empty.txt", "", "the text is empty"},
      {"nul.txt", "\0\0\0", "the text holds only control characters"},
      {"ctl.txt", "\n\t\r\x1b", "the text holds only control characters"},
      {"bom.txt", "\xEF\xBB\xBF\n", "the text holds only control characters"},
  };
  for (const auto &t : texts) {
    std::ofstream(s.at(t.name), std::ios::binary)
        << std::string(t.text, t.name[0] == 'n' ? 3 : strlen(t.text));
    for (const char *format : {"bdf", "fontx2", "png"})
      for (const char *font : {"f.fnt", "a.ttf"}) {
        std::vector<std::string> args = {"--text", s.at(t.name), "-f", format,
                                         s.at(font)};
        if (font[0] == 'a') args.insert(args.begin(), {"-s", "16"});
        proc p = vfont(args);
        SCOPED_TRACE(std::string(t.name) + " " + format + " " + font);
        EXPECT_EQ(p.status, 1);
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.err, "dosvfont: " + s.at(font) +
                             ": no glyph is in the --range or --text given\n"
                             "dosvfont: " +
                             s.at(t.name) + ": " + t.why + "\n");
      }
  }
}

// Texts: a huge one of one letter takes the memory of one letter; one
// past 16 MiB is refused, from its size before it is read.
TEST(bounds, texts) {
  scratch s;
  std::ofstream(s.at("f.fnt"), std::ios::binary)
      << header("F", 8, 8, 0) + noise(256 * 8);
  std::string a(16 << 20, 'A');
  std::ofstream(s.at("a.txt"), std::ios::binary) << a;
  std::ofstream(s.at("b.txt"), std::ios::binary) << a + "A";
  proc p = limited("--text '" + s.at("a.txt") + "' -f fontx2 '" +
                       s.at("f.fnt") + "'",
                   120000);
  EXPECT_EQ(p.status, 0) << p.err;
  p = limited("--text '" + s.at("b.txt") + "' '" + s.at("f.fnt") + "'", 120000);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err,
            "dosvfont: " + s.at("b.txt") + ": text larger than 16 MiB\n");
  // A font file past the input's bound is refused from its size: a sparse
  // one, never read (the memory limit would stop a reading).
  int fd = open(s.at("huge.fnt").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, (off_t{1} << 30) + 1), 0);
  close(fd);
  p = limited("'" + s.at("huge.fnt") + "'", 120000);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: " + s.at("huge.fnt") +
                       ": larger than 1024 MiB, the most dosvfont reads\n");
}

// Every signal that ends a run by default ends it as it would have, and
// leaves neither a temporary file nor a changed output.
TEST(bounds, signals) {
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  for (int sig : {SIGQUIT, SIGABRT, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
                  SIGXCPU, SIGPROF, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(sig));
    scratch s;
    std::string out = s.at("out.fnt");
    std::ofstream(out) << "before";
    pid_t pid = fork();
    if (!pid) {
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execl(DOSVFONT_PROGRAM, DOSVFONT_PROGRAM, "-s", "160", "-o", out.c_str(),
            ipag, static_cast<char *>(nullptr));
      _exit(127);
    }
    // Once the temporary file is there, the run is writing.
    for (int i = 0; i < 2000 && listing(s.dir).size() < 2; i++)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(listing(s.dir).size(), 2u) << "no temporary file seen";
    kill(pid, sig);
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == sig) << st;
    EXPECT_EQ(slurp(out), "before");
    EXPECT_EQ(listing(s.dir), std::set<std::string>{"out.fnt"});
  }
}

// Names and values reach messages as printable text, one line each.
TEST(bounds, printablenames) {
  scratch s;
  std::string font =
      header("F", 8, 8, 1) + table({{0x8140, 0x8140}}) + noise(8);
  std::string evil = s.at("evil\ndosvfont: all good, 0 errors\x1b[2K.fnt");
  std::ofstream(evil, std::ios::binary) << font;
  proc p = vfont({"--range", "0-1", evil});
  EXPECT_EQ(p.err, "dosvfont: " + s.at("") +
                       "evil\\ndosvfont: all good, 0 errors\\x1b[2K.fnt: no "
                       "glyph is in the --range or --text given\n"
                       "dosvfont: --range 0000-0001 holds none of the font's "
                       "codes\n");
  p = vfont({"-n", "\x1b[31mRED", "-f", "fontx2", "-e", "KOI8-R", evil});
  EXPECT_EQ(p.err, "dosvfont: -n: '\\x1b[31mRED' is not 1 to 8 printable "
                   "ASCII characters\n");
  p = vfont({std::string("bad\xff\xc2\x85") + "name"});
  EXPECT_EQ(p.err, "dosvfont: cannot read bad\\xff\\u0085name: No such file "
                   "or directory\n");
  p = vfont({"--info", "-c", "unicode", evil});
  EXPECT_NE(p.out.find("name: F\n"), std::string::npos) << p.out;
}

// The smaller ones: -o - is standard output, --range and --text once,
// ambiguous options named, collections' faces.
TEST(bounds, commandline) {
  scratch s;
  std::string font = header("F", 8, 8, 0) + noise(256 * 8);
  std::ofstream(s.at("t.txt")) << "A";
  expectfailures({
      {{"--range", "0-1", "--range", "2-3"}, font, 2, "--range given twice"},
      {{"--text", s.at("t.txt"), "--text", s.at("t.txt")},
       font,
       2,
       "--text given twice"},
      {{"--f=em"},
       font,
       2,
       "option '--f=em' is ambiguous: --format, --fit, --foundry, --face, "
       "--from (see --help)"},
      {{"--range", "0-0", "-f", "fontx2", "--from", "sjis"},
       header("F", 8, 8, 1) + table({{0x8140, 0x8140}}) + noise(8),
       1,
       "standard input: no glyph is in the --range or --text given\n"
       "dosvfont: --range 0000-0000 holds none of the font's codes"},
  });
  proc p = vfont({"-o", "-"}, font);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.out, vfont({}, font).out);
  EXPECT_TRUE(listing(s.dir) == std::set<std::string>{"t.txt"});
  // A collection of two faces: the first by default, the second chosen,
  // both listed by --info, a third refused.
  ttfplan a, b;
  a.glyphs = {{500, {}}, {500, {ttfbox(100, 0, 400, 700)}}};
  b.glyphs = {{500, {}}, {500, {ttfbox(0, 0, 500, 300)}}};
  a.cmap['A'] = b.cmap['A'] = 1;
  std::string two = ttc({ttf(a), ttf(b)});
  proc first = vfont({"-s", "10", "-f", "fontx2"}, two),
       second = vfont({"-s", "10", "--face", "1", "-f", "fontx2"}, two);
  EXPECT_EQ(first.out, vfont({"-s", "10", "-f", "fontx2"}, ttf(a)).out);
  EXPECT_EQ(second.out, vfont({"-s", "10", "-f", "fontx2"}, ttf(b)).out);
  EXPECT_NE(first.out, second.out);
  p = vfont({"--info"}, two);
  EXPECT_NE(p.out.find("faces: 2, this one face 0 (--face chooses)\n"),
            std::string::npos)
      << p.out;
  expectfailures({{{"-s", "10", "--face", "2"},
                   two,
                   2,
                   "standard input has 2 faces: --face takes 0 to 1"}});
}

} // namespace
