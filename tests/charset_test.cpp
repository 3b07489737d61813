// Single-byte charsets without being told: found in a file's name, kept
// from a font's own registry, DOS's pictures at the control bytes, and a
// warning for characters the set written cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "conv.h"
#include "ftcell.h"

namespace {

// The ENCODING of each glyph of a BDF text, in order.
std::vector<long> encodings(const std::string &bdf) {
  std::vector<long> e;
  for (size_t at = 0; (at = bdf.find("\nENCODING ", at)) != std::string::npos;
       at++)
    e.push_back(std::stol(bdf.substr(at + 10)));
  return e;
}

// What the file's name says a single-byte font is: a charset name as a
// whole word, or nothing.
TEST(charsets, fromthefilename) {
  std::string font = header("MISC", 8, 8, 0) + noise(256 * 8);
  const struct {
    const char *file, *line;
  } cases[] = {
      {"font10x20-ISO8859-5.fnt",
       "charset: ISO-8859-5 (guessed from the file name)"},
      {"a_iso_8859-15.FNT",
       "charset: ISO-8859-15 (guessed from the file name)"},
      {"Iso-8859-7.fnt", "charset: ISO-8859-7 (guessed from the file name)"},
      {"KOI8-R.FNT", "charset: KOI8-R (guessed from the file name)"},
      {"8x16.koi8-u.fnt", "charset: KOI8-U (guessed from the file name)"},
      {"vga-cp437.fnt", "charset: CP437 (guessed from the file name)"},
      {"8x16-CP1251.fnt", "charset: CP1251 (guessed from the file name)"},
      // A decoder that holds a letter back for a tone mark to follow.
      {"viet-cp1258.fnt", "charset: CP1258 (guessed from the file name)"},
      {"hebrew.fnt", "charset: CP932 (default: ASCII and JIS X 0201 katakana)"},
      {"xcp437.fnt", "charset: CP932 (default: ASCII and JIS X 0201 katakana)"},
      {"cp4370.fnt", "charset: CP932 (default: ASCII and JIS X 0201 katakana)"},
      {"koi8-ru.fnt",
       "charset: CP932 (default: ASCII and JIS X 0201 katakana)"},
      {"ISO8859-12.fnt",
       "charset: CP932 (default: ASCII and JIS X 0201 katakana)"},
  };
  scratch s;
  for (const auto &c : cases) {
    std::ofstream(s.at(c.file), std::ios::binary) << font;
    proc p = vfont({"--info", s.at(c.file)});
    EXPECT_EQ(p.status, 0) << c.file;
    EXPECT_NE(p.out.find(std::string(c.line) + "\n"), std::string::npos)
        << c.file << "\n"
        << p.out;
    bool guessed = strstr(c.line, "guessed");
    EXPECT_EQ(p.out.find("read as CP932 unless -e") == std::string::npos,
              guessed)
        << c.file;
  }
  // The Cyrillic letters of an ISO 8859-5 font are Cyrillic in the BDF,
  // glyph for glyph.
  std::ofstream(s.at("f-ISO8859-5.fnt"), std::ios::binary) << font;
  proc named = vfont({s.at("f-ISO8859-5.fnt")});
  proc given = vfont({"-e", "ISO-8859-5"}, font);
  EXPECT_EQ(named.out, given.out);
  EXPECT_EQ(encodings(named.out)[0xB0], 0x410); // А
}

// DOS draws pictures at the control bytes; a code page that has the
// character at another byte keeps it there and the control byte stays
// unencoded, so no code point is claimed twice.
TEST(charsets, dospictures) {
  std::string font = header("VGA", 8, 8, 0) + noise(256 * 8);
  const struct {
    const char *set;
    unsigned byte;
    long enc;
  } cases[] = {
      {"CP437", 0x00, -1},      {"CP437", 0x01, 0x263A},
      {"CP437", 0x0F, 0x263C},  {"CP437", 0x14, 0xB6},
      {"CP437", 0x1F, 0x25BC},  {"CP437", 0x7F, 0x2302},
      {"CP850", 0x14, -1},      {"CP850", 0xF4, 0xB6},
      {"CP850", 0x15, -1},      {"CP866", 0x03, 0x2665},
      {"CP866", 0x7F, 0x2302},  {"CP1251", 0x01, -1},
      {"ISO-8859-5", 0x7F, -1},
  };
  for (const auto &c : cases) {
    proc p = vfont({"-e", c.set}, font);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(encodings(p.out)[c.byte], c.enc) << c.set << " " << c.byte;
  }
  // And back: a Unicode font's smiley goes to 0x01 of a CP437 font.
  proc bdf = vfont({"-e", "CP437"}, font);
  proc fx = vfont({"-f", "fontx2", "-e", "CP437"}, bdf.out);
  ASSERT_EQ(fx.status, 0) << fx.err;
  for (unsigned b : {0x01u, 0x1Fu, 0x7Fu, 0x41u, 0xB0u})
    EXPECT_EQ(fxglyph(fx.out, b), fxglyph(font, b)) << b;
}

// X11 fonts in 8-bit registries become FONTX2 fonts of that registry,
// every glyph at its byte.
TEST(charsets, keeptheregistry) {
  std::string misc = "/usr/share/fonts/X11/misc/";
  size_t done = 0;
  for (const char *f : {"ter-u16n_iso-8859-5.pcf.gz", "ter-u16n_koi8-r.pcf.gz",
                        "9x15-ISO8859-5.pcf.gz", "10x20-KOI8-R.pcf.gz"}) {
    std::string font = slurp(misc + f);
    if (font.empty()) continue;
    SCOPED_TRACE(f);
    proc p = vfont({"-f", "fontx2"}, font);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.err, "");
    ftfont ft;
    ASSERT_TRUE(ftload(&ft, font));
    int w = static_cast<unsigned char>(p.out[14]);
    int h = static_cast<unsigned char>(p.out[15]);
    int ascent = static_cast<int>(ft.face->size->metrics.ascender >> 6);
    size_t inked = 0;
    for (unsigned b = 0xA0; b <= 0xFF; b++) {
      std::string want = ftcell(&ft, b, w, h, ascent);
      if (want.empty()) continue;
      EXPECT_EQ(fxglyph(p.out, b), want) << b;
      inked += want != std::string(want.size(), '\0');
    }
    EXPECT_GT(inked, 60u);
    done++;
  }
  if (!done) GTEST_SKIP() << "needs xfonts-terminus or xfonts-base";
}

