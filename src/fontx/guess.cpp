// The code set of a double-byte FONTX2 font, from the evidence: a set that
// cannot decode some of the font's codes is not the font's (a lead byte
// below 0x81 or a trail below 0x40 is none of the double-byte sets'), the
// one whose decodings stay out of the private use area is likelier (GBK
// puts the kana and the last hanja rows of KS X 1001 there), and a name
// in the header or the file's name that names a set tips a close call.
#include "fontx/guess.h"

#include "fontx/evidence.h"

#include <algorithm>
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

// Kinds of set: a set of another kind nearly as good makes the evidence
// weak; Shift_JIS and Shift_JIS-2004 are one kind, and read the codes of
// JIS X 0208 alike.
int family(int i) {
  return i <= 1 ? 0 : i;
}

// The blocks of the scripts in use, as Unicode's own repertoire.
const uint32_t scripts[][2] = {
    {0x4E00, 0x9FFF}, {0x0020, 0x007E}, {0x00A0, 0x052F}, {0x1E00, 0x1FFF},
    {0x2000, 0x2BFF}, {0x3000, 0x30FF}, {0x3130, 0x318F}, {0x3200, 0x33FF},
    {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF}};

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
  default:
    return std::any_of(
        std::begin(scripts), std::end(scripts),
        [&](const uint32_t *r) { return c >= r[0] && c <= r[1]; });
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

// Unicode's counts, where a code is its value: whether it is a character,
// in private use, in a script in use. A row of 256 codes is alike
// throughout unless one of those ranges starts or ends inside it: such
// rows are weighed code by code, the others once.
void weighunicode(const std::vector<uint16_t> &codes, size_t *decoded,
                  size_t *plain, size_t *own) {
  bool mixed[256] = {};
  auto cut = [&](uint32_t b) {
    if (b < 0x10000 && (b & 0xFF)) mixed[b >> 8] = true;
  };
  for (const auto &r : scripts) cut(r[0]), cut(r[1] + 1);
  for (uint32_t b : {0x20u, 0x7Fu, 0xA0u, 0xD800u, 0xE000u, 0xF900u, 0xFDD0u,
                     0xFDF0u, 0xFFFEu})
    cut(b);
  auto count = [&](uint32_t c, size_t k) {
    if (!unicodechar(c)) return;
    *decoded += k;
    *plain += pua(c) ? 0 : k;
    *own += primary(NGUESSES - 1, c) ? k : 0;
  };
  size_t rows[256] = {};
  for (uint16_t c : codes)
    if (mixed[c >> 8])
      count(c, 1);
    else
      rows[c >> 8]++;
  for (uint32_t r = 0; r < 256; r++)
    if (rows[r]) count(r << 8, rows[r]);
}

// Each candidate's score: the share of codes it decodes, of those in its
// own repertoire and (a quarter) of those outside the private use area;
// a Unicode reading only as far as the codes look like Unicode's; a name
// for it tips a close call.
double scoreof(int i, size_t decoded, size_t own, size_t plain, size_t all,
               double unicodeness, bool named) {
  double n = all ? static_cast<double>(all) : 1;
  return (decoded / n + own / n + 0.25 * plain / n) *
             (candidates[i].type == SETUNICODE ? unicodeness : 1) +
         (named ? 0.1 : 0);
}

