// --patch: a BDF font's glyphs over the font written, in every format and
// in --show, placed on the baseline, refused whole where one does not fit
// or has no code; nothing else of the font changes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sys/stat.h>

#include "conv.h"

namespace {

const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// A BDF font of the glyphs given, coded by Unicode.
std::string bdf(const std::vector<std::string> &glyphs) {
  std::string s = "STARTFONT 2.1\nFONT -test-edits-medium-r-normal--16-160-75-"
                  "75-c-80-iso10646-1\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 "
                  "-3\nSTARTPROPERTIES 4\nFONT_ASCENT 13\nFONT_DESCENT 3\n"
                  "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n"
                  "ENDPROPERTIES\nCHARS " +
                  std::to_string(glyphs.size()) + "\n";
  for (const auto &g : glyphs) s += g;
  return s + "ENDFONT\n";
}

// The period a 2x2 dot, the degree sign a ring, a battery at U+E000
// (CP932's 0xF040, which IPA Gothic has no glyph for); the degree sign
// also as one that reaches above the cell.
const std::string period = "STARTCHAR period\nENCODING 46\nSWIDTH 500 0\n"
                           "DWIDTH 8 0\nBBX 2 2 3 0\nBITMAP\nC0\nC0\nENDCHAR\n";
const std::string degree = "STARTCHAR degree\nENCODING 176\nSWIDTH 1000 0\n"
                           "DWIDTH 16 0\nBBX 4 4 1 9\nBITMAP\n60\n90\n90\n60\n"
                           "ENDCHAR\n";
const std::string tall = "STARTCHAR degree\nENCODING 176\nSWIDTH 1000 0\n"
                         "DWIDTH 16 0\nBBX 4 4 1 13\nBITMAP\n60\n90\n90\n60\n"
                         "ENDCHAR\n";
const std::string battery =
    "STARTCHAR battery\nENCODING 57344\nSWIDTH 1000 0\nDWIDTH 16 0\nBBX 12 8 "
    "2 0\nBITMAP\nFFF0\n8010\n8018\n8018\n8018\n8018\n8010\nFFF0\nENDCHAR\n";

void put(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A BDF font's glyphs by name: everything from ENCODING to ENDCHAR.
std::map<std::string, std::string> glyphsof(const std::string &font) {
  std::map<std::string, std::string> g;
  for (size_t at = font.find("STARTCHAR "); at != std::string::npos;
       at = font.find("STARTCHAR ", at + 1)) {
    size_t nl = font.find('\n', at), end = font.find("ENDCHAR", at);
    g[font.substr(at + 10, nl - at - 10)] = font.substr(nl, end - nl);
  }
  return g;
}

// The names of the glyphs that differ, are added or are gone.
std::vector<std::string> changed(const std::string &a, const std::string &b) {
  auto x = glyphsof(a), y = glyphsof(b);
  std::vector<std::string> d;
  for (const auto &g : y)
    if (!x.count(g.first) || x[g.first] != g.second) d.push_back(g.first);
  for (const auto &g : x)
    if (!y.count(g.first)) d.push_back("-" + g.first);
  return d;
}

} // namespace

// IPA Gothic at 16 px patched with three glyphs: one replaced in each
// font of the pair, one added. Each format has exactly those changes.
TEST(patch, ipagothic) {
  if (slurp(ipag).empty()) GTEST_SKIP() << "needs fonts-ipafont-gothic";
  scratch dir;
  std::string p = dir.at("edits.bdf"), t = dir.at("t.txt");
  put(p, bdf({period, degree, battery}));
  put(dir.at("tall.bdf"), bdf({period, tall, battery}));
  put(t, "23.5\xC2\xB0\xEE\x80\x80\n");
  // The one too tall is refused, named, and nothing is written.
  std::string o = dir.at("o.fnt");
  proc refused = vfont({"-s", "16", "-f", "fontx2", "--patch",
                        dir.at("tall.bdf"), ipag, "-o", o});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "dosvfont: " + dir.at("tall.bdf") +
                             ": the glyph of U+00B0 (\xC2\xB0) reaches "
                             "outside the 16x16 cell\n");
  struct stat st;
  EXPECT_NE(stat(o.c_str(), &st), 0);
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> changes;
  } cases[] = {
      {{"-k", "double"}, {"uni00B0", "uniE000"}},
      {{"-k", "single"}, {"uni002E"}},
      {{"-k", "double", "--text", t}, {"uni00B0", "uniE000"}},
      {{"-k", "single", "--text", t}, {"uni002E"}},
      {{"-k", "double", "--range", "8100-8FFF"}, {"uni00B0"}},
  };
  for (const auto &c : cases) {
    std::vector<std::string> a = {"-s", "16", "-f", "bdf"};
    a.insert(a.end(), c.args.begin(), c.args.end());
    a.push_back(ipag);
    proc plain = vfont(a);
    a.insert(a.end() - 1, {"--patch", p});
    proc patched = vfont(a);
    SCOPED_TRACE(c.args[1] + (c.args.size() > 2 ? " " + c.args[2] : ""));
    ASSERT_EQ(patched.status, 0) << patched.err;
    EXPECT_EQ(changed(plain.out, patched.out), c.changes);
    // As FONTX2, read back: the same changes.
    a[3] = "fontx2";
    proc fnt = vfont(a);
    a.erase(a.end() - 3, a.end() - 1);
    proc bare = vfont(a);
    ASSERT_EQ(fnt.status + bare.status, 0);
    const std::vector<std::string> back = {
        "-f", "bdf", c.args[1] == "double" ? "-c" : "-e",
        c.args[1] == "double" ? "sjis" : "CP932"};
    EXPECT_EQ(changed(vfont(back, bare.out).out, vfont(back, fnt.out).out),
              c.changes);
  }
  // C source holds the patched FONTX2 font's bytes; --info counts the
  // edits of both fonts; --show draws them as the patched fonts do.
  proc h = vfont({"-s", "16", "-k", "double", "-f", "fontx2", "--patch", p,
                  ipag, "-o", dir.at("z.fnt")});
  EXPECT_NE(h.err.find("dosvfont: note: " + p +
                       ": 1 glyph for the single-byte font, not in this one\n"),
            std::string::npos)
      << h.err;
  proc z = vfont({"-s", "16", "-k", "single", "-f", "fontx2", "--patch", p,
                  ipag, "-o", dir.at("h.fnt")});
  ASSERT_EQ(h.status + z.status, 0);
  proc c1 = vfont({"-s", "16", "-k", "double", "-f", "c", "--c-name", "f",
                   "--patch", p, ipag});
  proc c2 = vfont({"-f", "c", "--c-name", "f", dir.at("z.fnt")});
  EXPECT_EQ(c1.status, 0);
  EXPECT_TRUE(c1.out == c2.out);
  proc info = vfont({"--info", "-s", "16", "--patch", p, ipag});
  EXPECT_NE(info.out.find("\npatch: 3 glyphs (2 replaced, 1 added)\n"),
            std::string::npos)
      << info.out;
  proc shown = vfont({"--show", t, "-s", "16", "--patch", p, ipag});
  proc made = vfont({"--show", t, dir.at("h.fnt"), dir.at("z.fnt")});
  proc bare = vfont({"--show", t, "-s", "16", ipag});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, "");
  EXPECT_TRUE(shown.out == made.out);
  EXPECT_FALSE(shown.out == bare.out);
}

