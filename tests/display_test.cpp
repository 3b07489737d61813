// Text on a simulated display, as a PNG reader sees it: the plain layout,
// each reader's faults drawn pixel for pixel against a model of the
// reader written here, the readers' rules over every cell up to 64 x 64,
// fonts written for a reader, and the font as C source compiled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "conv.h"
#include "display/rules.h"
#include "display/targets.h"
#include "fontx/fontxset.h"

namespace {

// A single-byte font whose every glyph differs, and a Shift_JIS font of
// hiragana (829F-82F1) and the first kanji row (889F-88FC).
std::string sbfont(int w = 8, int h = 16) {
  return header("SB", w, h, 0) + noise(256 * ((w + 7) / 8) * h, 21);
}
std::string dbfont(int w = 16, int h = 16) {
  std::vector<block> b = {{0x829F, 0x82F1}, {0x889F, 0x88FC}};
  return header("DB", w, h, 1) + table(b) +
         noise(glyphs(b) * ((w + 7) / 8) * h, 22);
}

// Where a code's glyph lies in a FONTX2 font, or npos.
size_t glyphat(const std::string &font, unsigned code) {
  int w = static_cast<unsigned char>(font[14]);
  int h = static_cast<unsigned char>(font[15]);
  size_t gb = static_cast<size_t>((w + 7) / 8) * h;
  if (!font[16]) return code < 256 ? 17 + code * gb : std::string::npos;
  unsigned n = static_cast<unsigned char>(font[17]), before = 0;
  for (unsigned i = 0; i < n; i++) {
    auto at = [&](size_t k) -> unsigned {
      return static_cast<unsigned char>(font[18 + 4 * i + k]);
    };
    unsigned s = at(0) | at(1) << 8, e = at(2) | at(3) << 8;
    if (code >= s && code <= e) return 18 + 4 * n + (before + code - s) * gb;
    before += e - s + 1;
  }
  return std::string::npos;
}

// A model of a reader drawing codes, written from the rules as their
// sources state them.
struct model {
  int rowsplus4 = 0; // (w+4)/8 bytes a row, all eight bits of each drawn
  int pen = 0;       // at a missing code: 0 stays, 1 to 0xFFFF, 2 to 0
  int drawrows = 0;  // rows drawn at most
  int column = 1;    // the pen in whole columns this wide
  int sizebyte = 0;  // glyphs stepped by their size kept in a byte
  int pair = 1;      // codes below 0x100 single-byte, the rest double
  int opaque = 0;    // a glyph's clear pixels cleared too
};

struct screenmodel {
  int w, h;
  std::vector<unsigned char> px;
  screenmodel(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_) {}
  void set(long x, long y, unsigned char ink = 1) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + size_t(x)] = ink;
  }
};

void drawcodes(const model &m, const std::string &sb, const std::string &db,
               const std::vector<unsigned> &codes, long y, screenmodel *s) {
  long x = 0;
  for (unsigned c : codes) {
    const std::string &f = !m.pair     ? (sb.empty() ? db : sb)
                           : c < 0x100 ? sb
                                       : db;
    size_t at = f.empty() ? std::string::npos : glyphat(f, c);
    if (at == std::string::npos) {
      x = m.pen == 1 ? 0xFFFF : m.pen == 2 ? 0 : x;
      continue;
    }
    int w = static_cast<unsigned char>(f[14]),
        h = static_cast<unsigned char>(f[15]);
    size_t gb = size_t((w + 7) / 8) * h;
    if (m.sizebyte) { // the glyph's size kept in a byte steps the glyphs
      size_t first =
          f[16] ? 18 + 4 * size_t(static_cast<unsigned char>(f[17])) : 17;
      at = first + (at - first) / gb * (gb & 0xFF);
    }
    int rb = m.rowsplus4 ? (w + 4) / 8 : (w + 7) / 8;
    int rows = m.drawrows ? std::min(h, m.drawrows) : h;
    size_t ofs = at;
    for (int r = 0; r < rows; r++)
      for (int b = 0; b < rb; b++, ofs++)
        for (int bit = 0; bit < 8; bit++) {
          if (!m.rowsplus4 && b * 8 + bit >= w) break;
          unsigned char byte =
              ofs < f.size() ? static_cast<unsigned char>(f[ofs]) : 0;
          if ((byte & 0x80 >> bit) || m.opaque)
            s->set(m.pen ? (x + b * 8 + bit) & 0xFFFF : x + b * 8 + bit, y + r,
                   byte & 0x80 >> bit ? 1 : 0);
        }
    x += w / m.column * m.column;
    if (m.pen) x &= 0xFFFF;
  }
}

