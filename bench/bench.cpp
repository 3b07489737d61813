// Throughput and memory benchmark. Not a test: run it by hand on a quiet
// machine.
//
//   dosv2bdf_bench DOSV2BDF [RUNS [DOSVFONT]]
//
// For each of five cell sizes (8 x 16, 16 x 16, 24 x 24, 32 x 32, 64 x 64)
// writes a double-byte font of about 6 MB of random bitmaps from a fixed
// seed (the narrow cells need more glyphs than there are codes, so their
// blocks repeat), converts it once to learn its output, then times RUNS
// (default 21) conversions to /dev/null alternating with `cat` of that
// output to /dev/null, and the same through a pipe (`| cat > /dev/null`
// against `cat FILE | cat > /dev/null`). Prints the medians, their ratios
// and the output rate, and the peak resident memory for a 4 KB and a 6 MB
// font. Times include starting the processes. With DOSVFONT, also times
// it on the 64 x 64 font (Unicode and native numbering with the set
// named, Unicode with the set guessed) against dosv2bdf, and its peak
// memory against the font's size; and, in this process, how long it takes
// to make FONTX2 of a JIS X 0208 BDF font of 7050 16 x 16 glyphs, against
// FreeType alone opening the font and loading every glyph,
// and how long every CP932 double-byte character of IPA Gothic (Debian's
// fonts-ipafont-gothic) takes rendered at 16 pixels, against a bare
// FreeType loop rendering the same glyphs.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "dosvfont/pipeline.h"
#include "io/stream.h"
#include "sources/source.h"

namespace {

void die(const char *what) {
  fprintf(stderr, "dosv2bdf_bench: %s: %s\n", what, strerror(errno));
  exit(2);
}

void writefile(const std::string &path, const std::string &data) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data.data(), 1, data.size(), f) != data.size() ||
      fclose(f) != 0)
    die(path.c_str());
}

std::string header(int w, int h, int type) {
  std::string s = "FONTX2BENCH   ";
  s += static_cast<char>(w);
  s += static_cast<char>(h);
  s += static_cast<char>(type);
  return s;
}

std::string randombytes(size_t n, std::mt19937 &rng) {
  std::string s(n, '\0');
  for (auto &c : s) c = static_cast<char>(rng() >> 24);
  return s;
}

// A double-byte font of w x h cells with about `bytes` of bitmaps: blocks
// of the Shift_JIS rows 0x8140-0x9FFC and 0xE040-0xEFFC, repeated as often
// as it takes.
std::string bigfont(int w, int h, size_t bytes, std::mt19937 &rng) {
  const unsigned rows[][2] = {{0x8140, 0x9FFC}, {0xE040, 0xEFFC}};
  size_t glyph = static_cast<size_t>((w + 7) / 8) * h, glyphs = 0;
  std::string table;
  int n = 0;
  for (int i = 0; glyphs * glyph < bytes && n < 255; i++, n++) {
    unsigned start = rows[i % 2][0], end = rows[i % 2][1];
    size_t left = (bytes - glyphs * glyph + glyph - 1) / glyph;
    if (end - start + 1 > left) end = start + static_cast<unsigned>(left) - 1;
    for (unsigned c : {start, end}) {
      table += static_cast<char>(c & 0xFF);
      table += static_cast<char>(c >> 8);
    }
    glyphs += end - start + 1;
  }
  return header(w, h, 1) + static_cast<char>(n) + table +
         randombytes(glyphs * glyph, rng);
}