// A FONTX2 font written again with a patch keeps every byte but the
// patched glyph's; what cannot be a patch is refused.
TEST(patch, fontx2) {
  std::string dir = fontsdir();
  if (dir.empty()) GTEST_SKIP() << nofonts();
  scratch s;
  std::string p = s.at("edits.bdf"), f = dir + "/ILGH16XB.FNT";
  put(p, bdf({period, degree, battery}));
  std::string before = slurp(f);
  proc after = vfont({"-f", "fontx2", "--patch", p, f});
  ASSERT_EQ(after.status, 0) << after.err;
  ASSERT_EQ(after.out.size(), before.size());
  const size_t first = 17 + 0x2E * 16, end = first + 16;
  size_t differ = 0;
  for (size_t i = 0; i < before.size(); i++)
    if (before[i] != after.out[i]) {
      EXPECT_TRUE(i >= first && i < end) << "byte " << i;
      differ++;
    }
  EXPECT_GT(differ, 0u);
  put(s.at("emoji.bdf"),
      bdf({"STARTCHAR e\nENCODING 128512\nDWIDTH 8 0\nBBX 1 1 0 0\nBITMAP\n"
           "80\nENDCHAR\n"}));
  expectfailures({
      {{"--patch", f, f},
       "",
       1,
       f + ": not a BDF font: --patch takes the "
           "glyphs of a BDF font"},
      {{"--patch", s.at("emoji.bdf"), f},
       "",
       1,
       s.at("emoji.bdf") + ": the glyph of U+1F600 (\xF0\x9F\x98\x80) has no "
                           "code in CP932 nor in sjis"},
      {{"--patch", p, "--patch", p, f}, "", 2, "--patch given twice"},
      {{"--patch", s.at("none.bdf"), f},
       "",
       1,
       "cannot read " + s.at("none.bdf") + ": No such file or directory"},
  });
}