// The ink of a picture --show wrote: white on black.
std::vector<unsigned char> inkof(const proc &p, int w, int h) {
  picture pic;
  EXPECT_TRUE(decodepng(p.out, &pic)) << p.err;
  EXPECT_EQ(pic.width, w);
  EXPECT_EQ(pic.height, h);
  std::vector<unsigned char> ink(size_t(w) * h);
  for (int y = 0; y < pic.height && y < h; y++)
    for (int x = 0; x < pic.width && x < w; x++)
      ink[size_t(y) * w + x] = pic.at(x, y) > 127;
  return ink;
}

// A picture's ink as text, for a failure's message.
std::string art(const std::vector<unsigned char> &px, int w, int rows) {
  std::string s;
  for (int y = 0; y < rows; y++) {
    for (int x = 0; x < std::min(w, 120); x++)
      s += px[size_t(y) * w + x] ? '#' : '.';
    s += '\n';
  }
  return s;
}

// Each reader's faults, drawn: the codes its text conversion makes, its
// row reading, its pen at a missing code, its limits.
TEST(display, readers) {
  scratch dir;
  std::map<std::string, std::string> files = {
      {"sb.fnt", sbfont()},
      {"db.fnt", dbfont()},
      {"sb10.fnt", sbfont(10)},
      {"sb24.fnt", sbfont(10, 24)},
      {"u48.fnt", header("U48", 48, 48, 1) + table({{0x3040, 0x3050}}) +
                      noise(17 * 6 * 48, 23)}};
  for (const auto &f : files) {
    FILE *out = fopen(dir.at(f.first).c_str(), "wb");
    fwrite(f.second.data(), 1, f.second.size(), out);
    fclose(out);
  }
  std::string x64(70, 'x'), long300(300, 'y');
  struct {
    const char *target, *sb, *db, *text;
    std::vector<unsigned> codes; // of the first line
    model m;
    int screenw;
    std::vector<unsigned> next = {}; // one cell lower, after a CR
  } cases[] = {
      // String2SJIS drops the 2-byte character and damages the next one.
      {"rpi-tft",
       "sb.fnt",
       "db.fnt",
       "A\xC2\xB0"
       "B\xE3\x81\x82",
       {0x41, 0x42, 0},
       {1, 1},
       320},
      // Kana, half-width katakana and kanji, and a row read a byte short.
      {"rpi-tft",
       "sb.fnt",
       "db.fnt",
       "\xE3\x81\x82\xEF\xBD\xB1\xE4\xBA\x9C",
       {0x82A0, 0xB1, 0x889F},
       {1, 1},
       320},
      {"rpi-tft", "sb10.fnt", "", "AbC", {0x41, 0x62, 0x43}, {1, 1}, 320},
      // A code no font has: the pen at 65535, the next glyph at the left.
      {"rpi-tft",
       "sb.fnt",
       "db.fnt",
       "AB\xE6\xBC\xA2"
       "CD",
       {0x41, 0x42, 0x8ABF, 0x43, 0x44},
       {1, 1},
       320},
      // 64 codes a call; the length in a byte.
      {"rpi-tft",
       "sb.fnt",
       "",
       x64.c_str(),
       std::vector<unsigned>(64, 'x'),
       {1, 1},
       640},
      {"rpi-tft",
       "sb.fnt",
       "",
       long300.c_str(),
       std::vector<unsigned>(44, 'y'),
       {1, 1},
       640},
      // 16 rows at most, w / 8 whole 8-pixel columns, whole columns
      // copied: B's blank columns clear A's last two.
      {"rpi-oled",
       "sb24.fnt",
       "",
       "AB",
       {0x41, 0x42},
       {0, 0, 16, 8, 0, 1, 1},
       128},
      // The text's bytes, a row read a byte short, the pen back at 0.
      {"esp-idf",
       "sb10.fnt",
       "",
       "\xC3\xA9!",
       {0xC3, 0xA9, 0x21},
       {1, 2, 0, 1, 0, 0},
       320},
      // Unicode values; a glyph of 288 bytes stepped by 32; a CR goes
      // back to x = 0 one cell lower; a missing code moves nothing.
      {"hagl",
       "",
       "u48.fnt",
       "\xE3\x81\x82\xE3\x81\x84",
       {0x3042, 0x3044},
       {0, 0, 0, 1, 1, 0},
       320},
      {"hagl",
       "sb.fnt",
       "",
       "a\xE2\x82\xACz\rb",
       {'a', 0x20AC, 'z'},
       {0, 0, 0, 1, 0, 0},
       320,
       {'b'}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.target) + " " + c.sb + c.db + " " + c.text);
    std::string text = dir.at("text.txt");
    FILE *out = fopen(text.c_str(), "wb");
    fputs(c.text, out);
    fclose(out);
    std::vector<std::string> args = {
        "--show", text,       "--target",
        c.target, "--screen", std::to_string(c.screenw) + "x240"};
    for (const char *f : {c.sb, c.db})
      if (*f) args.push_back(dir.at(f));
    proc p = vfont(args);
    ASSERT_EQ(p.status, 0) << p.err;
    std::string sb = *c.sb ? files[c.sb] : "", db = *c.db ? files[c.db] : "";
    screenmodel want(c.screenw, 240);
    drawcodes(c.m, sb, db, c.codes, 0, &want);
    if (!c.next.empty())
      drawcodes(c.m, sb, db, c.next, static_cast<unsigned char>((sb + db)[15]),
                &want);
    std::vector<unsigned char> got = inkof(p, c.screenw, 240);
    EXPECT_TRUE(got == want.px) << "drawn:\n"
                                << art(got, c.screenw, 48) << "the reader's:\n"
                                << art(want.px, c.screenw, 48);
  }
}

} // namespace

