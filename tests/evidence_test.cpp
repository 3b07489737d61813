// Nothing lost without a word: a run never replaces its input, a FONTX2
// font keeps its own set, characters a set cannot hold are counted, the
// double-byte sets are told apart by the evidence, and a text's
// characters of the other kind of font are named as such.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "codes/codes.h"
#include "conv.h"
#include "fontx/fontxset.h"
#include "fontx/guess.h"

namespace {

const char misc[] = "/usr/share/fonts/X11/misc/";
const char ipag[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// -o naming an input is refused before anything is written, however the
// input is named.
TEST(evidence, outputisinput) {
  scratch s;
  std::string font =
      header("F", 8, 8, 1) + table({{0x8140, 0x81FC}}) + noise(188 * 8);
  std::string f = s.at("f.fnt"), t = s.at("t.txt");
  std::ofstream(f, std::ios::binary) << font;
  std::ofstream(t) << "A";
  ASSERT_EQ(symlink(f.c_str(), s.at("link.fnt").c_str()), 0);
  const struct {
    std::vector<std::string> args;
    std::string in, out;
  } cases[] = {
      {{"-c", "unicode", "-f", "fontx2", f, "-o", f}, "", f},
      {{"-f", "fontx2", s.at("link.fnt"), "-o", f}, "", f},
      {{"-f", "fontx2", f, "-o", s.at("link.fnt")}, "", s.at("link.fnt")},
      {{"--text", t, f, "-o", t}, "", t},
  };
  for (const auto &c : cases) {
    proc p = vfont(c.args);
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(p.err, "dosvfont: " + c.out + ": -o names an input\n");
  }
  // Standard input, when it is the input.
  proc p =
      run("/bin/sh", {"-c", std::string("'") + DOSVFONT_PROGRAM +
                                "' -f fontx2 -o '" + f + "' < '" + f + "'"});
  EXPECT_EQ(p.status, 2);
  EXPECT_EQ(slurp(f), font);
  EXPECT_EQ(slurp(t), "A");
}

// A Unicode-coded FONTX2 font stays so when written again, and a set that
// cannot hold its characters is warned of, by block, with the remedy.
TEST(evidence, ownsetkept) {
  std::string ko = slurp(std::string(misc) + "18x18ko.pcf.gz");
  if (ko.empty())
    GTEST_SKIP() << "needs 18x18ko.pcf.gz (Debian: xfonts-intl-asian)";
  proc uni = vfont({"-c", "unicode", "-k", "double", "-f", "fontx2"}, ko);
  ASSERT_EQ(uni.status, 0) << uni.err;
  proc again = vfont({"-f", "fontx2"}, uni.out);
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.err, "");
  EXPECT_TRUE(again.out == uni.out) << "not the same font";
  proc sjis = vfont({"-f", "fontx2", "-c", "sjis"}, uni.out);
  EXPECT_EQ(sjis.status, 0);
  EXPECT_NE(sjis.err.find("characters not in sjis (CJK Unified Ideographs "),
            std::string::npos)
      << sjis.err;
  EXPECT_NE(sjis.err.find(", Hangul Syllables 11,172, "), std::string::npos)
      << sjis.err;
  EXPECT_NE(sjis.err.find("): -c unicode keeps them\n"), std::string::npos);
  // And from the PCF font itself, as every double-byte font written.
  proc direct = vfont({"-k", "double", "-f", "fontx2"}, ko);
  EXPECT_NE(direct.err.find("Hangul Syllables 11,172"), std::string::npos)
      << direct.err;
}

// Whole fonts written in each set are read back in it, by --info and by
// the conversion to BDF, from the evidence of their codes alone.
TEST(evidence, guesses) {
  struct source {
    std::string name;
    std::vector<std::string> args;
  };
  std::vector<source> sources;
  if (!slurp(ipag).empty())
    sources.push_back({"IPA Gothic", {"-s", "16", ipag}});
  for (const char *f : {"unifont.pcf.gz", "18x18ko.pcf.gz"})
    if (!slurp(std::string(misc) + f).empty())
      sources.push_back({f, {std::string(misc) + f}});
  if (sources.empty()) GTEST_SKIP() << "needs IPA Gothic, unifont or 18x18ko";
  for (const auto &src : sources)
    for (const char *set :
         {"sjis", "sjis2004", "unicode", "CP936", "CP949", "BIG5"}) {
      SCOPED_TRACE(src.name + " in " + set);
      std::vector<std::string> args = {"-k", "double", "-c",
                                       set,  "-f",     "fontx2"};
      args.insert(args.end(), src.args.begin(), src.args.end());
      proc fnt = vfont(args);
      ASSERT_EQ(fnt.status, 0) << fnt.err;
      proc info = vfont({"--info"}, fnt.out);
      EXPECT_NE(info.out.find(std::string("\ncodes: ") + set + " (guessed: "),
                std::string::npos)
          << info.out;
      proc guessed = vfont({}, fnt.out), given = vfont({"-c", set}, fnt.out);
      EXPECT_EQ(guessed.err, "");
      EXPECT_TRUE(guessed.out == given.out) << "the BDF differs";
    }
}

// A conversion weighs only the sets that could win, and picks what
// weighing every set picks: on each set's whole repertoire, on scattered
// parts of it, on mixtures of two sets, on a run of codes that is no
// set's, and on real fonts.
TEST(evidence, sureguess) {
  std::vector<std::vector<uint16_t>> fonts;
  std::vector<std::vector<uint16_t>> sets;
  for (const char *name : {"sjis", "sjis2004", "CP936", "CP949", "BIG5"}) {
    codeset cs;
    ASSERT_EQ(dbcsnamed(&cs, name), 0) << name;
    mapper m;
    ASSERT_EQ(mapopen(&m, &cs), 0) << name;
    std::vector<uint16_t> codes;
    for (uint32_t c = 0x100; c < 0x10000; c++)
      if (touni(&m, c) >= 0) codes.push_back(static_cast<uint16_t>(c));
    mapclose(&m);
    sets.push_back(codes);
  }
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (size_t a = 0; a < sets.size(); a++) {
    fonts.push_back(sets[a]);
    for (size_t keep : {2u, 8u, 40u}) { // a half, an eighth, a fortieth
      std::vector<uint16_t> part;
      for (uint16_t c : sets[a])
        if (next() % keep == 0) part.push_back(c);
      fonts.push_back(part);
    }
    for (size_t b = 0; b < sets.size(); b++) {
      if (a == b) continue;
      std::vector<uint16_t> mix;
      for (uint16_t c : sets[a])
        if (next() % 4) mix.push_back(c);
      for (uint16_t c : sets[b])
        if (next() % 3 == 0) mix.push_back(c);
      std::sort(mix.begin(), mix.end());
      mix.erase(std::unique(mix.begin(), mix.end()), mix.end());
      fonts.push_back(mix);
    }
  }
  std::vector<uint16_t> run, ascii;
  for (uint32_t c = 0x8140; c < 0x8140 + 11719; c++)
    run.push_back(static_cast<uint16_t>(c));
  for (uint32_t c = 0x20; c < 0x3000; c++)
    ascii.push_back(static_cast<uint16_t>(c));
  fonts.push_back(run);
  fonts.push_back(ascii);
  auto same = [](const glyphset *gs, const std::string &what) {
    guess all, best;
    guesscodes(gs, nullptr, &all, GUESSALL);
    guesscodes(gs, nullptr, &best, GUESSBEST);
    EXPECT_STREQ(setname(&best.set[0]), setname(&all.set[0])) << what;
    EXPECT_EQ(best.weak, all.weak) << what;
    EXPECT_EQ(best.decoded[0], all.decoded[0]) << what;
  };
  for (size_t f = 0; f < fonts.size(); f++) {
    // Blocks of runs of codes, glyphs of noise.
    std::vector<codeblock> blocks;
    for (uint16_t c : fonts[f])
      if (!blocks.empty() && blocks.back().end + 1 == c)
        blocks.back().end = c;
      else
        blocks.push_back({c, c});
    std::string bits = noise(fonts[f].size() * 32, static_cast<uint32_t>(f));
    glyphset gs = {};
    gs.width = gs.height = 16;
    gs.kind = 1;
    gs.nblocks = static_cast<int>(blocks.size());
    gs.blocks = blocks.data();
    gs.glyphs = gs.whole = fonts[f].size();
    gs.glyphbytes = 32;
    gs.bits = reinterpret_cast<const unsigned char *>(bits.data());
    same(&gs, "font " + std::to_string(f));
  }
  for (const auto &real : realfonts()) {
    glyphset gs = {};
    fontxfacts facts;
    const auto *data =
        reinterpret_cast<const unsigned char *>(real.font.data());
    ASSERT_EQ(fontxload(data, real.font.size(), &gs, &facts), 0) << real.name;
    if (gs.kind) same(&gs, real.name);
    gsfree(&gs);
  }
}

// Weak evidence is said: few codes, and a header that names the set tips
// a close call.
TEST(evidence, weak) {
  std::string hira =
      header("K16", 16, 16, 1) + table({{0x829F, 0x82F1}}) + noise(83 * 32, 7);
  // Shift_JIS, FONTX2's own set, is read silently on little evidence, in
  // every path; --info still gives the evidence.
  proc p = vfont({}, hira);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "");
  // Little evidence that points elsewhere is said, in every path.
  std::string hanzi =
      header("H16", 16, 16, 1) + table({{0xB0A1, 0xB0FE}}) + noise(94 * 32, 9);
  for (std::vector<std::string> a :
       {std::vector<std::string>{}, {"--info"}, {"-f", "png"}}) {
    proc h = vfont(a, hanzi);
    EXPECT_NE(h.err.find("on little evidence (few codes;"), std::string::npos)
        << h.err;
  }
  p = vfont({"--info"}, hira);
  EXPECT_EQ(p.err, "");
  EXPECT_NE(p.out.find("codes: sjis (guessed: 83 of 83 codes decode in "
                       "sjis)\nrunner-up: sjis2004, 83 of 83 codes decode\n"),
            std::string::npos)
      << p.out;
  std::vector<block> kanji = {
      {0x889F, 0x88FC}, {0x8940, 0x897E}, {0x8980, 0x89FC}};
  std::string bits = noise(glyphs(kanji) * 32, 8);
  p = vfont({"--info"}, header("JISX0213", 16, 16, 1) + table(kanji) + bits);
  EXPECT_NE(p.out.find("codes: sjis2004 (guessed: 282 of 282 codes decode in "
                       "sjis2004, and the header names JISX0213)"),
            std::string::npos)
      << p.out;
  p = vfont({"--info"}, header("KANJI", 16, 16, 1) + table(kanji) + bits);
  EXPECT_NE(p.out.find("codes: sjis (guessed"), std::string::npos) << p.out;
  // --from corrects a guess, and names only a set of the font's kind.
  p = vfont({"--info", "--from", "CP936"}, hira);
  EXPECT_NE(p.out.find("codes: CP936 (given with --from)"), std::string::npos);
  expectfailures({
      {{"--from", "KOI8-R"},
       hira,
       2,
       "--from: 'KOI8-R' is no double-byte set, and the font is double-byte"},
      {{"-c", "sjis", "--from", "CP936"},
       hira,
       2,
       "-c and --from both name the font's set: give one"},
      {{"--from", "NO-SUCH-SET"}, hira, 2, "--from: unknown set 'NO-SUCH-SET'"},
  });
}