// Characters that the set written cannot hold are counted and named, for
// fonts with a charset of their own.
TEST(charsets, lostcharacters) {
  std::string koi = slurp("/usr/share/fonts/X11/misc/10x20-KOI8-R.pcf.gz");
  if (koi.empty()) GTEST_SKIP() << "needs xfonts-base";
  proc p = vfont({"-f", "fontx2", "-e", "CP437"}, koi);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "dosvfont: warning: standard input: 67 characters not in "
                   "CP437 (Cyrillic 66, Latin-1 Supplement 1): without -e, "
                   "the font's own KOI8-R keeps them\n");
  // A Unicode font larger than any set: only the full-width characters a
  // double-byte font drops are counted, by block; none for a single-byte
  // font, whose set never holds a Unicode font.
  std::string uni = slurp("/usr/share/fonts/X11/misc/unifont.pcf.gz");
  if (!uni.empty()) {
    p = vfont({"-f", "fontx2", "-k", "double"}, uni);
    EXPECT_EQ(p.err.rfind("dosvfont: warning: standard input: 32,935 "
                          "characters not in sjis (CJK Unified Ideographs "
                          "14,310, Hangul Syllables 11,172, ",
                          0),
              0u)
        << p.err;
    EXPECT_NE(p.err.find("): -c unicode keeps them\n"), std::string::npos);
    EXPECT_EQ(vfont({"-f", "fontx2", "-k", "single", "-w", "8"}, uni)
                  .err.find("not in CP932"),
              std::string::npos);
  }
}

} // namespace
