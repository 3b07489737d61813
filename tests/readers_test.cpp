// Real readers of the output: FreeType must return, glyph for glyph, the
// bitmap bytes of the input and find every encoded glyph by its code, and
// bdftopcf must accept the font without a word.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sys/wait.h>

#include "conv.h"

#if DOSV2BDF_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace {

struct sample {
  std::string what;
  std::string font;
};

// Fonts built here, plus the shared real fonts where they are present.
std::vector<sample> samples() {
  // DOS-era layout: each lead byte's row is one block XX40-XXFC, with a
  // filler glyph at trail byte 0x7F.
  std::vector<block> dos = {
      {0x8140, 0x81FC}, {0x8240, 0x82FC}, {0x889F, 0x88FC}, {0xE040, 0xE0FC}};
  std::vector<block> embedded = {{0x8140, 0x817E}, {0x8180, 0x81FC}};
  std::vector<sample> s = {
      {"8x16 single-byte", header("S8X16", 8, 16, 0) + noise(256 * 16, 1)},
      {"12x24 single-byte", header("S12", 12, 24, 0) + noise(256 * 48, 2)},
      {"5x7 single-byte", header("S5", 5, 7, 0) + noise(256 * 7, 3)},
      {"16x16 DOS blocks",
       header("DOS16", 16, 16, 1) + table(dos) + noise(glyphs(dos) * 32, 4)},
      {"24x24 embedded blocks", header("EMB24", 24, 24, 1) + table(embedded) +
                                    noise(glyphs(embedded) * 72, 5)},
      {"12x12 DOS blocks",
       header("DOS12", 12, 12, 1) + table(dos) + noise(glyphs(dos) * 24, 6)},
  };
  s.push_back({"the sample font", slurp(DOSV2BDF_SAMPLE)});
  for (const auto &f : realfonts()) s.push_back({f.name, f.font});
  return s;
}

// The input bytes of glyph i, as the file holds them.
std::string glyphbytes(const std::string &font, size_t i) {
  int w = static_cast<unsigned char>(font[14]);
  int h = static_cast<unsigned char>(font[15]);
  size_t at = 17;
  if (font[16] == 1) at += 1 + 4 * static_cast<unsigned char>(font[17]);
  size_t size = static_cast<size_t>((w + 7) / 8) * h;
  return font.substr(at + i * size, size);
}

TEST(readers, freetype) {
#if !DOSV2BDF_FREETYPE
  GTEST_SKIP() << "FreeType was not found when the tests were built";
#else
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  for (const auto &s : samples()) {
    SCOPED_TRACE(s.what);
    result r = conv(s.font);
    ASSERT_EQ(r.status, 0);
    int w = static_cast<unsigned char>(s.font[14]);
    int h = static_cast<unsigned char>(s.font[15]);
    bdffont f;
    ASSERT_EQ(parsebdf(r.out, w, h, &f), "");

    FT_Face face;
    ASSERT_EQ(
        FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte *>(r.out.data()),
                           static_cast<FT_Long>(r.out.size()), 0, &face),
        0);
    ASSERT_EQ(face->num_fixed_sizes, 1);
    ASSERT_EQ(FT_Select_Size(face, 0), 0);
    ASSERT_GE(face->num_charmaps, 1);
    ASSERT_EQ(FT_Set_Charmap(face, face->charmaps[0]), 0);

    unsigned char last =
        w % 8 ? static_cast<unsigned char>(0xFF << (8 - w % 8)) : 0xFF;
    size_t rb = (w + 7) / 8;
    std::set<long> codes;
    long encoded = 0;
    for (size_t i = 0; i < f.glyphs.size(); i++) {
      long enc = f.glyphs[i].enc;
      if (enc == -1) continue;
      encoded++;
      ASSERT_TRUE(codes.insert(enc).second) << "code claimed twice: " << enc;
      FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(enc));
      ASSERT_NE(index, 0u) << "code " << enc << " not in the character map";
      ASSERT_EQ(FT_Load_Glyph(face, index, FT_LOAD_DEFAULT), 0);
      const FT_Bitmap &bm = face->glyph->bitmap;
      ASSERT_EQ(bm.pixel_mode, FT_PIXEL_MODE_MONO);
      ASSERT_EQ(static_cast<int>(bm.rows), h);
      ASSERT_EQ(static_cast<int>(bm.width), w);
      std::string want = glyphbytes(s.font, i);
      for (int row = 0; row < h; row++)
        for (size_t k = 0; k < rb; k++) {
          unsigned char b = static_cast<unsigned char>(want[row * rb + k]);
          if (k == rb - 1) b &= last;
          ASSERT_EQ(bm.buffer[row * bm.pitch + k], b)
              << "code " << enc << " row " << row;
        }
    }
    EXPECT_GT(encoded, 0);
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
#endif
}

// The bundled sample: its two blocks, every glyph encoded.
TEST(readers, samplefont) {
  std::string font = slurp(DOSV2BDF_SAMPLE);
  ASSERT_GT(font.size(), 18u);
  result r = conv(font);
  EXPECT_EQ(r.status, 0);
  bdffont f;
  ASSERT_EQ(parsebdf(r.out, 16, 16, &f), "");
  EXPECT_EQ(f.head[2], "FONT -Sample16-Fixed-Medium-R-Normal--16-150-75-75-C-"
                       "160-JISX0208.1983-0");
  ASSERT_EQ(f.glyphs.size(), 20u);
  EXPECT_EQ(f.glyphs[0].enc, 0x2330);  // fullwidth 0
  EXPECT_EQ(f.glyphs[10].enc, 0x2521); // small katakana a
  for (const auto &g : f.glyphs) EXPECT_NE(g.enc, -1) << g.name;
}

