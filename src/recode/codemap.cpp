// Which glyph each code of a FONTX2 font being made gets: copied one to
// one, or chosen through Unicode; subsets by range and text; the blocks.
#include "recode/codemap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "codes/blocks.h"
#include "codes/sjis.h"

namespace {

bool sameset(const codeset &a, const codeset &b) {
  if (a.type != b.type) return false;
  return (a.type != SETBYTE && a.type != SETDBCS) || !strcmp(a.name, b.name);
}

// The character of every code of a set: the bytes, or the double-byte
// codes (a lead byte from 0x80 up in every set we take), from 0x8000.
// Made once for each set a process uses: it takes 32768 conversions, and
// a fuzzer converts thousands of fonts.
const std::vector<int32_t> &decoded(mapper *m, int kind) {
  static std::vector<std::pair<std::string, std::vector<int32_t>>> cache;
  std::string key =
      std::to_string(m->cs.type) + m->cs.name + (kind ? "/2" : "/1");
  auto hit = std::find_if(cache.begin(), cache.end(),
                          [&](const auto &c) { return c.first == key; });
  if (hit != cache.end()) return hit->second;
  std::vector<int32_t> all(kind ? 0x8000 : 0x100);
  for (uint32_t i = 0; i < all.size(); i++)
    all[i] = touni(m, i + (kind ? 0x8000 : 0));
  cache.emplace_back(key, std::move(all));
  return cache.back().second;
}

} // namespace

// One to one: the same set, or JIS X 0208 to Shift_JIS by arithmetic;
// never through Unicode.
bool direct(const codeset &src, const codeset &dst) {
  return sameset(src, dst) || (src.type == SETJIS && dst.type == SETSJIS);
}

std::vector<outglyph> copied(const source *s, const codeset &dst) {
  std::vector<outglyph> m;
  for (const auto &c : s->chars) {
    int32_t code = dst.type == SETSJIS && s->cs.type == SETJIS
                       ? jtos(static_cast<int32_t>(c.first))
                   : c.first <= (dst.type == SETBYTE ? 0xFFu : 0xFFFFu)
                       ? static_cast<int32_t>(c.first)
                       : -1;
    if (code >= 0) m.push_back({code, c.first, c.second});
  }
  return m;
}

// Through Unicode: every code of the output's set that decodes to a
// character the source has gets that character's glyph, so that both
// codes of a character that a set gives two (CP932's NEC and IBM
// duplicates, say) are there. Where the source itself has a character at
// two codes, the glyph of the code the character maps back to is taken.
std::vector<outglyph> throughunicode(const source *s, mapper *src, mapper *dst,
                                     int kind) {
  // Each character's glyph (code: the character), and whether its code is
  // the one the character maps back to.
  std::unordered_map<int32_t, std::pair<outglyph, bool>> have;
  for (const auto &c : s->chars) {
    int32_t u = touni(src, c.first);
    if (u < 0) continue;
    bool primary =
        src->cs.type == SETUNICODE ||
        fromuni(src, static_cast<uint32_t>(u)) == static_cast<int32_t>(c.first);
    auto it = have.find(u);
    if (it == have.end())
      have[u] = {{u, c.first, c.second}, primary};
    else if (primary && !it->second.second)
      it->second = {{u, c.first, c.second}, true};
  }
  std::vector<outglyph> m;
  if (dst->cs.type == SETUNICODE) {
    for (const auto &h : have)
      if (h.first <= 0xFFFF) m.push_back(h.second.first);
    std::sort(m.begin(), m.end(), [](const outglyph &a, const outglyph &b) {
      return a.code < b.code;
    });
    return m;
  }
  const std::vector<int32_t> &all = decoded(dst, kind);
  for (uint32_t c = kind ? 0x8000 : 0; c <= (kind ? 0xFFFFu : 0xFFu); c++) {
    int32_t u = all[c - (kind ? 0x8000 : 0)];
    auto it = u < 0 ? have.end() : have.find(u);
    if (it != have.end())
      m.push_back({static_cast<int32_t>(c), it->second.first.from,
                   it->second.first.handle});
  }
  return m;
}