// What a set's score could be at most, from the codes' bytes alone: a
// code counts as decoded where its lead and trail bytes are the set's
// (no set decodes others), and as its own where they are in its own
// repertoire's rows and columns. Nothing is decoded, no set opened.
void bounds(const std::vector<uint16_t> &codes, double unicodeness,
            const int *named, double *bound) {
  // Two bits a candidate, from the lead and the trail byte: the bytes
  // are the set's, and in its own repertoire (Shift_JIS's, a little
  // wider than its rows).
  auto in = [](unsigned b, unsigned lo, unsigned hi) {
    return b >= lo && b <= hi;
  };
  unsigned char lead[256], trail[256];
  for (unsigned b = 0; b < 256; b++) {
    bool sjis = in(b, 0x81, 0x9F) || in(b, 0xE0, 0xFC),
         dbcs = in(b, 0x81, 0xFE);
    lead[b] = static_cast<unsigned char>(
        sjis |
        (in(b, 0x81, 0x84) || in(b, 0x87, 0x9F) || in(b, 0xE0, 0xEA)) << 1 |
        dbcs << 2 | (in(b, 0xA1, 0xA9) || in(b, 0xB0, 0xF7)) << 3 | dbcs << 4 |
        (in(b, 0xA1, 0xAC) || in(b, 0xB0, 0xC8) || in(b, 0xCA, 0xFD)) << 5 |
        dbcs << 6 | in(b, 0xA1, 0xF9) << 7);
    bool sjistrail = in(b, 0x40, 0xFC) && b != 0x7F, grid = in(b, 0xA1, 0xFE);
    bool big5 = in(b, 0x40, 0x7E) || grid;
    trail[b] = static_cast<unsigned char>(
        sjistrail | sjistrail << 1 | (in(b, 0x40, 0xFE) && b != 0x7F) << 2 |
        grid << 3 |
        (in(b, 0x41, 0x5A) || in(b, 0x61, 0x7A) || in(b, 0x81, 0xFE)) << 4 |
        grid << 5 | big5 << 6 | big5 << 7);
  }
  size_t times[256] = {};
  for (uint16_t c : codes) times[lead[c >> 8] & trail[c & 0xFF]]++;
  double all = codes.empty() ? 1 : static_cast<double>(codes.size());
  for (int i = 0; i < NGUESSES; i++) {
    double b = 2.25 * unicodeness;
    if (candidates[i].type != SETUNICODE) {
      int k = i == 0 ? 0 : 2 * (i - 1); // Shift_JIS-2004: its bytes, all own
      unsigned v = 1u << k, own = i == 0 ? 3u : i == 1 ? 1u : 3u << k;
      size_t decoded = 0, owned = 0;
      for (unsigned m = 0; m < 256; m++) {
        decoded += (m & v) ? times[m] : 0;
        owned += (m & own) == own ? times[m] : 0;
      }
      b = (1.25 * decoded + owned) / all;
    }
    bound[i] = b + (named[i] ? 0.1 : 0);
  }
}

} // namespace

void guesscodes(const glyphset *gs, const char *path, guess *g,
                guessdepth depth) {
  *g = guess();
  std::vector<uint16_t> codes = charcodes(gs);
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
  auto weigh = [&](int i) {
    size_t own = 0;
    mapper m;
    if (g->set[i].type == SETUNICODE) {
      weighunicode(codes, &g->decoded[i], &g->plain[i], &own);
    } else if (!mapopen(&m, &g->set[i])) {
      for (uint16_t c : codes) {
        int32_t u = touni(&m, c);
        if (u < 0) continue;
        g->decoded[i]++;
        g->plain[i] += !pua(static_cast<uint32_t>(u));
        own += primary(i, c);
      }
      mapclose(&m);
    }
    score[i] = scoreof(i, g->decoded[i], own, g->plain[i], codes.size(),
                       unicodeness, g->named[i]);
  };
  for (int i = 0; i < NGUESSES; i++) {
    g->set[i].type = candidates[i].type;
    strcpy(g->set[i].name, candidates[i].name);
    g->named[i] =
        (byheader == i ? NAMEDHEADER : 0) | (byfile == i ? NAMEDFILE : 0);
    score[i] = -1; // not weighed: below every weighed one
  }
  // Shift_JIS-2004 over Shift_JIS only where it decodes codes CP932 has
  // none for, or is named: they read JIS X 0208 alike, DOS/V fonts are
  // CP932's, and CP932's user area takes a DOS/V font's own glyphs.
  auto demoted = [&] {
    return score[1] > score[0] && g->decoded[1] <= g->decoded[0] &&
           !g->named[1];
  };
  // A conversion needs only the best, and whether another kind of set
  // comes close: a set whose best possible score falls short of both is
  // not weighed. Most fonts are decided by one set's lookups.
  double bound[NGUESSES];
  bounds(codes, unicodeness, g->named, bound);
  int byhope[NGUESSES];
  for (int i = 0; i < NGUESSES; i++) byhope[i] = i;
  std::stable_sort(byhope, byhope + NGUESSES,
                   [&](int a, int b) { return bound[a] > bound[b]; });
  bool weighed[NGUESSES] = {};
  double top = -1;
  for (int i : byhope) {
    if (depth == GUESSBEST && g->codes >= 200 && bound[i] < top - 0.02) {
      g->partial = 1;
      continue;
    }
    if (i == 1 && !weighed[0]) weigh(0), weighed[0] = true;
    // Shift_JIS-2004 loses to a Shift_JIS that decodes every code.
    if (i == 1 && depth == GUESSBEST && g->codes >= 200 &&
        g->decoded[0] == codes.size() && !g->named[1]) {
      g->partial = 1;
      continue;
    }
    if (!weighed[i]) weigh(i), weighed[i] = true;
    for (int k = 0; k < NGUESSES; k++)
      if (weighed[k])
        top = std::max(top,
                       k == 1 && weighed[0] && demoted() ? score[0] : score[k]);
  }
  int order[NGUESSES];
  for (int i = 0; i < NGUESSES; i++) order[i] = i;
  if (weighed[0] && weighed[1] && demoted()) score[1] = score[0] - 1e-9;
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
