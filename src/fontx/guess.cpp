// The code set of a double-byte FONTX2 font, from the evidence: a set that
// cannot decode some of the font's codes is not the font's (a lead byte
// below 0x81 or a trail below 0x40 is none of the double-byte sets'), the
// one whose decodings stay out of the private use area is likelier (GBK
// puts the kana and the last hanja rows of KS X 1001 there), and a name
// in the header or the file's name that names a set tips a close call.
#include "fontx/guess.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The candidates, in the order a tie is decided: the DOS/V sets first.
const struct {
  int type;
  const char *name;
} candidates[NGUESSES] = {
    {SETSJIS, ""},      {SETSJIS2004, ""}, {SETDBCS, "CP936"},
    {SETDBCS, "CP949"}, {SETDBCS, "BIG5"}, {SETUNICODE, ""},
};

// Words that name a set, as headers and file names write them.
const struct {
  const char *word;
  int candidate;
} words[] = {
    {"JISX0213", 1}, {"SJIS2004", 1}, {"JIS2004", 1}, {"GB2312", 2},
    {"GBK", 2},      {"GB18030", 2},  {"CP936", 2},   {"KSC5601", 3},
    {"KSX1001", 3},  {"UHC", 3},      {"CP949", 3},   {"BIG5", 4},
    {"CP950", 4},    {"UNICODE", 5},  {"UCS2", 5},
};

// Kinds of set: a set of another kind nearly as good makes the evidence
// weak; Shift_JIS and Shift_JIS-2004 are one kind, and read the codes of
// JIS X 0208 alike.
int family(int i) {
  return i <= 1 ? 0 : i;
}

// Where each candidate has its own repertoire, by code: JIS X 0208's rows
// (and NEC's row 13) for CP932, all of JIS X 0213 for Shift_JIS-2004,
// GB2312's rows for CP936, KS X 1001's for CP949, all of Big5, and the
// blocks of the scripts in use for Unicode. The other sets read many of
// the same codes, as their extensions.
bool primary(int i, uint32_t c) {
  unsigned lead = c >> 8, trail = c & 0xFF;
  bool sjistrail = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
  bool grid = trail >= 0xA1 && trail <= 0xFE;
  switch (i) {
  case 0:
    return sjistrail &&
           ((lead >= 0x81 && lead <= 0x84) || (lead == 0x87 && trail <= 0x9C) ||
            (lead == 0x88 && trail >= 0x9F) || (lead >= 0x89 && lead <= 0x9F) ||
            (lead >= 0xE0 && lead <= 0xE9) || (lead == 0xEA && trail <= 0xA4));
  case 1:
    return sjistrail &&
           ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC));
  case 2:
    return grid &&
           ((lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7));
  case 3:
    return grid &&
           ((lead >= 0xA1 && lead <= 0xAC) || (lead >= 0xB0 && lead <= 0xC8) ||
            (lead >= 0xCA && lead <= 0xFD));
  case 4:
    return lead >= 0xA1 && lead <= 0xF9 &&
           ((trail >= 0x40 && trail <= 0x7E) || grid);
  default: {
    static const uint32_t scripts[][2] = {
        {0x4E00, 0x9FFF}, {0x0020, 0x007E}, {0x00A0, 0x052F}, {0x1E00, 0x1FFF},
        {0x2000, 0x2BFF}, {0x3000, 0x30FF}, {0x3130, 0x318F}, {0x3200, 0x33FF},
        {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF}};
    return std::any_of(
        std::begin(scripts), std::end(scripts),
        [&](const uint32_t *r) { return c >= r[0] && c <= r[1]; });
  }
  }
}

bool pua(uint32_t u) {
  return (u >= 0xE000 && u <= 0xF8FF) || u >= 0xF0000;
}

// A code that could stand for a character of its own in a Unicode-coded
// font: no control, surrogate or noncharacter.
bool unicodechar(uint32_t c) {
  return c >= 0x20 && (c < 0x7F || c > 0x9F) && (c < 0xD800 || c > 0xDFFF) &&
         (c < 0xFDD0 || c > 0xFDEF) && c < 0xFFFE;
}

// The candidate a word names, or -1: the header's name holds it (8 bytes,
// often run together: "GB2312HEI"), the file's name has it as a word.
int namedin(const char *text, bool whole, char *found, size_t size) {
  char up[256];
  size_t n = 0;
  for (; *text && n + 1 < sizeof up; text++)
    up[n++] = static_cast<char>(toupper(static_cast<unsigned char>(*text)));
  up[n] = '\0';
  for (const auto &w : words) {
    size_t k = strlen(w.word);
    for (const char *p = strstr(up, w.word); p; p = strstr(p + 1, w.word)) {
      bool left = p == up || !isalnum(static_cast<unsigned char>(p[-1]));
      bool right = !isalnum(static_cast<unsigned char>(p[k]));
      if (whole ? left && right : k >= 4 || (left && right)) {
        snprintf(found, size, "%s", w.word);
        return w.candidate;
      }
    }
  }
  return -1;
}

} // namespace

