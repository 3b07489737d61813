// Writes the fuzzers' seed corpus: small FONTX2 fonts of both kinds, made
// here, and the BDF fonts that dosvfont makes of them, numbered by Unicode
// and natively.
// Usage: seeds DIR
#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

#include "dosvfont/pipeline.h"
#include "fuzz.h"
#include "io/stream.h"
#include "ttf.h"
#include "writers/bdfset.h"

namespace {

std::string header(const char *name, int w, int h, int type) {
  std::string s = std::string("FONTX2") + name;
  s.resize(14, ' ');
  s += static_cast<char>(w);
  s += static_cast<char>(h);
  s += static_cast<char>(type);
  return s;
}

std::string bitmap(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; i++) s[i] = static_cast<char>(i * 37 + (i >> 3));
  return s;
}

std::string blocks(const std::vector<unsigned> &codes) {
  std::string s(1, static_cast<char>(codes.size() / 2));
  for (unsigned c : codes)
    s += static_cast<char>(c & 0xFF), s += static_cast<char>(c >> 8);
  return s;
}

// data in the gzip format.
std::string gzipped(const std::string &data) {
  z_stream z = {};
  std::string out(data.size() / 100 + 1024, '\0');
  if (deflateInit2(&z, 9, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    return "";
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef *>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// dosvfont's BDF of a FONTX2 font, or "" when it has none.
std::string bdfof(const std::string &font, int numbering) {
  std::string out, errors;
  options o = {};
  o.format = FMTBDF;
  o.numbering = numbering;
  o.label = o.outlabel = "seed";
  soutsink(&output, append, &out);
  serrsink(append, &errors);
  int status = runfont(&o, reinterpret_cast<const unsigned char *>(font.data()),
                       font.size());
  serrsink(nullptr, nullptr);
  return status ? "" : out;
}

} // namespace

// A TrueType font of a box and a ring at A and B, units per em upem, the
// box reaching reach units out.
std::string outlines(int upem, int reach) {
  ttfplan f;
  f.upem = upem;
  f.ascender = f.winascent = upem * 4 / 5;
  f.descender = -upem / 5, f.windescent = upem / 5;
  f.glyphs = {{upem / 2, {}},
              {upem, {ttfbox(-reach, -reach, reach, reach)}},
              {upem / 2,
               {ttfbox(1, 0, upem / 2 - 1, upem / 2),
                ttfbox(upem / 8, upem / 8, upem / 4, upem / 4)}}};
  f.cmap['A'] = 1, f.cmap['B'] = 2;
  return ttf(f);
}

// A TrueType font whose glyph at A is a chain of depth composites, and
// whose glyphs at B and C point at each other.
std::string composites(int depth) {
  ttfplan f;
  f.glyphs = {{500, {}}, {500, {ttfbox(100, 0, 400, 700)}}};
  for (int i = 0; i < depth; i++) {
    ttfglyph g{500, {}};
    g.component = 1 + i;
    f.glyphs.push_back(g);
  }
  ttfglyph b{500, {}}, c{500, {}};
  b.component = depth + 3, c.component = depth + 2;
  f.glyphs.push_back(b), f.glyphs.push_back(c);
  f.cmap['A'] = static_cast<uint16_t>(depth + 1);
  f.cmap['B'] = static_cast<uint16_t>(depth + 2);
  f.cmap['C'] = static_cast<uint16_t>(depth + 3);
  f.componentdepth = 65535;
  return ttf(f);
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: seeds DIR\n");
    return 2;
  }
  std::vector<std::string> seeds = {
      header("TINY", 4, 4, 0) + bitmap(256 * 4),
      header("DOT8", 8, 8, 0) + bitmap(256 * 8),
      header("WIDE12", 12, 3, 0) + bitmap(256 * 6),
      header("ZERO", 0, 0, 2),
      header("K", 16, 2, 1) + blocks({0x8140, 0x817E, 0x8180, 0x819F}) +
          bitmap(95 * 4),
      header("DOS", 8, 2, 1) + blocks({0x889F, 0x88FC}) + bitmap(94 * 2),
      header("ODD", 3, 3, 1) + blocks({0x817E, 0x8180, 0x0041, 0x0042}) +
          bitmap(5 * 3),
      header("CUT", 8, 8, 1) + blocks({0xFFFE, 0xFFFF}),
      header("E0", 9, 1, 1) + blocks({0xE040, 0xE045, 0xF040, 0xF041}) +
          bitmap(8 * 2),
      // Unicode-coded, and a count that overflowed (300 blocks stored as 44)
      header("UNI", 8, 2, 1) + blocks({0x0020, 0x0027, 0xAC00, 0xAC03}) +
          bitmap(12 * 2),
      header("MANY", 8, 1, 1) + blocks(std::vector<unsigned>(600, 0x4E00)) +
          bitmap(300),
      "FONTX2",
      "FONTX1",
      // Hostile: a few bytes announcing 65536 glyphs of 255 x 255, a
      // gzip of nothing but zeros, BDF fonts with absurd numbers.
      header("BIG", 255, 255, 1) + blocks({0x0000, 0xFFFF}) + bitmap(100),
      gzipped(std::string(1 << 20, '\0')),
      "STARTFONT 2.1\nFONT x\nSIZE 16 75 75\nFONTBOUNDINGBOX 224 246 0 0\n"
      "CHARS 41000\n",
      "STARTFONT 2.1\nFONT x\nSIZE 16 75 75\nFONTBOUNDINGBOX 8 8 0 0\n"
      "STARTPROPERTIES 2\nCHARSET_REGISTRY \"ISO10646\"\n"
      "CHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS 2\nSTARTCHAR a\n"
      "ENCODING 2147483647\nSWIDTH 500 0\nDWIDTH 8 0\n"
      "BBX 255 255 -100000 100000\nBITMAP\nff\nENDCHAR\nSTARTCHAR b\n"
      "ENCODING -7\nSWIDTH 0 0\nDWIDTH -9 0\nBBX 0 0 0 0\nBITMAP\n"
      "ENDCHAR\nENDFONT\n",
      outlines(16, 16383), // a square of 32766 pixels at 16
      outlines(1000, 700),
      composites(40), // deeper than any real font: refused
      composites(3),
  };
  // --show's: a byte of reader and screen, the text's length, the text,
  // a single-byte and a double-byte font.
  const std::string text = "A\xC2\xB0"
                           "B\xE3\x81\x82 \xEF\xBD\xB1\r\nxy\n";
  for (unsigned char pick : {0x00, 0x21, 0x42, 0x63, 0x84, 0xFF})
    seeds.push_back(std::string(1, static_cast<char>(pick)) +
                    static_cast<char>(text.size()) + '\0' + text + seeds[1] +
                    header("S", 8, 8, 1) + blocks({0x829F, 0x82A2}) +
                    bitmap(4 * 8));
  // A line far past the screen's edge, and a text of many distinct
  // characters no font has, drawn with a large font.
  std::string line(60000, 'W'), many;
  for (uint32_t u = 0x4E00; u < 0x4E00 + 20000; u++)
    many += static_cast<char>(0xE0 | u >> 12),
        many += static_cast<char>(0x80 | (u >> 6 & 0x3F)),
        many += static_cast<char>(0x80 | (u & 0x3F));
  for (const std::string *t : {&line, &many})
    for (unsigned char pick : {0x03, 0x05})
      seeds.push_back(std::string(1, static_cast<char>(pick)) +
                      static_cast<char>(t->size() & 0xFF) +
                      static_cast<char>(t->size() >> 8 & 0xFF) + *t +
                      header("BIG32", 32, 32, 0) + bitmap(256 * 4 * 32));
  for (size_t i = 0, n = seeds.size(); i < n; i++)
    for (int numbering : {NUMUNICODE, NUMNATIVE}) {
      std::string bdf = bdfof(seeds[i], numbering);
      if (!bdf.empty()) seeds.push_back(bdf);
    }
  for (size_t i = 0; i < seeds.size(); i++) {
    std::string path = std::string(argv[1]) + "/seed" + std::to_string(i);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f ||
        fwrite(seeds[i].data(), 1, seeds[i].size(), f) != seeds[i].size() ||
        fclose(f) != 0) {
      perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
