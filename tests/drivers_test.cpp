// Every display reader that --show --target models, drawing by its own
// code: the drivers' sources, unmodified, are compiled here against an
// emulation of the hardware beneath them (tests/readers), draw a table of
// texts with a table of fonts through their own string functions, and the
// picture must equal --show --target's pixel for pixel.
//
// The sources are looked for in the folder the environment variable
// DOSV2BDF_DRIVERS names, else in ../shared/drivers beside the project; a
// reader whose folder is absent, or whose files do not build here, is
// skipped with the reason (the compiler's first line).
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "conv.h"

namespace {

const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const char mono[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// The folders to look for a reader's sources in: DOSV2BDF_DRIVERS (a
// colon-separated list), then ../shared/drivers.
std::vector<std::string> driversroots() {
  std::vector<std::string> roots;
  const char *env = getenv("DOSV2BDF_DRIVERS");
  for (std::string s = env ? env : ""; !s.empty();) {
    size_t colon = s.find(':');
    roots.push_back(s.substr(0, colon));
    s = colon == std::string::npos ? "" : s.substr(colon + 1);
  }
  roots.push_back(DOSV2BDF_DRIVERS);
  return roots;
}

// A reader's build: its sources (below its folder), the harness that
// drives them, the include folders and definitions.
struct readerdef {
  const char *target;           // --target's name
  const char *folder;           // below the drivers' root
  std::vector<std::string> src; // the reader's files to compile
  const char *harness;          // in tests/readers
  std::vector<std::string> inc; // include folders, below the reader's
  std::vector<std::string> defs;
  std::vector<std::string> ours; // include folders of tests/readers
};

const std::vector<readerdef> &readers() {
  static const std::vector<readerdef> r = {
      {"esp-idf",
       "esp-idf-ili9340",
       {"components/ili9340/ili9340.c", "components/ili9340/fontx.c"},
       "espidf.cpp",
       {"components/ili9340"},
       {},
       {"espidf/include"}},
      {"esp-idf-st7789",
       "esp-idf-st7789",
       {"components/st7789/st7789.c", "components/st7789/fontx.c"},
       "espidf.cpp",
       {"components/st7789"},
       {"-DST7789"},
       {"espidf/include"}},
      {"hagl",
       "hagl",
       {"src/fontx.c", "src/hagl_char.c"},
       "hagl.cpp",
       {"include"},
       {"-DHAGL_CHAR_BUFFER_SIZE=131072"},
       {"hagl/include"}},
      {"arduino-fontx",
       ".",
       {"fontx-arduino/src/Fontx.cpp", "fontx-arduino/src/Utf8Decoder.cpp",
        "fontx-arduino/src/uni2sjis.c", "fontx-arduino/src/uni2sjis_tbl.c",
        "humblesoft-gfx/src/Humblesoft_GFX.cpp"},
       "arduino.cpp",
       {"fontx-arduino/src", "humblesoft-gfx/src"},
       {"-DESP32"},
       {"arduino/include"}},
      {"stm32-fontx",
       "stm32-fontx2",
       {"lib/FONTX2/src/font_if.c",
        "lib/display/abstract/src/display_if_support.c"},
       "stm32.cpp",
       {"lib/FONTX2/inc", "lib/display/abstract/inc"},
       {"-DUSE_ILI934x_TFT", "-DUSE_KANJIFONT"},
       {"stm32/include"}},
      // No licence: never copied here; a developer points DOSV2BDF_DRIVERS
      // at a checkout (see README).
      {"rpi-tft",
       "Raspberry-ili9325",
       {"tft_lib.c", "fontx.c", "driver/ili9341.c"},
       "rpi.cpp",
       {"."},
       {},
       {"rpi/include"}},
      {"rpi-oled",
       "Raspberry-ssd1306",
       {"oled.c", "fontx.c"},
       "oled.cpp",
       {"."},
       {"-DSPI", "-Dmain=oled_main"},
       {"rpi/include"}},
  };
  return r;
}

struct built {
  std::string exe; // empty where it could not be built
  std::string why;
};

// The first line of what a failed command said.
std::string firstline(const proc &p) {
  std::string s = p.err.empty() ? p.out : p.err;
  return s.substr(0, s.find('\n'));
}

// Builds a reader's harness once a run, in a folder of the run's own.
const built &build(const readerdef &r) {
  static scratch dir;
  static std::map<std::string, built> done;
  auto it = done.find(r.target);
  if (it != done.end()) return it->second;
  built &b = done[r.target];
  std::string root, looked;
  for (const std::string &d : driversroots()) {
    if (!slurp(d + "/" + r.folder + "/" + r.src[0]).empty()) {
      root = d + "/" + r.folder;
      break;
    }
    looked += (looked.empty() ? "" : ", ") + d;
  }
  if (root.empty()) {
    b.why = "no sources of " + std::string(r.folder) + " in " + looked +
            " (set DOSV2BDF_DRIVERS)";
    return b;
  }
  std::vector<std::string> flags = {"-w", "-I" + std::string(READERS_DIR)};
  for (const auto &i : r.ours)
    flags.push_back("-I" + std::string(READERS_DIR) + "/" + i);
  for (const auto &i : r.inc) flags.push_back("-I" + root + "/" + i);
  for (const auto &d : r.defs) flags.push_back(d);
  std::vector<std::string> objects;
  std::vector<std::string> all = r.src;
  all.push_back(std::string(READERS_DIR) + "/" + r.harness);
  for (size_t i = 0; i < all.size(); i++) {
    const std::string &s = all[i];
    std::string path = i + 1 < all.size() ? root + "/" + s : s;
    bool cxx = s.size() > 4 && s.substr(s.size() - 4) == ".cpp";
    std::string obj =
        dir.at(std::string(r.target) + "-" + std::to_string(i) + ".o");
    std::vector<std::string> args = flags;
    args.insert(args.end(),
                {cxx ? "-std=gnu++17" : "-std=gnu11", "-c", path, "-o", obj});
    proc p = run(cxx ? CXX_COMPILER : C_COMPILER, args);
    if (p.status) {
      b.why = std::string(r.folder) + " does not build here: " + firstline(p);
      return b;
    }
    objects.push_back(obj);
  }
  std::string exe = dir.at(std::string(r.target) + "-harness");
  objects.insert(objects.end(), {"-o", exe, "-lm"});
  proc p = run(CXX_COMPILER, objects);
  if (p.status) {
    b.why = std::string(r.folder) + " does not link here: " + firstline(p);
    return b;
  }
  b.exe = exe;
  return b;
}

// A PBM picture's pixels, 1 for ink.
std::vector<unsigned char> readpbm(const std::string &s, int w, int h) {
  std::vector<unsigned char> px;
  size_t at = s.find('\n', s.find('\n') + 1);
  for (size_t i = at + 1; i < s.size(); i++)
    if (s[i] == '0' || s[i] == '1') px.push_back(s[i] == '1');
  EXPECT_EQ(px.size(), size_t(w) * h);
  px.resize(size_t(w) * h);
  return px;
}

std::vector<unsigned char> readpng(const std::string &s, int w, int h) {
  picture pic;
  std::vector<unsigned char> ink(size_t(w) * h);
  if (!decodepng(s, &pic) || pic.width != w || pic.height != h) {
    ADD_FAILURE() << "--show wrote no " << w << "x" << h << " picture";
    return ink;
  }
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) ink[size_t(y) * w + x] = pic.at(x, y) > 127;
  return ink;
}

// Where two pictures differ, the first rows of each around it.
std::string differ(const std::vector<unsigned char> &a,
                   const std::vector<unsigned char> &b, int w, int h) {
  int row = -1;
  for (int y = 0; y < h && row < 0; y++)
    for (int x = 0; x < w; x++)
      if (a[size_t(y) * w + x] != b[size_t(y) * w + x]) {
        row = y;
        break;
      }
  if (row < 0) return "";
  std::string s = "first difference in row " + std::to_string(row) +
                  "\nthe reader's code:\n";
  auto art = [&](const std::vector<unsigned char> &px) {
    for (int y = std::max(0, row - 2); y < std::min(h, row + 14); y++) {
      for (int x = 0; x < std::min(w, 160); x++)
        s += px[size_t(y) * w + x] ? '#' : '.';
      s += '\n';
    }
  };
  art(a);
  s += "--show --target:\n";
  art(b);
  return s;
}

// The texts every reader draws.
struct textcase {
  const char *name;
  std::string text;
};
std::vector<textcase> texts() {
  std::string ascii, kana;
  for (int c = 0x20; c < 0x7F; c++) {
    ascii += char(c);
    if (c % 32 == 31) ascii += '\n';
  }
  for (unsigned u = 0xFF61; u <= 0xFF9F; u++) {
    kana += char(0xE0 | u >> 12);
    kana += char(0x80 | (u >> 6 & 0x3F));
    kana += char(0x80 | (u & 0x3F));
  }
  std::string lines;
  for (int i = 0; i < 20; i++) lines += "line " + std::to_string(i) + "\n";
  return {
      {"menu",
       "設定 Settings\n温度 23.5℃\n湿度 45%\n戻る Back\nWi-Fi 接続中…\n"},
      {"ascii", ascii},
      {"katakana", kana},
      {"lacking", "กab\nabกcd\nabcก\n"},
      {"long", "The quick brown fox jumps over the lazy dog, "
               "0123456789 times over and over again until it runs off."},
      {"lines", lines},
      {"crlf", "CR LF\r\nends\r\n\r\nhere"},
      {"wide", ""}, // made for each font: see widetext
  };
}

// The fonts, made once a run as a user makes them for the reader.
struct fontcase {
  std::string name;
  std::vector<std::string> files;
  std::string why; // why it could not be made
};

std::string made(const std::string &path, std::vector<std::string> args,
                 std::string *why) {
  args.insert(args.end(), {"-o", path});
  proc p = vfont(args);
  if (p.status && why->empty()) *why = "could not make " + path + ": " + p.err;
  return path;
}

void put(const std::string &path, const std::string &bytes) {
  FILE *o = fopen(path.c_str(), "wb");
  ASSERT_TRUE(o);
  fwrite(bytes.data(), 1, bytes.size(), o);
  fclose(o);
}

// A font of random glyphs (padding bits too), w x h, its first byte zero
// (a real font's first glyph is blank): single-byte, or double-byte of
// the Shift_JIS symbols, kana and the first kanji row, or for a Unicode
// reader ASCII and the CJK symbols and kana.
std::string noisefont(int w, int h, bool dbl, bool unicode) {
  std::vector<block> b =
      unicode ? std::vector<block>{{0x20, 0x7E}, {0x3000, 0x30FF}}
              : std::vector<block>{
                    {0x8140, 0x81FC}, {0x829F, 0x8396}, {0x889F, 0x88FC}};
  std::string f =
      dbl ? header("NOISE", w, h, 1) + table(b) +
                noise(glyphs(b) * ((w + 7) / 8) * h, 7)
          : header("NOISE", w, h, 0) + noise(256 * ((w + 7) / 8) * h, 8);
  f[dbl ? 18 + 4 * b.size() : 17] = 0;
  return f;
}

std::vector<fontcase> fonts(const readerdef &r, const scratch &dir) {
  std::vector<fontcase> f;
  std::string t = r.target;
  bool espidf = t.compare(0, 7, "esp-idf") == 0, hagl = t == "hagl";
  bool pair = !espidf && !hagl;
  // Made as a user makes them for the reader: the pair, the single-byte
  // font alone, or for hagl each kind alone.
  auto both = [&](const std::string &name, std::vector<std::string> args,
                  bool target = true) {
    if (slurp(args.back()).empty()) {
      f.push_back({name, {}, "needs " + args.back()});
      return;
    }
    if (target) args.insert(args.begin(), {"--target", t});
    fontcase c = {name, {}, ""};
    for (const char *k : {"single", "double"}) {
      if (espidf && k[0] == 'd') break;
      std::vector<std::string> a = args;
      a.insert(a.begin(), {"-k", k});
      c.files.push_back(made(dir.at(name + k + ".FNT"), a, &c.why));
      if (hagl) {
        f.push_back(c);
        c.name += "-double", c.files.clear();
      }
    }
    if (!hagl) f.push_back(c);
  };
  for (int px : {16, 24, 32})
    both("ipag" + std::to_string(px), {"-s", std::to_string(px), ipag});
  both("mono16", {"-s", "16", mono});
  both("mono16w10", {"-s", "16", "-w", "10", mono}, false);
  both("subset", {"-s", "16", "--text", dir.at("menu.txt"), ipag});
  std::string fonts = fontsdir();
  fontcase real = {"ILGH16XB", {fonts + "/ILGH16XB.FNT"}, ""};
  if (!espidf && !hagl) real.files.push_back(fonts + "/ILGZ16XB.FNT");
  if (slurp(real.files[0]).empty()) real.why = "needs " + real.files[0];
  if (!hagl) f.push_back(real);
  // The smallest cell and the largest each reader takes, and a cell whose
  // rows a (w+4)/8 reader reads short.
  bool oled = t == "rpi-oled";
  int large = oled                               ? 16
              : t == "rpi-tft" || t == "esp-idf" ? 32
              : t == "arduino-fontx"             ? 248
                                                 : 255;
  // The OLED program draws 16 rows of every glyph, 8-pixel columns.
  for (auto size : std::vector<std::pair<int, int>>{
           {oled ? 8 : 1, oled ? 16 : 1}, {10, 16}, {large, large}}) {
    std::string name = "noise" + std::to_string(size.first) + "x" +
                       std::to_string(size.second);
    fontcase c = {name, {dir.at(name + "H.FNT")}, ""};
    put(c.files[0], noisefont(size.first, size.second, false, false));
    if (pair || hagl) {
      c.files.push_back(dir.at(name + "Z.FNT"));
      put(c.files[1], noisefont(size.first, size.second, true, hagl));
    }
    if (hagl) {
      f.push_back({name, {c.files[0]}, ""});
      f.push_back({name + "-double", {c.files[1]}, ""});
    } else {
      f.push_back(c);
    }
  }
  return f;
}

void conform(const readerdef &r) {
  const built &b = build(r);
  if (b.exe.empty()) GTEST_SKIP() << b.why;
  scratch dir;
  auto tt = texts();
  for (const auto &t : tt) put(dir.at(std::string(t.name) + ".txt"), t.text);
  // The OLED program's memory is its 128x64 module's.
  const bool oled = std::string(r.target) == "rpi-oled";
  const int w = oled ? 128 : 320, h = oled ? 64 : 240;
  size_t cases = 0, equal = 0, undefined = 0;
  for (const auto &f : fonts(r, dir)) {
    SCOPED_TRACE(f.name);
    if (!f.why.empty()) {
      std::cout << "[ NOTE     ] " << r.target << ": " << f.why << "\n";
      continue;
    }
    // A line whose pen passes x = 65535 in the font's cells: every pen's
    // wrap, at the cost of a few glyphs past the edge.
    std::string head = slurp(f.files[0]), wide;
    int cw = head.size() > 14 ? static_cast<unsigned char>(head[14]) : 1;
    for (int i = 0; i < 66000 / std::max(cw, 1) + 40; i++)
      wide += char('A' + i % 26);
    put(dir.at("wide.txt"), wide);
    for (const auto &t : tt) {
      SCOPED_TRACE(t.name);
      std::string text = dir.at(std::string(t.name) + ".txt");
      std::vector<std::string> a = {b.exe, dir.at("out.pbm"), std::to_string(w),
                                    std::to_string(h), text};
      a.insert(a.end(), f.files.begin(), f.files.end());
      // A reader that never ends is a failure, not a hung suite.
      a.insert(a.begin(), "120");
      proc d = run("/usr/bin/timeout", a);
      ASSERT_EQ(d.status, 0) << d.err;
      std::vector<std::string> s = {
          "--show",   text,
          "--target", r.target,
          "--screen", std::to_string(w) + "x" + std::to_string(h),
          "-o",       dir.at("out.png")};
      s.insert(s.end(), f.files.begin(), f.files.end());
      proc v = vfont(s);
      ASSERT_EQ(v.status, 0) << v.err;
      // Where the OLED program finds no glyph it advances by a width it
      // never set: what it draws then is undefined.
      if (oled && v.err.find("in no font") != std::string::npos) {
        undefined++;
        continue;
      }
      auto want = readpbm(slurp(dir.at("out.pbm")), w, h);
      auto got = readpng(slurp(dir.at("out.png")), w, h);
      std::string diff = differ(want, got, w, h);
      cases++;
      equal += diff.empty();
      EXPECT_EQ(diff, "");
    }
  }
  std::cout << "[ READER   ] " << r.target << ": " << cases << " cases, "
            << equal << " equal"
            << (undefined ? ", " + std::to_string(undefined) +
                                " undefined in the reader, not compared"
                          : "")
            << "\n";
}

} // namespace

TEST(drivers, espidf) {
  conform(readers()[0]);
}
TEST(drivers, espidfst7789) {
  conform(readers()[1]);
}
TEST(drivers, hagl) {
  conform(readers()[2]);
}
TEST(drivers, arduino) {
  conform(readers()[3]);
}
TEST(drivers, stm32) {
  conform(readers()[4]);
}
TEST(drivers, rpitft) {
  conform(readers()[5]);
}
TEST(drivers, rpioled) {
  conform(readers()[6]);
}