// What the readers get: every sample as dosv2bdf writes it and as dosvfont
// writes it, numbered by Unicode.
struct output {
  std::string what, bdf;
  int width, height;
  bool unicode;
};

std::vector<output> outputs() {
  std::vector<output> all;
  for (const auto &s : samples()) {
    int w = static_cast<unsigned char>(s.font[14]);
    int h = static_cast<unsigned char>(s.font[15]);
    all.push_back({s.what + ", dosv2bdf", conv(s.font).out, w, h, false});
    proc p = run(DOSVFONT_PROGRAM, {}, s.font);
    EXPECT_EQ(p.status, 0) << s.what;
    all.push_back({s.what + ", dosvfont", p.out, w, h, true});
  }
  return all;
}

// Runs a command on each output written to a file ("%" in cmd), expecting
// status 0 and nothing on standard error. "@" in cmd is a file for the
// command's own output, in the test's folder: a reader that fails may
// remove its output file, and a system path given as one (/dev/null) would
// go with it.
void accepts(const std::string &cmd, bool unicodeonly) {
  scratch s;
  std::string bdf = s.at("reader.bdf"), err = s.at("reader.err");
  for (const auto &o : outputs()) {
    if (unicodeonly && !o.unicode) continue;
    SCOPED_TRACE(o.what);
    std::ofstream(bdf, std::ios::binary) << o.bdf;
    std::string c = cmd;
    c.replace(c.find('%'), 1, "'" + bdf + "'");
    c.replace(c.find('@'), 1, "'" + s.at("reader.out") + "'");
    int st = std::system((c + " 2> '" + err + "'").c_str());
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << c;
    EXPECT_EQ(slurp(err), "");
  }
}

TEST(readers, bdftopcf) {
  if (std::system("command -v bdftopcf >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "bdftopcf is not installed";
  accepts("bdftopcf -o @ %", false);
}

// fonttosfnt makes the OpenType bitmap fonts that desktops take. (It
// crashes on the empty foundry name that dosv2bdf writes for a blank FONTX2
// name; dosvfont's names are never empty.)
TEST(readers, fonttosfnt) {
  if (std::system("command -v fonttosfnt >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "fonttosfnt is not installed";
  accepts("fonttosfnt -o @ %", true);
}

// fontconfig lists a Unicode font by its name and its cell height.
TEST(readers, fontconfig) {
  if (std::system("command -v fc-query >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "fc-query is not installed";
  scratch s;
  std::string bdf = s.at("reader.bdf");
  for (const auto &o : outputs()) {
    if (!o.unicode) continue;
    std::ofstream(bdf, std::ios::binary) << o.bdf;
    std::string family = o.bdf.substr(o.bdf.find("FAMILY_NAME \"") + 13);
    family.resize(family.find('"'));
    FILE *p = popen(
        ("fc-query -f '%{family} %{pixelsize}' '" + bdf + "'").c_str(), "r");
    char line[256] = "";
    if (!fgets(line, sizeof line, p)) line[0] = '\0';
    pclose(p);
    EXPECT_EQ(std::string(line), family + " " + std::to_string(o.height))
        << o.what;
  }
}

// FontForge takes each glyph's advance from SWIDTH: it must come out as the
// cell width, or every font it exports is spaced wrongly. It opens
// dosvfont's fonts without a warning. (dosv2bdf's SIZE is the cell width,
// which FontForge finds at odds with PIXEL_SIZE in a font that is not
// square.)
TEST(readers, fontforge) {
  if (std::system("/usr/bin/python3 -c 'import fontforge' 2>/dev/null") != 0)
    GTEST_SKIP() << "FontForge's Python module is not installed "
                    "(Debian: python3-fontforge)";
  scratch s;
  std::string script = s.at("ff.py"), report = s.at("ff.out"),
              err = s.at("ff.err");
  std::ofstream(script)
      << "import fontforge, sys\n"
         "a = sys.argv[1:]\n"
         "for path, w in zip(a[0::2], a[1::2]):\n"
         "    f = fontforge.open(path)\n"
         "    px = f.bitmapSizes[0]\n"
         "    bad = [g.glyphname for g in f.glyphs()\n"
         "           if round(g.width * px / f.em) != int(w)]\n"
         "    print(path, len(bad), bad[:3])\n";
  std::string cmd = "/usr/bin/python3 '" + script + "'", want;
  auto all = outputs();
  for (size_t i = 0; i < all.size(); i++) {
    std::string bdf = s.at("dosv2bdf_ff" + std::to_string(i) + ".bdf");
    std::ofstream(bdf, std::ios::binary) << all[i].bdf;
    cmd += " '" + bdf + "' " + std::to_string(all[i].width);
    want += bdf + " 0 []\n";
  }
  ASSERT_EQ(std::system((cmd + " > '" + report + "' 2> '" + err + "'").c_str()),
            0);
  EXPECT_EQ(slurp(report), want);
  std::string warnings = slurp(err);
  for (size_t i = 0; i < all.size(); i++)
    if (all[i].unicode) {
      EXPECT_EQ(warnings.find("dosv2bdf_ff" + std::to_string(i) + ".bdf"),
                std::string::npos)
          << all[i].what << ": " << warnings;
    }
}

} // namespace
