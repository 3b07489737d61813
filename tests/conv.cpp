#include "conv.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <iconv.h>
#include <png.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "dosv2bdf/driver.h"
#include "io/stream.h"
#include "writers/bdf.h"

static void append(void *ctx, const char *data, size_t n) {
  static_cast<std::string *>(ctx)->append(data, n);
}

result conv(const std::string &in) {
  result r;
  char msg[256] = "";
  sinmem(&input, in.data(), in.size());
  soutsink(&output, append, &r.out);
  r.status = runfilter(msg, sizeof msg);
  r.msg = msg;
  return r;
}

std::string header(const std::string &name, int width, int height,
                   int codetype) {
  std::string h = "FONTX2" + name;
  h.resize(14, ' ');
  h += static_cast<char>(width);
  h += static_cast<char>(height);
  h += static_cast<char>(codetype);
  return h;
}

std::string table(const std::vector<block> &blocks) {
  std::string s(1, static_cast<char>(blocks.size()));
  for (const auto &b : blocks)
    for (unsigned c : {b.start, b.end}) {
      s += static_cast<char>(c & 0xFF);
      s += static_cast<char>(c >> 8);
    }
  return s;
}

long glyphs(const std::vector<block> &blocks) {
  long n = 0;
  for (const auto &b : blocks)
    if (b.end >= b.start) n += b.end - b.start + 1;
  return n;
}

std::string noise(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (auto &c : s) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = static_cast<char>(x >> 5);
  }
  return s;
}

std::string hex(const std::string &bytes) {
  static const char d[] = "0123456789abcdef";
  std::string s;
  for (unsigned char c : bytes) s += d[c >> 4], s += d[c & 15];
  return s;
}

static bool take(std::istringstream &in, std::string *line) {
  return static_cast<bool>(std::getline(in, *line));
}

std::string parsebdf(const std::string &text, int width, int height,
                     bdffont *f) {
  if (text.empty() || text.back() != '\n') return "no final line feed";
  std::istringstream in(text);
  std::string l;
  while (take(in, &l)) {
    f->head.push_back(l);
    if (l == "ENDPROPERTIES") break;
  }
  if (!take(in, &l) || l.rfind("CHARS ", 0) != 0) return "no CHARS line";
  f->chars = std::stol(l.substr(6));
  std::string rec = "SWIDTH " + std::to_string(swidth(width, height)) +
                    " 0|DWIDTH " + std::to_string(width) + " 0|BBX " +
                    std::to_string(width) + " " + std::to_string(height) +
                    " 0 -2|BITMAP";
  size_t digits = 2 * ((width + 7) / 8);
  while (take(in, &l) && l != "ENDFONT") {
    glyph g;
    if (l.rfind("STARTCHAR ", 0) != 0) return "expected STARTCHAR: " + l;
    g.name = l.substr(10);
    if (!take(in, &l) || l.rfind("ENCODING ", 0) != 0) return "no ENCODING";
    g.enc = std::stol(l.substr(9));
    std::string fixed;
    for (int i = 0; i < 4 && take(in, &l); i++) fixed += (i ? "|" : "") + l;
    if (fixed != rec) return "record lines: " + fixed;
    for (int r = 0; r < height; r++) {
      if (!take(in, &l) || l.size() != digits ||
          l.find_first_not_of("0123456789abcdef") != std::string::npos)
        return "bad bitmap row in " + g.name + ": " + l;
      g.rows.push_back(l);
    }
    if (!take(in, &l) || l != "ENDCHAR") return "no ENDCHAR in " + g.name;
    f->glyphs.push_back(g);
  }
  if (l != "ENDFONT") return "no ENDFONT";
  if (take(in, &l)) return "text after ENDFONT";
  return "";
}

// DOSV2BDF_FONTS names the folder; unset, it is the one beside the project.
static std::string fontsplace() {
  const char *env = getenv("DOSV2BDF_FONTS");
  return env && *env ? env : DOSV2BDF_FONTS;
}

std::string fontsdir() {
  std::string d = fontsplace();
  struct stat st;
  return stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? d : "";
}

std::string nofonts() {
  return "no real fonts at " + fontsplace() +
         " (set DOSV2BDF_FONTS to a folder holding ILGH16XB.FNT, "
         "ILGH24XB.FNT, LATIN32B.FNT, ILGZ16XB.FNT and ILMZ24XB.FNT)";
}

std::vector<named> realfonts() {
  std::vector<named> fonts;
  std::string dir = fontsdir();
  if (!dir.empty())
    for (const char *f : {"ILGH16XB.FNT", "ILGH24XB.FNT", "LATIN32B.FNT",
                          "ILGZ16XB.FNT", "ILMZ24XB.FNT"})
      fonts.push_back({f, slurp(dir + "/" + f)});
  return fonts;
}