namespace {

// The plain layout: characters in the font that holds them, lines wrapped
// at the right edge, lines that do not fit left out and counted, a
// character neither font has drawn as an empty cell and named.
TEST(display, layout) {
  scratch dir;
  std::string sb = sbfont(), db = dbfont();
  for (const auto &f :
       {std::make_pair("sb.fnt", sb), std::make_pair("db.fnt", db)}) {
    FILE *out = fopen(dir.at(f.first).c_str(), "wb");
    fwrite(f.second.data(), 1, f.second.size(), out);
    fclose(out);
  }
  struct placed {
    unsigned code;
    int x, y; // -1: an empty cell 8 (single-byte) or 16 wide there
    int box;
  };
  struct {
    const char *text;
    int w, h;
    std::vector<placed> cells;
    const char *err; // the messages, or ""
  } cases[] = {
      {"Ab\r\nC",
       320,
       240,
       {{'A', 0, 0, 0}, {'b', 8, 0, 0}, {'C', 0, 16, 0}},
       ""},
      {"\xE3\x81\x82x\xEF\xBD\xB1",
       320,
       240,
       {{0x82A0, 0, 0, 0}, {'x', 16, 0, 0}, {0xB1, 24, 0, 0}},
       ""},
      // Wrapped where the next cell would cross the edge.
      {"ABC\xE3\x81\x82",
       36,
       64,
       {{'A', 0, 0, 0}, {'B', 8, 0, 0}, {'C', 16, 0, 0}, {0x82A0, 0, 16, 0}},
       ""},
      // Three lines on a screen of two: one left out.
      {"A\nB\nC",
       64,
       32,
       {{'A', 0, 0, 0}, {'B', 0, 16, 0}},
       "dosvfont: note: TEXT: 1 of 3 lines do not fit the 64x32 screen: "
       "left out\n"},
      // Neither font has these: an empty cell each, of the kind's width.
      {"A\xC3\xA9\xE6\xBC\xA2"
       "B",
       320,
       240,
       {{'A', 0, 0, 0}, {0, 8, 0, 16}, {0, 24, 0, 16}, {'B', 40, 0, 0}},
       "dosvfont: warning: TEXT: 2 characters in neither font, drawn as "
       "empty cells: U+00E9 (\xC3\xA9), U+6F22 (\xE6\xBC\xA2)\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = dir.at("text.txt");
    FILE *out = fopen(text.c_str(), "wb");
    fputs(c.text, out);
    fclose(out);
    proc p = vfont({"-c", "sjis", "--show", text, "--screen",
                    std::to_string(c.w) + "x" + std::to_string(c.h),
                    dir.at("sb.fnt"), dir.at("db.fnt")});
    ASSERT_EQ(p.status, 0) << p.err;
    std::string err = c.err;
    if (err.find("TEXT") != std::string::npos)
      err.replace(err.find("TEXT"), 4, text);
    EXPECT_EQ(p.err, err);
    screenmodel want(c.w, c.h);
    model plain;
    plain.pen = 0;
    for (const placed &g : c.cells) {
      if (g.box) {
        for (int i = 0; i < g.box; i++)
          want.set(g.x + i, g.y), want.set(g.x + i, g.y + 15);
        for (int j = 0; j < 16; j++)
          want.set(g.x, g.y + j), want.set(g.x + g.box - 1, g.y + j);
        continue;
      }
      screenmodel one(c.w + 16, c.h + 16);
      drawcodes(plain, sb, db, {g.code}, 0, &one);
      for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
          if (one.px[size_t(y) * one.w + x]) want.set(g.x + x, g.y + y);
    }
    std::vector<unsigned char> got = inkof(p, c.w, c.h);
    EXPECT_TRUE(got == want.px)
        << "drawn:\n"
        << art(got, c.w, std::min(c.h, 48)) << "laid out:\n"
        << art(want.px, c.w, std::min(c.h, 48));
  }
}

// Every reader's rules over every cell from 1 x 1 to 64 x 64, against the
// rules as the readers' sources state them.
TEST(display, rules) {
  for (const target *t = targets; t->name; t++)
    for (int kind : {0, 1})
      for (int w = 1; w <= 64; w++)
        for (int h = 1; h <= 64; h++) {
          glyphset gs = glyphset();
          gs.width = w, gs.height = h, gs.kind = kind;
          const char *set = kind ? t->dbcs : t->sbcs;
          if (kind ? dbcsnamed(&gs.codes, set ? set : "sjis")
                   : sbcsnamed(&gs.codes, set))
            FAIL() << "no set " << set;
          gs.glyphbytes = size_t((w + 7) / 8) * h;
          const glyphset *one = &gs;
          std::vector<factline> facts;
          checkfonts(t, &one, 1, &facts);
          std::map<std::string, int> state;
          for (const auto &f : facts)
            state[f.key] =
                std::max(state[f.key], f.state == FACTBREAKS ? 2 : 1);
          std::string name = t->name;
          bool espidf = name.compare(0, 7, "esp-idf") == 0;
          // A double-byte font for a single-byte reader fails as such, its
          // other rules said not to apply.
          bool read = !(espidf && kind);
          bool rows4 = name == "rpi-tft" || espidf;
          bool badwidth = read && ((rows4 && (w % 8 >= 1 && w % 8 <= 3)) ||
                                   (name == "rpi-oled" && w % 8 != 0));
          size_t bytes = gs.glyphbytes;
          bool badbytes =
              read &&
              (((name == "rpi-tft" || name == "esp-idf") && bytes > 128) ||
               (name == "rpi-oled" && bytes > 32) ||
               (name == "hagl" && bytes > 255));
          bool badcell = name == "rpi-oled" && (w > 16 || h > 16);
          SCOPED_TRACE(name + " " + std::to_string(w) + "x" +
                       std::to_string(h) + (kind ? " double" : " single"));
          EXPECT_EQ(state["cell width"] == 2, badwidth);
          EXPECT_EQ(state["glyph bytes"] == 2, badbytes);
          EXPECT_EQ(state["cell"] == 2, badcell);
          EXPECT_EQ(state["kind"] == 2, espidf && kind);
          EXPECT_EQ(state["codes"], 1);
          // The width written for the reader is one it reads right.
          if (!badcell && !(name == "rpi-oled" && w > 16)) {
            int chosen = targetwidth(t, w);
            EXPECT_GE(chosen, w);
            EXPECT_LE(chosen, w + 7);
            bool fine = rows4 ? !(chosen % 8 >= 1 && chosen % 8 <= 3)
                        : name == "rpi-oled" ? chosen % 8 == 0
                                             : chosen == w;
            EXPECT_TRUE(fine) << chosen;
          }
          if (name == "hagl") {
            EXPECT_EQ(state["pixel buffer"], 1) << "always said";
          }
        }
}

} // namespace

namespace {

void put(const std::string &path, const std::string &bytes) {
  FILE *out = fopen(path.c_str(), "wb");
  fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
}

// Fonts written for a reader: a width it reads right, the sets it looks
// codes up in, and a font that would break it refused with the reason.
TEST(display, writtenforareader) {
  const char *mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
  if (slurp(mono).empty()) GTEST_SKIP() << "needs fonts-dejavu-core";
  struct {
    std::vector<std::string> args;
    int status, width, kind;
    const char *err; // the last line said, or ""
  } cases[] = {
      {{"-s", "16"}, 0, 10, 0, ""},
      {{"-s", "16", "--target", "rpi-tft"}, 0, 12, 0, ""},
      {{"-s", "16", "--target", "esp-idf"}, 0, 12, 0, ""},
      {{"-s", "16", "--target", "hagl"}, 0, 10, 0, ""},
      {{"-s", "16", "--target", "rpi-oled"}, 0, 16, 0, ""},
      {{"-s", "15", "--target", "rpi-tft"}, 0, 12, 0, ""},
      {{"-s", "16", "-w", "10", "--target", "rpi-tft"},
       1,
       0,
       0,
       "not for rpi-tft: cell width 10: this reader reads 1 byte of each "
       "row's 2; use -w 8 or -w 12"},
      {{"-s", "24", "--target", "rpi-oled"},
       1,
       0,
       0,
       "not for rpi-oled: cell 16x24: rpi-oled draws 16x16 at most; use -s "
       "16 or less"},
      {{"-s", "48", "--target", "rpi-tft"},
       1,
       0,
       0,
       "not for rpi-tft: glyph bytes 192: rpi-tft refuses a font of glyphs "
       "over 128 bytes (32x32) and draws nothing of it; use a smaller -s or "
       "-w"},
  };
  for (const auto &c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-k", "single", "-f", "fontx2", mono});
    SCOPED_TRACE(args[0] + " " + args[1] + " " + args[2] + " " + args[3]);
    proc p = vfont(args);
    EXPECT_EQ(p.status, c.status) << p.err;
    if (*c.err) {
      EXPECT_NE(
          p.err.find("dosvfont: " + std::string(mono) + ": " + c.err + "\n"),
          std::string::npos)
          << p.err;
    }
    if (c.status) {
      EXPECT_EQ(p.out, "");
      continue;
    }
    EXPECT_EQ(static_cast<unsigned char>(p.out[14]), c.width);
  }
  // hagl's single-byte font is ISO 8859-1: é at 0xE9; Shift_JIS's pair.
  proc latin = vfont(
      {"-s", "16", "--target", "hagl", "-k", "single", "-f", "fontx2", mono});
  std::string e = fxglyph(latin.out, 0xE9);
  EXPECT_NE(e, std::string(e.size(), '\0')) << "no é at 0xE9";
  proc info =
      vfont({"--info", "--target", "hagl", "-s", "16", "-k", "single", mono});
  EXPECT_NE(info.out.find("written: single-byte FONTX2 in ISO-8859-1"),
            std::string::npos)
      << info.out;
}

// --info gives the bytes -f fontx2 writes: an outline at a size, a FONTX2
// font, a subset of either.
TEST(display, infobytes) {
  scratch dir;
  put(dir.at("menu.txt"), "\xE3\x81\x82\xE3\x81\x84 OK");
  std::string db = dbfont();
  put(dir.at("db.fnt"), db);
  std::vector<std::vector<std::string>> runs = {
      {"-c", "sjis", dir.at("db.fnt")},
      {"-c", "sjis", "--text", dir.at("menu.txt"), dir.at("db.fnt")},
      {"-c", "sjis", "--range", "82A0-82B0", dir.at("db.fnt")}};
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (!slurp(ipag).empty()) {
    runs.push_back({"-s", "16", "-k", "single", ipag});
    runs.push_back({"-s", "12", "--text", dir.at("menu.txt"), ipag});
  }
  for (const auto &r : runs) {
    SCOPED_TRACE(r[r.size() - 2]);
    std::vector<std::string> info = r, written = r;
    info.insert(info.begin(), "--info");
    written.insert(written.begin(), {"-f", "fontx2"});
    if (written[3] == "sjis")
      written.erase(written.begin() + 2, written.begin() + 4);
    proc i = vfont(info), w = vfont(written);
    ASSERT_EQ(w.status, 0) << w.err;
    EXPECT_NE(i.out.find("bytes: " + std::to_string(w.out.size()) +
                         " (written as FONTX2)"),
              std::string::npos)
        << i.out << w.err;
  }
}

// -f c (or an output named .h or .c): the FONTX2 bytes as an array that C
// and C++ compile with every warning, included twice.
TEST(display, csource) {
  if (system("cc --version >/dev/null 2>&1") ||
      system("c++ --version >/dev/null 2>&1"))
    GTEST_SKIP() << "needs a C and a C++ compiler";
  scratch dir;
  put(dir.at("SB8.FNT"), sbfont());
  put(dir.at("db.fnt"), dbfont());
  struct {
    std::vector<std::string> args;
    const char *name; // the array's
  } cases[] = {
      {{"-f", "c", "--c-name", "font6x9", dir.at("SB8.FNT")}, "font6x9"},
      {{dir.at("SB8.FNT"), "-o", dir.at("8x16-latin.h")}, "font_8x16_latin"},
      {{"-f", "c", "-c", "unicode", dir.at("db.fnt")}, "db"},
      {{"-f", "c", "-n", "KANA16", dir.at("db.fnt")}, "KANA16"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> fx = c.args;
    auto out = std::find(c.args.begin(), c.args.end(), "-o");
    fx.erase(fx.begin() + (out - c.args.begin()),
             fx.begin() + std::min(out - c.args.begin() + 2,
                                   static_cast<long>(fx.size())));
    auto f = std::find(fx.begin(), fx.end(), "c");
    if (f != fx.end()) {
      *f = "fontx2";
    } else {
      fx.insert(fx.begin(), {"-f", "fontx2"});
    }
    auto cn = std::find(fx.begin(), fx.end(), "--c-name");
    if (cn != fx.end()) fx.erase(cn, cn + 2);
    proc want = vfont(fx), got = vfont(c.args);
    ASSERT_EQ(got.status, 0) << got.err;
    std::string h = out == c.args.end() ? got.out : slurp(*(out + 1));
    put(dir.at("font.h"), h);
    std::string prog =
        "#include \"font.h\"\n#include \"font.h\"\n#include <stdio.h>\n"
        "int main(void) {\n  fwrite(" +
        std::string(c.name) + ", 1, " + c.name +
        "_size, stdout);\n  return 0;\n}\n";
    put(dir.at("use.c"), prog);
    put(dir.at("use.cpp"), prog);
    for (const char *cc : {"cc -std=c99", "c++ -std=c++11"}) {
      std::string bin = dir.at("use"),
                  src = dir.at(cc[1] == 'c' ? "use.c" : "use.cpp");
      std::string cmd = std::string(cc) +
                        " -Wall -Wextra -Werror -pedantic -I" + dir.dir + " " +
                        src + " -o " + bin + " 2>&1";
      ASSERT_EQ(system(cmd.c_str()), 0) << cmd << "\n" << h.substr(0, 300);
      proc ran = run(bin, {});
      EXPECT_TRUE(ran.out == want.out) << cc << ": not the FONTX2 bytes";
    }
  }
}

// What --show, --target, --screen, --colors and two fonts refuse.
TEST(display, refused) {
  scratch dir;
  put(dir.at("a.fnt"), sbfont());
  put(dir.at("b.fnt"), sbfont());
  put(dir.at("d.fnt"), dbfont());
  put(dir.at("t.txt"), "text");
  put(dir.at("bad.txt"), "ab\xFF");
  std::string a = dir.at("a.fnt"), b = dir.at("b.fnt"), d = dir.at("d.fnt"),
              t = dir.at("t.txt");
  expectfailures({
      {{"--show", dir.at("bad.txt"), a},
       "",
       1,
       dir.at("bad.txt") + ": not UTF-8 text (byte 2)"},
      {{"--show", t, "--screen", "0x240", a},
       "",
       2,
       "--screen: '0x240' is not WIDTHxHEIGHT, each 1 to 4096"},
      {{"--show", t, "--screen", "320x4097", a},
       "",
       2,
       "--screen: '320x4097' is not WIDTHxHEIGHT, each 1 to 4096"},
      {{"--show", t, "--colors", "FFFFFF", a},
       "",
       2,
       "--colors: 'FFFFFF' is not two hex colours FG,BG such as "
       "FFFFFF,000000"},
      {{"--show", t, "--target", "lcd", a},
       "",
       2,
       "--target: unknown target 'lcd' (known: rpi-tft, rpi-oled, esp-idf, "
       "esp-idf-st7789, hagl, arduino-fontx, stm32-fontx; --target list "
       "tells their rules)"},
      {{"--show", t, a, b},
       "",
       2,
       "two single-byte fonts: give a single-byte and a double-byte one"},
      {{"--show", t, a, d, b},
       "",
       2,
       "two fonts at most: '" + b + "' is extra"},
      {{a, d},
       "",
       2,
       "one font at a time (two only with --show or --info --target): '" + d +
           "' is extra"},
      {{"--show", "-", a, "-"},
       "",
       2,
       "standard input can be read once: give files for all but one of the "
       "fonts, --text, --show and --patch"},
      {{"--show", t, "-f", "fontx2", a},
       "",
       2,
       "--show draws a PNG picture: -f fontx2 does not apply"},
      {{"--show", t, "--target", "hagl", "-c", "sjis", a, d},
       "",
       2,
       "hagl draws a text with one font: give one"},
      {{"--target", "esp-idf", "-k", "double", a},
       "",
       2,
       "-k double: esp-idf draws with a single-byte font only"},
      {{"--c-name", "8bit", "-f", "c", a},
       "",
       2,
       "--c-name: '8bit' is not a C identifier"},
      {{"--c-name", "x", "-f", "fontx2", a},
       "",
       2,
       "--c-name applies when C source is written"},
      {{"--screen", "20x20", "-f", "png", a},
       "",
       2,
       "--screen applies to --show"},
      {{"--target", "hagl", a},
       "",
       2,
       "--target applies to --show, --info and FONTX2 or C source written"},
  });
}

} // namespace

namespace {

// One CJK font makes the pair a display loads, each font with the options
// of its kind; a font without glyphs of one kind makes the other alone.
TEST(display, pairs) {
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  const char *jis = "/usr/share/fonts/X11/misc/jiskan16.pcf.gz";
  if (slurp(ipag).empty() || slurp(jis).empty())
    GTEST_SKIP() << "needs fonts-ipafont-gothic and xfonts-intl-japanese";
  scratch dir;
  put(dir.at("t.txt"), "A\xEF\xBD\xB1\xE3\x81\x82");
  std::string t = dir.at("t.txt");
  struct {
    std::vector<std::string> args;
    int status;
    const char *err; // a part of what is said, or ""
  } cases[] = {
      {{"--show", t, "-s", "16", ipag}, 0, ""},
      {{"--show", t, "-s", "16", "-e", "CP932", "-c", "sjis",
        "--control-pictures", ipag},
       0,
       "control-byte pictures not in the font"},
      {{"--show", t, "-s", "16", "-k", "double", "--control-pictures", ipag},
       2,
       "--control-pictures applies to single-byte fonts"},
      {{"--show", t, jis}, 0, "2 characters in neither font"},
      {{"--show", t, "--text", t, "-s", "16", ipag}, 0, ""},
  };
  for (const auto &c : cases) {
    proc p = vfont(c.args);
    SCOPED_TRACE(c.args[2] + " " + c.args[c.args.size() - 2]);
    EXPECT_EQ(p.status, c.status) << p.err;
    EXPECT_NE(p.err.find(c.err), std::string::npos) << p.err;
    if (!c.status) {
      picture pic;
      EXPECT_TRUE(decodepng(p.out, &pic));
    }
  }
  proc half = vfont({"--info", "-s", "16", ipag}),
       none = vfont({"--info", jis});
  EXPECT_NE(half.out.find("pair: single-byte FONTX2 in CP932, 256 glyphs, "
                          "8x16, 4113 bytes (-k single)"),
            std::string::npos)
      << half.out;
  EXPECT_EQ(none.out.find("pair:"), std::string::npos) << none.out;
}

// --show without --text draws only the glyphs its text reaches, and the
// picture is the one the whole fonts give: for every reader, from an
// outline font (monospaced and proportional, plain and bold) and a bitmap
// font; the text has characters the fonts lack, one that CP932 writes as
// another's code (U+301C as U+FF5E's), and misses the widest glyphs.
TEST(display, showonlytext) {
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  const char *ipagp = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
  const char *jis = "/usr/share/fonts/X11/misc/jiskan16.pcf.gz";
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  scratch dir;
  std::string t = dir.at("t.txt");
  put(t, "\xE6\xB8\xA9\xE5\xBA\xA6 23.5\xE2\x84\x83\n"       // 温度 23.5℃
         "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC " // メニュー
         "\xEF\xBD\xB1\xE3\x80\x9C\xF0\x9F\x98\x80\xE2\x84\x82\n"
         "\xCE\xB9\xD1\x96\n"); // ι і
  std::vector<std::vector<std::string>> sources = {
      {"-s", "16", ipag}, {"-s", "24", "--bold", ipag}};
  if (!slurp(ipagp).empty()) sources.push_back({"-s", "16", ipagp});
  if (!slurp(jis).empty()) sources.push_back({jis});
  // Greek and Cyrillic in a double-byte font: the text's are narrower
  // than the widest letters.
  const char *dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!slurp(dejavu).empty())
    sources.push_back({"-k", "double", "-s", "16", dejavu});
  std::vector<const target *> readers = {nullptr};
  for (const target *r = targets; r->name; r++) readers.push_back(r);
  for (const auto &src : sources)
    for (const target *r : readers) {
      std::vector<std::string> on;
      if (r) on = {"--target", r->name};
      SCOPED_TRACE(src.back() + " " + src[src.size() > 1 ? 1 : 0] +
                   (r ? std::string(" for ") + r->name : ""));
      std::vector<std::string> args = {"--show", t};
      args.insert(args.end(), on.begin(), on.end());
      args.insert(args.end(), src.begin(), src.end());
      proc quick = vfont(args);
      // A font the reader cannot read (no glyph of its kind, or -k for the
      // other kind) is refused as it is when whole.
      if (quick.status) continue;
      EXPECT_EQ(quick.err.find("lost pixels"), std::string::npos) << quick.err;
      // The whole fonts, made as -f fontx2 makes them, then drawn.
      std::vector<std::string> fonts;
      bool kinded = std::find(src.begin(), src.end(), "-k") != src.end();
      for (const char *kind : {"single", "double"}) {
        if (kinded && !strcmp(kind, "single")) continue; // as src says
        if (r && r->singleonly && !strcmp(kind, "double")) continue;
        if (r && !r->pair && !r->singleonly && !strcmp(kind, "single"))
          continue;
        std::vector<std::string> make = {"-f", "fontx2"};
        if (!kinded) make.insert(make.end(), {"-k", kind});
        make.insert(make.end(), on.begin(), on.end());
        make.insert(make.end(), src.begin(), src.end());
        std::string f = dir.at(std::string(kind) + ".fnt");
        make.insert(make.end(), {"-o", f});
        proc p = vfont(make);
        if (p.status) continue; // a kind the font has none of
        fonts.push_back(f);
      }
      if (fonts.empty()) continue; // a cell the reader's check refuses
      std::vector<std::string> drawn = {"--show", t};
      drawn.insert(drawn.end(), on.begin(), on.end());
      drawn.insert(drawn.end(), fonts.begin(), fonts.end());
      proc whole = vfont(drawn);
      ASSERT_EQ(whole.status, 0) << whole.err;
      EXPECT_TRUE(quick.out == whole.out) << "the pictures differ";
    }
}

} // namespace

namespace {

// What a reader cannot draw is said, and only that: the menu of a
// Japanese display through each reader, --info --target as a check a
// script can use, and the warnings of fonts made for a reader.
TEST(display, notes) {
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  scratch dir;
  std::string menu = dir.at("menu.txt");
  put(menu, "設定 Settings\n温度 23.5℃\n湿度 45%\n戻る Back\nWi-Fi 接続中…\n");
  struct {
    const char *target;
    const char *note; // in the note, or null for no note at all
  } cases[] = {
      {"esp-idf", "each byte of the text is a single-byte code: 設 定 温 度 ℃ "
                  "湿 戻 る 接 続 中 … not drawable (drawn as 39 wrong "
                  "glyphs); rpi-tft, rpi-oled, arduino-fontx, stm32-fontx "
                  "draw double-byte fonts"},
      {"esp-idf-st7789", "設 定 温 度 ℃ 湿 戻 る 接 続 中 … not drawable"},
      {"rpi-tft", nullptr},
      {"arduino-fontx", nullptr},
      {"stm32-fontx", nullptr},
      {"hagl", nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.target);
    proc p = vfont({"--show", menu, "--text", menu, "-s", "16", "--target",
                    c.target, "-o", dir.at("out.png"), ipag});
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.err.find("belong in"), std::string::npos) << p.err;
    if (c.note)
      EXPECT_NE(p.err.find(c.note), std::string::npos) << p.err;
    else
      EXPECT_EQ(p.err.find("note:"), std::string::npos) << p.err;
  }
  // A check: status 1 where a rule fails, and no rule that cannot apply
  // said to be met.
  std::string db = dir.at("db.fnt"), sb = dir.at("sb.fnt");
  put(db, dbfont());
  put(sb, sbfont());
  proc i = vfont({"--info", "--target", "esp-idf", db});
  EXPECT_EQ(i.status, 1) << i.err;
  EXPECT_NE(i.out.find("kind: fails"), std::string::npos) << i.out;
  EXPECT_EQ(i.out.find(": ok:"), std::string::npos) << i.out;
  EXPECT_NE(i.out.find("codes: does not apply"), std::string::npos) << i.out;
  proc ok = vfont({"--info", "--target", "esp-idf", sb});
  EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
  // A font made for a single-byte reader names what it cannot hold.
  proc m = vfont({"--target", "esp-idf", "--text", menu, "-s", "16", "-o",
                  dir.at("menu.FNT"), ipag});
  EXPECT_EQ(m.status, 0) << m.err;
  EXPECT_NE(m.err.find("12 characters of the text esp-idf cannot draw: it "
                       "draws single-byte fonts only"),
            std::string::npos)
      << m.err;
}

} // namespace