pid_t spawn(const std::vector<std::string> &args, int in, int out) {
  pid_t pid = fork();
  if (pid < 0) die("fork");
  if (pid == 0) {
    dup2(in, 0);
    dup2(out, 1);
    // The pipe's other ends must not stay open in the child, or the reader
    // never sees the end of its input.
    for (int fd = 3; fd < 64; fd++) close(fd);
    std::vector<char *> argv;
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

void reap(pid_t pid, const std::string &what) {
  int st;
  if (waitpid(pid, &st, 0) < 0) die("waitpid");
  if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) {
    fprintf(stderr, "dosv2bdf_bench: %s failed\n", what.c_str());
    exit(2);
  }
}

// Seconds for `args < in > out`, or with piped, `args < in | cat > out`.
double run(const std::vector<std::string> &args, const std::string &in,
           bool piped = false, const char *out = "/dev/null") {
  int fi = open(in.c_str(), O_RDONLY);
  int fo = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fi < 0 || fo < 0) die(in.c_str());
  auto t0 = std::chrono::steady_clock::now();
  if (piped) {
    int p[2];
    if (pipe(p) != 0) die("pipe");
    pid_t a = spawn(args, fi, p[1]);
    pid_t b = spawn({"cat"}, p[0], fo);
    close(p[0]);
    close(p[1]);
    reap(a, args[0]);
    reap(b, "cat");
  } else {
    reap(spawn(args, fi, fo), args[0]);
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
  close(fi);
  close(fo);
  return took.count();
}

// Peak resident memory in KB of one conversion, by /usr/bin/time: a child
// forked from this process would start out with this process's own pages
// counted, the fonts generated above among them.
long peakrss(const std::string &prog, const std::string &in,
             const std::string &dir, const std::string &args = "") {
  std::string report = dir + "/rss";
  long kb = -1;
  for (int i = 0; i < 5; i++) {
    std::string cmd = "/usr/bin/time -f %M -o '" + report + "' '" + prog +
                      "' " + args + " < '" + in + "' > /dev/null";
    if (std::system(cmd.c_str()) != 0) return -1;
    FILE *f = fopen(report.c_str(), "r");
    long v = -1;
    if (!f || fscanf(f, "%ld", &v) != 1) v = -1;
    if (f) fclose(f);
    kb = std::max(kb, v);
  }
  unlink(report.c_str());
  return kb;
}

// A JIS X 0208 BDF font: rows 0x21-0x6B of 94 cells, random 16 x 16 glyphs.
std::string jisbdf(std::mt19937 &rng) {
  std::string s = "STARTFONT 2.1\nFONT -Bench-Fixed-Medium-R-Normal--16-150-75-"
                  "75-C-160-JISX0208.1983-0\nSIZE 16 75 75\nFONTBOUNDINGBOX "
                  "16 16 0 -2\nSTARTPROPERTIES 4\nCHARSET_REGISTRY "
                  "\"JISX0208.1983\"\nCHARSET_ENCODING \"0\"\nFONT_ASCENT "
                  "14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 7050\n";
  char line[64];
  for (int row = 0x21; row <= 0x6B; row++)
    for (int cell = 0x21; cell <= 0x7E; cell++) {
      snprintf(line, sizeof line,
               "STARTCHAR %04x\nENCODING %d\nSWIDTH 1000 0\nDWIDTH 16 0\n",
               row << 8 | cell, row << 8 | cell);
      s += line;
      s += "BBX 16 16 0 -2\nBITMAP\n";
      for (int r = 0; r < 16; r++) {
        snprintf(line, sizeof line, "%04x\n",
                 static_cast<unsigned>(rng() & 0xFFFF));
        s += line;
      }
      s += "ENDCHAR\n";
    }
  return s + "ENDFONT\n";
}

void discard(void *, const char *, size_t) {}

template <class F> double best(int runs, F f) {
  double b = 1e9;
  for (int i = 0; i < runs; i++) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    b = std::min(b, d.count());
  }
  return b;
}

