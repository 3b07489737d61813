// Assembles the sample FONTX2 font from the drawings in glyphs.txt.
// Usage: mkfont GLYPHS OUT
//
// The font is a 16 x 16 double-byte font named SAMPLE16: each 8 x 8 drawing
// has every pixel doubled, and runs of consecutive codes become code blocks.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct drawing {
  unsigned code;
  std::vector<std::string> rows;
};

[[noreturn]] void fail(const std::string &why) {
  fprintf(stderr, "mkfont: %s\n", why.c_str());
  exit(1);
}

std::vector<drawing> readglyphs(const char *path) {
  std::ifstream in(path);
  if (!in) fail(std::string("cannot read ") + path);
  std::vector<drawing> glyphs;
  std::string line;
  int lineno = 0;
  while (std::getline(in, line)) {
    lineno++;
    if (line.empty() || line.compare(0, 2, "//") == 0) continue;
    std::string where = std::string(path) + ":" + std::to_string(lineno);
    if (line[0] == '@') {
      unsigned code =
          static_cast<unsigned>(strtoul(line.c_str() + 1, nullptr, 16));
      if (!glyphs.empty() && code <= glyphs.back().code)
        fail(where + ": codes must ascend");
      glyphs.push_back({code, {}});
      continue;
    }
    if (glyphs.empty() || glyphs.back().rows.size() == 8 || line.size() != 8 ||
        line.find_first_not_of(".#") != std::string::npos)
      fail(where + ": expected a row of 8 '.' or '#'");
    glyphs.back().rows.push_back(line);
  }
  for (const auto &g : glyphs)
    if (g.rows.size() != 8) {
      char code[16];
      snprintf(code, sizeof code, "%04X", g.code);
      fail(std::string("the drawing of ") + code + " is not 8 rows high");
    }
  if (glyphs.empty() || glyphs.size() > 255 * 255) fail("no glyphs");
  return glyphs;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: mkfont GLYPHS OUT\n");
    return 2;
  }
  std::vector<drawing> glyphs = readglyphs(argv[1]);

  std::vector<std::pair<unsigned, unsigned>> blocks;
  for (const auto &g : glyphs) {
    if (blocks.empty() || g.code != blocks.back().second + 1)
      blocks.push_back({g.code, g.code});
    else
      blocks.back().second = g.code;
  }
  if (blocks.size() > 255) fail("more than 255 code blocks");

  std::string font = "FONTX2SAMPLE16";
  font += '\x10'; // width
  font += '\x10'; // height
  font += '\x01'; // double-byte
  font += static_cast<char>(blocks.size());
  for (const auto &b : blocks)
    for (unsigned c : {b.first, b.second}) {
      font += static_cast<char>(c & 0xFF);
      font += static_cast<char>(c >> 8);
    }
  for (const auto &g : glyphs)
    for (const auto &row : g.rows) {
      unsigned bits = 0;
      for (int x = 0; x < 8; x++)
        if (row[x] == '#') bits |= 3u << (14 - 2 * x);
      for (int twice = 0; twice < 2; twice++) {
        font += static_cast<char>(bits >> 8);
        font += static_cast<char>(bits & 0xFF);
      }
    }

  FILE *out = fopen(argv[2], "wb");
  if (!out || fwrite(font.data(), 1, font.size(), out) != font.size() ||
      fclose(out) != 0)
    fail(std::string("cannot write ") + argv[2]);
  return 0;
}