void guesscodes(const glyphset *gs, const char *path, guess *g) {
  *g = guess();
  // The distinct codes whose glyph is a character's: generators write
  // whole rows, and a blank cell, or a filler or a box that stands in many
  // cells, says nothing of the set. Only glyphs the file has, the first of
  // each code: a few bytes can announce millions.
  std::vector<uint64_t> seen(0x10000 / 64);
  std::vector<std::pair<uint16_t, uint64_t>> firsts; // code, glyph's hash
  size_t n = gs->glyphbytes, take = n < 24 ? n : 8, places = n < 24 ? 1 : 3;
  const size_t place[3] = {0, n / 2 - take / 2, n - take};
  auto sample = [&](const unsigned char *bits) {
    uint64_t h = 14695981039346656037ull; // FNV-1a, a word at a time
    for (size_t p = 0; p < places; p++)
      for (size_t k = 0; k < take; k += 8) {
        uint64_t w = 0;
        if (bits) memcpy(&w, bits + place[p] + k, take - k < 8 ? take - k : 8);
        h = (h ^ w) * 1099511628211ull;
        h ^= h >> 29;
      }
    return h;
  };
  const uint64_t blank = sample(nullptr);
  size_t at = 0;
  eachcode(gs, [&](uint32_t c) {
    size_t glyph = at++;
    if (glyph >= gs->whole) return false;
    if (seen[c >> 6] & uint64_t{1} << (c & 63)) return true;
    seen[c >> 6] |= uint64_t{1} << (c & 63);
    // Identical glyphs have identical bytes anywhere: the start, middle
    // and end of each stand for it (all of it when it is short), and only
    // a glyph blank there is looked through for ink.
    const unsigned char *bits = gs->bits + glyph * n;
    uint64_t h = sample(bits);
    bool ink = h != blank;
    for (size_t k = 0; k < n && !ink; k++) ink = bits[k] != 0;
    if (ink) firsts.push_back({static_cast<uint16_t>(c), h});
    return true;
  });
  // How many glyphs share each sample: a table of twice their number,
  // found by the hash and the next free place.
  size_t slots = 16;
  while (slots < 2 * firsts.size()) slots *= 2;
  std::vector<std::pair<uint64_t, uint32_t>> times(slots);
  auto slot = [&](uint64_t h) {
    size_t k = (h ^ h >> 32) & (slots - 1);
    while (times[k].second && times[k].first != h) k = (k + 1) & (slots - 1);
    return k;
  };
  for (const auto &f : firsts) {
    size_t k = slot(f.second);
    times[k].first = f.second;
    times[k].second++;
  }
  std::vector<uint16_t> codes;
  for (const auto &f : firsts)
    if (times[slot(f.second)].second < 8) codes.push_back(f.first);
  g->codes = codes.size();
  double score[NGUESSES] = {};
  char header[9] = "", fromheader[24] = "", fromfile[24] = "";
  memcpy(header, gs->name, 8);
  int byheader = namedin(header, false, fromheader, sizeof fromheader);
  const char *base = path ? strrchr(path, '/') : nullptr;
  base = base ? base + 1 : path;
  int byfile = base ? namedin(base, true, fromfile, sizeof fromfile) : -1;
  // Every double-byte set's code has a lead byte from 0x81 and a trail
  // from 0x40 to 0xFE. A Unicode-coded font has others: ASCII, kana and
  // most ideographs below 0x8100, and a quarter of any dense block's
  // codes with a trail below 0x40; a font of none is almost surely no
  // Unicode font, whatever values its codes would be.
  size_t shaped = static_cast<size_t>(
      std::count_if(codes.begin(), codes.end(), [](uint16_t c) {
        return (c >> 8) >= 0x81 && (c & 0xFF) >= 0x40 && (c & 0xFF) != 0xFF;
      }));
  double unicodeness =
      codes.empty() ? 1
                    : std::min(1.0, 4.0 * (codes.size() - shaped) /
                                        static_cast<double>(codes.size()));
  int order[NGUESSES];
  for (int i = 0; i < NGUESSES; i++) {
    order[i] = i;
    codeset cs = {};
    cs.type = candidates[i].type;
    strcpy(cs.name, candidates[i].name);
    g->set[i] = cs;
    g->named[i] =
        (byheader == i ? NAMEDHEADER : 0) | (byfile == i ? NAMEDFILE : 0);
    mapper m;
    bool open = cs.type != SETUNICODE && !mapopen(&m, &cs);
    size_t own = 0;
    for (uint16_t c : codes) {
      int32_t u = cs.type == SETUNICODE ? (unicodechar(c) ? c : -1)
                  : open                ? touni(&m, c)
                                        : -1;
      if (u < 0) continue;
      g->decoded[i]++;
      g->plain[i] += !pua(static_cast<uint32_t>(u));
      own += primary(i, c);
    }
    if (open) mapclose(&m);
    double all = codes.empty() ? 1 : static_cast<double>(codes.size());
    score[i] = (g->decoded[i] / all + own / all + 0.25 * g->plain[i] / all) *
                   (cs.type == SETUNICODE ? unicodeness : 1) +
               (g->named[i] ? 0.1 : 0);
  }
  // Shift_JIS-2004 over Shift_JIS only where it decodes codes CP932 has
  // none for, or is named: they read JIS X 0208 alike, DOS/V fonts are
  // CP932's, and CP932's user area takes a DOS/V font's own glyphs.
  if (score[1] > score[0] && g->decoded[1] <= g->decoded[0] && !g->named[1])
    score[1] = score[0] - 1e-9;
  std::stable_sort(order, order + NGUESSES,
                   [&](int a, int b) { return score[a] > score[b]; });
  guess sorted = *g;
  for (int k = 0; k < NGUESSES; k++) {
    int i = order[k];
    sorted.set[k] = g->set[i];
    sorted.decoded[k] = g->decoded[i];
    sorted.plain[k] = g->plain[i];
    sorted.named[k] = g->named[i];
  }
  *g = sorted;
  int best = order[0];
  snprintf(g->name, sizeof g->name, "%s",
           byheader == best ? fromheader
           : byfile == best ? fromfile
                            : "");
  // Weak: few codes to weigh, or a set of another kind nearly as good.
  g->weak = g->codes < 200;
  g->rival = 1;
  while (g->rival < NGUESSES - 1 && family(order[g->rival]) == family(best))
    g->rival++;
  if (score[order[g->rival]] >= score[best] - 0.02) g->weak = 1;
}