// FONTX2 from the JIS font by the whole pipeline, and FreeType's share:
// opening the font and loading each glyph as the pipeline asks for it.
void jisbench(std::mt19937 &rng, int runs) {
  std::string bdf = jisbdf(rng);
  const auto *data = reinterpret_cast<const unsigned char *>(bdf.data());
  double whole = best(runs, [&] {
    options o = {};
    o.format = FMTFONTX2;
    o.kind = -1;
    o.label = o.outlabel = "bench";
    soutsink(&output, discard, nullptr);
    if (runfont(&o, data, bdf.size())) exit(2);
  });
  double freetype = best(runs, [&] {
    FT_Library lib;
    FT_Face face;
    FT_Init_FreeType(&lib);
    FT_New_Memory_Face(lib, data, static_cast<FT_Long>(bdf.size()), 0, &face);
    FT_Select_Size(face, 0);
    FT_UInt index;
    for (FT_ULong c = FT_Get_First_Char(face, &index); index;
         c = FT_Get_Next_Char(face, c, &index)) {
      FT_Load_Glyph(face, index, FT_LOAD_BITMAP_METRICS_ONLY);
      FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
  });
  printf("JIS X 0208 BDF of 7050 16x16 glyphs to FONTX2: %.1f ms, of which "
         "FreeType %.1f ms, ours %.1f ms (%.0f %%)\n",
         whole * 1e3, freetype * 1e3, (whole - freetype) * 1e3,
         100 * (whole - freetype) / whole);
}

// Every CP932 double-byte character of a Japanese outline font rendered at
// 16 pixels into FONTX2, against a bare FreeType loop that loads and
// renders the same glyphs.
void outlinebench(int runs) {
  const char *path = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  FILE *f = fopen(path, "rb");
  if (!f) {
    printf("outline rendering: skipped, no %s (fonts-ipafont-gothic)\n", path);
    return;
  }
  std::string font;
  char buf[1 << 16];
  for (size_t r; (r = fread(buf, 1, sizeof buf, f));) font.append(buf, r);
  fclose(f);
  const auto *data = reinterpret_cast<const unsigned char *>(font.data());
  std::vector<FT_ULong> chars; // the code points of CP932's double-byte codes
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  for (unsigned lead = 0x81; lead <= 0xFC; lead++)
    for (unsigned trail = 0x40; trail <= 0xFC; trail++) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      unsigned char u[8];
      char *ip = in, *op = reinterpret_cast<char *>(u);
      size_t il = 2, ol = sizeof u;
      if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && ol == 4)
        chars.push_back(u[0] | u[1] << 8 | u[2] << 16);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  iconv_close(cd);
  // Every code is drawn, the NEC and IBM duplicates too, in code order.
  // Line: the em 16 pixels wide and round(16 * upem / (winAscent +
  // winDescent)) high; em: 16 by 16.
  FT_Library lib;
  FT_Face face;
  FT_Init_FreeType(&lib);
  FT_New_Memory_Face(lib, data, static_cast<FT_Long>(font.size()), 0, &face);
  const auto *os2 =
      static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  long line = os2->usWinAscent + os2->usWinDescent;
  long ylines = (2 * 16 * face->units_per_EM + line) / (2 * line);
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  const struct {
    const char *name;
    int fit;
    long y;
  } rules[] = {{"line", FITLINE, ylines}, {"em", FITEM, 16}};
  for (const auto &r : rules) {
    size_t glyphs = 0;
    double bare = best(runs, [&] {
      FT_Library l;
      FT_Face f;
      FT_Init_FreeType(&l);
      FT_New_Memory_Face(l, data, static_cast<FT_Long>(font.size()), 0, &f);
      FT_Set_Char_Size(f, 16 * 64, r.y * 64, 72, 72);
      glyphs = 0;
      for (FT_ULong u : chars)
        if (FT_UInt index = FT_Get_Char_Index(f, u)) {
          FT_Load_Glyph(f, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
          glyphs++;
        }
      FT_Done_Face(f);
      FT_Done_FreeType(l);
    });
    double whole = best(runs, [&] {
      options o = {};
      o.format = FMTFONTX2;
      o.kind = 1;
      o.size = 16;
      o.fit = r.fit;
      o.label = o.outlabel = "bench";
      soutsink(&output, discard, nullptr);
      if (runfont(&o, data, font.size())) exit(2);
    });
    printf("IPA Gothic at 16 px, fit %s, %zu CP932 double-byte glyphs: %.1f "
           "ms, %.0f glyphs/s; bare FreeType %.1f ms, %.0f glyphs/s; %.2f x\n",
           r.name, glyphs, whole * 1e3, glyphs / whole, bare * 1e3,
           glyphs / bare, whole / bare);
  }
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: dosv2bdf_bench DOSV2BDF [RUNS [DOSVFONT]]\n");
    return 2;
  }
  std::string prog = argv[1], vfont = argc > 3 ? argv[3] : "";
  int runs = argc > 2 ? atoi(argv[2]) : 21;
  if (runs < 1) runs = 1;

  char tmpl[] = "/tmp/dosv2bdf_bench.XXXXXX";
  if (!mkdtemp(tmpl)) die("mkdtemp");
  std::string dir = tmpl, fnt = dir + "/font.fnt", bdf = dir + "/font.bdf",
              small = dir + "/small.fnt";
  std::mt19937 rng(20261208);

  printf("cell    MB in  MB out   dosv2bdf      cat  ratio     MB/s"
         "   | cat:  ours      cat  ratio\n");
  const int cells[][2] = {{8, 16}, {16, 16}, {24, 24}, {32, 32}, {64, 64}};
  for (const auto &c : cells) {
    std::string font = bigfont(c[0], c[1], 6000000, rng);
    writefile(fnt, font);
    run({prog}, fnt, false, bdf.c_str());
    struct stat st;
    if (stat(bdf.c_str(), &st) != 0) die(bdf.c_str());
    double outmb = static_cast<double>(st.st_size) / 1e6;

    for (int i = 0; i < 3; i++) run({prog}, fnt), run({"cat"}, bdf);
    std::vector<double> ours, cat, ourspipe, catpipe;
    for (int i = 0; i < runs; i++) {
      ours.push_back(run({prog}, fnt));
      cat.push_back(run({"cat"}, bdf));
      ourspipe.push_back(run({prog}, fnt, true));
      catpipe.push_back(run({"cat"}, bdf, true));
    }
    double t = median(ours), k = median(cat);
    double tp = median(ourspipe), kp = median(catpipe);
    printf("%2dx%-2d  %6.1f  %6.1f  %6.2f ms %5.2f ms  %5.2f  %7.0f   |  "
           "%6.2f ms %5.2f ms  %5.2f\n",
           c[0], c[1], static_cast<double>(font.size()) / 1e6, outmb, t * 1e3,
           k * 1e3, t / k, outmb / t, tp * 1e3, kp * 1e3, tp / kp);
    fflush(stdout);
  }

  // The last font made above is the 64 x 64 one.
  if (!vfont.empty()) {
    std::vector<double> ours, uni, native, guessing;
    // The font is Shift_JIS rows, said with -c: its blocks run through
    // codes no Shift_JIS font has, which the guess would weigh otherwise.
    // Without -c, the same run guessing the set from the codes, as a user
    // who names none has it.
    for (int i = 0; i < runs; i++) {
      ours.push_back(run({prog}, fnt));
      uni.push_back(run({vfont, "-c", "sjis"}, fnt));
      native.push_back(run({vfont, "-c", "sjis", "-r", "native"}, fnt));
      guessing.push_back(run({vfont}, fnt));
    }
    double t = median(ours);
    printf("dosvfont on the 64x64 font: Unicode %.2f ms (%.2f x dosv2bdf; "
           "the aim: 2 x at most), native %.2f ms (%.2f x), the set guessed "
           "%.2f ms (%.2f x)\n",
           median(uni) * 1e3, median(uni) / t, median(native) * 1e3,
           median(native) / t, median(guessing) * 1e3, median(guessing) / t);
    writefile(small, header(8, 16, 0) + randombytes(256 * 16, rng));
    struct stat st;
    if (stat(fnt.c_str(), &st) == 0)
      printf("dosvfont peak RSS: %ld KB for the 4 KB font, %ld KB for the "
             "%ld KB font\n",
             peakrss(vfont, small, dir), peakrss(vfont, fnt, dir),
             static_cast<long>(st.st_size / 1024));
  }

  writefile(small, header(8, 16, 0) + randombytes(256 * 16, rng));
  long rsssmall = peakrss(prog, small, dir), rsslarge = peakrss(prog, fnt, dir);
  if (rsssmall < 0 || rsslarge < 0)
    printf("peak RSS: not measured (needs /usr/bin/time, Debian's time)\n");
  else
    printf("peak RSS: %ld KB for the 4 KB font, %ld KB for the 6 MB font\n",
           rsssmall, rsslarge);

  if (!vfont.empty()) {
    serrsink(discard, nullptr); // IPA Gothic's one glyph that loses pixels
    jisbench(rng, runs);
    outlinebench(runs);
  }

  for (const auto &f : {fnt, bdf, small}) unlink(f.c_str());
  rmdir(dir.c_str());
  return 0;
}