std::set<std::string> listing(const std::string &dir) {
  std::set<std::string> names;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d))
      if (strcmp(e->d_name, ".") && strcmp(e->d_name, ".."))
        names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

bool decodepng(const std::string &data, picture *p) {
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    return false;
  image.format = PNG_FORMAT_GRAY;
  p->width = static_cast<int>(image.width);
  p->height = static_cast<int>(image.height);
  p->gray.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, p->gray.data(), 0, nullptr);
}

std::string slurp(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

scratch::scratch() {
  // mkdtemp makes the name unique; the test's name says whose it is.
  const testing::TestInfo *test =
      testing::UnitTest::GetInstance()->current_test_info();
  std::string t =
      testing::TempDir() + "dosv2bdf-" +
      (test ? std::string(test->test_suite_name()) + "." + test->name()
            : std::string("test")) +
      "-XXXXXX";
  if (!mkdtemp(&t[0])) {
    ADD_FAILURE() << "mkdtemp " << t << ": " << strerror(errno);
    abort(); // a test with nowhere of its own to write must not write
  }
  dir = t;
}

scratch::~scratch() {
  nftw(
      dir.c_str(),
      [](const char *path, const struct stat *, int, FTW *) {
        return ::remove(path);
      },
      16, FTW_DEPTH | FTW_PHYS);
}

proc run(const std::string &program, const std::vector<std::string> &args,
         const std::string &in) {
  scratch s;
  std::string fin = s.at("in"), fout = s.at("out"), ferr = s.at("err");
  std::ofstream(fin, std::ios::binary) << in;
  pid_t pid = fork();
  if (pid == 0) {
    int i = open(fin.c_str(), O_RDONLY);
    int o = open(fout.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = open(ferr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(i, 0), dup2(o, 1), dup2(e, 2);
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, slurp(fout), slurp(ferr)};
}

proc vfont(const std::vector<std::string> &args, const std::string &in) {
  return run(DOSVFONT_PROGRAM, args, in);
}

std::vector<unsigned> fxcodes(const std::string &font) {
  std::vector<unsigned> codes;
  if (font[16] != 1) {
    for (unsigned c = 0; c < 256; c++) codes.push_back(c);
    return codes;
  }
  auto at = [&](size_t k) -> unsigned {
    return static_cast<unsigned char>(font[k]);
  };
  for (size_t b = 0; b < at(17); b++)
    for (unsigned c = at(18 + 4 * b) | at(19 + 4 * b) << 8;
         c <= (at(20 + 4 * b) | at(21 + 4 * b) << 8); c++)
      codes.push_back(c);
  return codes;
}

std::string fxglyph(const std::string &font, size_t i) {
  int w = static_cast<unsigned char>(font[14]);
  int h = static_cast<unsigned char>(font[15]);
  size_t at = 17, rb = (w + 7) / 8;
  if (font[16] == 1) at += 1 + 4 * static_cast<unsigned char>(font[17]);
  std::string g = font.substr(at + i * rb * h, rb * h);
  if (w % 8)
    for (size_t r = rb - 1; r < g.size(); r += rb)
      g[r] = static_cast<char>(g[r] & (0xFF << (8 - w % 8)));
  return g;
}

void expectfailures(const std::vector<failure> &cases) {
  for (const auto &c : cases) {
    proc p = vfont(c.args, c.in);
    EXPECT_EQ(p.status, c.status) << c.err;
    EXPECT_EQ(p.err, "dosvfont: " + c.err + "\n");
    EXPECT_EQ(p.out, "") << c.err;
  }
}

long cp932(unsigned code, bool wide, bool back) {
  // Opened once: iconv_open is slow, and the tests ask for every code.
  static iconv_t dec = iconv_open("UTF-32LE", "CP932"),
                 enc = iconv_open("CP932", "UTF-32LE");
  iconv(dec, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {static_cast<char>(wide ? code >> 8 : code),
                static_cast<char>(code)};
  unsigned char u[8], again[8];
  char *ip = in, *op = reinterpret_cast<char *>(u);
  size_t il = wide ? 2 : 1, ol = sizeof u;
  if (iconv(dec, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il ||
      ol != 4)
    return -1;
  long cp = u[0] | u[1] << 8 | u[2] << 16;
  if (!back) return cp;
  iconv(enc, nullptr, nullptr, nullptr, nullptr);
  ip = reinterpret_cast<char *>(u), il = 4;
  op = reinterpret_cast<char *>(again), ol = sizeof again;
  if (iconv(enc, &ip, &il, &op, &ol) == static_cast<size_t>(-1) ||
      sizeof again - ol != (wide ? 2u : 1u) ||
      static_cast<unsigned>(wide ? again[0] << 8 | again[1] : again[0]) != code)
    return -1;
  return cp;
}
