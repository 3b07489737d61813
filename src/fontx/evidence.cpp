// The evidence a double-byte FONTX2 font gives of its set: the codes
// whose glyphs are characters', and the set a name in its header or file
// name calls it by.
#include "fontx/evidence.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Words that name a set, as headers and file names write them, and the
// guess's candidate each names (Shift_JIS-2004, CP936, CP949, Big5,
// Unicode: its list's order).
const struct {
  const char *word;
  int candidate;
} words[] = {
    {"JISX0213", 1}, {"SJIS2004", 1}, {"JIS2004", 1}, {"GB2312", 2},
    {"GBK", 2},      {"GB18030", 2},  {"CP936", 2},   {"KSC5601", 3},
    {"KSX1001", 3},  {"UHC", 3},      {"CP949", 3},   {"BIG5", 4},
    {"CP950", 4},    {"UNICODE", 5},  {"UCS2", 5},
};

} // namespace

// The distinct codes whose glyph is a character's: generators write whole
// rows, and a blank cell, or a filler or a box that stands in many cells,
// says nothing of the set. Only glyphs the file has, the first of each
// code: a few bytes can announce millions.
std::vector<uint16_t> charcodes(const glyphset *gs) {
  std::vector<uint64_t> seen(0x10000 / 64);
  std::vector<std::pair<uint16_t, uint64_t>> firsts; // code, glyph's hash
  firsts.reserve(gs->whole < 0x10000 ? gs->whole : 0x10000);
  // Identical glyphs have identical bytes anywhere: the start, middle and
  // end of each stand for it (all of it when it is short), and only a
  // glyph blank there is looked through for ink.
  const size_t n = gs->glyphbytes;
  auto word = [](const unsigned char *p, size_t k) {
    uint64_t w = 0;
    memcpy(&w, p, k);
    return w;
  };
  auto mix = [](uint64_t h, uint64_t w) {
    h = (h ^ w) * 1099511628211ull; // FNV-1a, a word at a time
    return h ^ h >> 29;
  };
  auto sample = [&](const unsigned char *bits) {
    uint64_t h = 14695981039346656037ull;
    if (n >= 24) {
      // Three words, each read whole: the glyph's bytes are all there.
      h = mix(h, word(bits, 8));
      h = mix(h, word(bits + n / 2 - 4, 8));
      return mix(h, word(bits + n - 8, 8));
    }
    for (size_t k = 0; k < n; k += 8)
      h = mix(h, word(bits + k, n - k < 8 ? n - k : 8));
    return h;
  };
  // Blocks in order and apart have no code twice: nothing to look up.
  bool apart = true;
  for (int b = 0; b < gs->nblocks && apart; b++)
    apart = gs->blocks[b].start <= gs->blocks[b].end &&
            (b == 0 || gs->blocks[b].start > gs->blocks[b - 1].end);
  const std::vector<unsigned char> zeros(n);
  const uint64_t blank = sample(zeros.data());
  size_t at = 0;
  eachcode(gs, [&](uint32_t c) {
    size_t glyph = at++;
    if (glyph >= gs->whole) return false;
    if (!apart) {
      if (seen[c >> 6] & uint64_t{1} << (c & 63)) return true;
      seen[c >> 6] |= uint64_t{1} << (c & 63);
    }
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
  codes.reserve(firsts.size());
  for (const auto &f : firsts)
    if (times[slot(f.second)].second < 8) codes.push_back(f.first);
  return codes;
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