namespace {

// A final line feed ends the last line and starts none: two lines on a
// screen of two are no line left out; three are one.
TEST(display, finalnewline) {
  scratch dir;
  std::string f = dir.at("sb.fnt");
  put(f, sbfont());
  struct {
    const char *text;
    const char *note; // or null for none
  } cases[] = {
      {"a\nb\n", nullptr},
      {"a\nb", nullptr},
      {"a\nb\nc\n", "1 of 3 lines do not fit the 40x32 screen"},
      {"a\nb\n\n", "1 of 3 lines do not fit the 40x32 screen"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    put(dir.at("t.txt"), c.text);
    proc p = vfont({"--show", dir.at("t.txt"), "--screen", "40x32", "-o",
                    dir.at("t.png"), f});
    EXPECT_EQ(p.status, 0) << p.err;
    if (c.note)
      EXPECT_NE(p.err.find(c.note), std::string::npos) << p.err;
    else
      EXPECT_EQ(p.err.find("do not fit"), std::string::npos) << p.err;
  }
}

// --info names the glyphs that lose pixels to the cell, as the
// conversion's warning does.
TEST(display, infonamescut) {
  const char *ipag = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  proc i = vfont({"--info", "-s", "16", ipag});
  proc w = vfont({"-s", "16", ipag});
  EXPECT_NE(i.out.find("glyphs that lose pixels to the cell: 1: 0x8150 "
                       "(U+FFE3)"),
            std::string::npos)
      << i.out;
  EXPECT_NE(w.err.find("0x8150 (U+FFE3)"), std::string::npos) << w.err;
}

} // namespace