// A text's characters that the other kind of font holds are named as
// such, not as missing; a selection they leave empty says so.
TEST(evidence, otherkind) {
  scratch s;
  std::ofstream(s.at("menu.txt")) << "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5"
                                     " 25\n"; // メニュ 25
  std::ofstream(s.at("digits.txt")) << "25\n";
  std::string kana =
      header("KANA", 16, 16, 1) + table({{0x8340, 0x8396}}) + noise(87 * 32, 9);
  proc p = vfont({"--from", "sjis", "--text", s.at("menu.txt")}, kana);
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "dosvfont: warning: standard input: 3 characters belong "
                   "in the single-byte font: 2 5 space\n");
  p = vfont({"--from", "sjis", "--text", s.at("digits.txt")}, kana);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "dosvfont: standard input: no glyph is in the --range or "
                   "--text given\ndosvfont: " +
                       s.at("digits.txt") +
                       ": the text's 2 characters belong in the single-byte "
                       "font\n");
  if (slurp(ipag).empty()) return;
  p = vfont({"--text", s.at("menu.txt"), "-s", "16", "-k", "double", "-f",
             "fontx2", ipag});
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.err, "dosvfont: warning: " + std::string(ipag) +
                       ": 3 characters belong in the single-byte font: 2 5 "
                       "space\n");
}

} // namespace