// Maximal runs of consecutive codes (sorted, distinct); more than 255 are
// joined where the gaps are smallest (the lowest codes first among equal
// gaps), the gaps to be filled with blank glyphs.
std::vector<codeblock> runsof(const std::vector<outglyph> &m, recodefacts *f) {
  std::vector<codeblock> runs;
  for (const auto &p : m) {
    if (runs.empty() || p.code != runs.back().end + 1)
      runs.push_back(
          {static_cast<uint16_t>(p.code), static_cast<uint16_t>(p.code)});
    else
      runs.back().end = static_cast<uint16_t>(p.code);
  }
  f->runs = runs.size();
  if (runs.size() <= 255) return runs;
  std::vector<size_t> gaps(runs.size() - 1);
  for (size_t i = 0; i < gaps.size(); i++) gaps[i] = i;
  auto gap = [&](size_t i) { return runs[i + 1].start - runs[i].end - 1u; };
  // Joining two runs leaves every other gap as it is, so the smallest
  // gaps can be chosen at once.
  std::stable_sort(gaps.begin(), gaps.end(),
                   [&](size_t a, size_t b) { return gap(a) < gap(b); });
  std::vector<bool> join(runs.size());
  for (size_t k = 0; k < runs.size() - 255; k++) {
    join[gaps[k]] = true;
    f->blanks += gap(gaps[k]);
  }
  std::vector<codeblock> blocks;
  for (size_t i = 0; i < runs.size(); i++) {
    if (i && join[i - 1])
      blocks.back().end = runs[i].end;
    else
      blocks.push_back(runs[i]);
  }
  return blocks;
}

// Keeps the glyphs in the range and the text asked for, and counts the
// characters of the text that none has, and with lostchars those of the
// source that no code of the output's set holds.
bool fullwidth(int32_t u) {
  return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x31F0 && u <= 0x31FF) ||
         (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) ||
         (u >= 0xF900 && u <= 0xFAFF) || (u >= 0x20000 && u <= 0x3FFFF) ||
         (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F) ||
         (u >= 0xAC00 && u <= 0xD7A3);
}

void subset(const source *s, const recodeopts *o, mapper *src, mapper *dst,
            mapper *other, std::vector<outglyph> *m, recodefacts *f) {
  bool ranged = o->first > 0 || o->last < 0xFFFF;
  // One-to-one copies lose nothing; the two sets may well decode a code
  // to different characters (JIS X 0208's 0x2171 is U+00A2, CP932's
  // 0x8191 U+FFE0).
  bool lost = o->lostchars && !o->bytext && !ranged &&
              !direct(s->cs, dst->cs) &&
              (o->lostchars == LOSTALL || dst->cs.type != SETBYTE);
  if (!o->bytext && !ranged && !lost) return; // nothing to choose or count
  std::vector<uint32_t> written;
  size_t k = 0;
  for (const outglyph &p : *m) {
    auto code = static_cast<uint32_t>(p.code);
    int32_t u = code < o->first || code > o->last ? -1 : touni(dst, code);
    if (!chosen(o, code, u)) continue;
    (*m)[k++] = p;
    if (u >= 0) written.push_back(static_cast<uint32_t>(u));
  }
  m->resize(k);
  std::sort(written.begin(), written.end());
  auto isin = [](const std::vector<uint32_t> &v, uint32_t u) {
    return std::binary_search(v.begin(), v.end(), u);
  };
  // The source's characters, where they are wanted.
  std::vector<uint32_t> has;
  if (lost || (o->bytext && other && !s->gs)) {
    for (const auto &c : s->chars) {
      int32_t u = touni(src, c.first);
      if (u >= 0x20 && (u < 0x7F || u > 0x9F))
        has.push_back(static_cast<uint32_t>(u));
    }
    std::sort(has.begin(), has.end());
    has.erase(std::unique(has.begin(), has.end()), has.end());
  }
  for (size_t i = 0; o->bytext && i < o->ntext; i++) {
    uint32_t u = o->text[i];
    if (isin(written, u)) continue;
    // A FONTX2 font is of one kind: the other kind's font is another file.
    bool elsewhere = other && fromuni(other, u) >= 0 && (s->gs || isin(has, u));
    lacks(f, u, elsewhere);
  }
  if (!lost) return;
  // Counted by block, the blocks that hold the most named.
  std::vector<std::pair<size_t, uint32_t>> blocks; // count, first code point
  for (uint32_t u : has) {
    if (isin(written, u) ||
        (o->lostchars == LOSTWIDE && !fullwidth(static_cast<int32_t>(u))))
      continue;
    f->lost++;
    const unicodeblock *b = blockof(u);
    uint32_t first = b ? b->first : u;
    auto at = std::find_if(blocks.begin(), blocks.end(),
                           [&](const auto &e) { return e.second == first; });
    if (at == blocks.end())
      blocks.push_back({1, first});
    else
      at->first++;
  }
  std::stable_sort(
      blocks.begin(), blocks.end(),
      [](const auto &a, const auto &b) { return a.first > b.first; });
  for (const auto &b : blocks) {
    if (f->nblocks == 6) break;
    f->block[f->nblocks] = b.second;
    f->inblock[f->nblocks++] = b.first;
  }
}
