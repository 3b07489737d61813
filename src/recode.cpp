#include "recode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sjis.h"

namespace {

bool sameset(const codeset &a, const codeset &b) {
  if (a.type != b.type) return false;
  return (a.type != SETBYTE && a.type != SETDBCS) || !strcmp(a.name, b.name);
}

// The output's code for a source code, or -1. Where the two sets are one,
// codes are copied as they are, and JIS X 0208 becomes Shift_JIS by
// arithmetic: never through Unicode. Otherwise the code's character is
// looked up in the output's set, and taken only where that code's own
// mapping gives the character back (so U+2252 goes to 0x81E0 only, not
// also to its NEC duplicate 0x8790).
int32_t mapcode(mapper *src, mapper *dst, uint32_t code) {
  if (sameset(src->cs, dst->cs))
    return code <= (dst->cs.type == SETBYTE ? 0xFFu : 0xFFFFu)
               ? static_cast<int32_t>(code)
               : -1;
  if (src->cs.type == SETJIS && dst->cs.type == SETSJIS)
    return jtos(static_cast<int32_t>(code));
  int32_t u = touni(src, code);
  if (u < 0) return -1;
  int32_t c = fromuni(dst, static_cast<uint32_t>(u));
  if (c < 0 ||
      (dst->cs.type != SETUNICODE && touni(dst, static_cast<uint32_t>(c)) != u))
    return -1;
  return c;
}

// Kana, CJK ideographs and Hangul syllables: a font with any of these that
// the double-byte set can hold is a double-byte font.
bool fullwidth(int32_t u) {
  return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
         (u >= 0xAC00 && u <= 0xD7A3);
}

// Maximal runs of consecutive codes (sorted, distinct); more than 255 are
// joined where the gaps are smallest (the lowest codes first among equal
// gaps), the gaps to be filled with blank glyphs.
std::vector<codeblock>
runsof(const std::vector<std::pair<int32_t, uint32_t>> &m, recodefacts *f) {
  std::vector<codeblock> runs;
  for (const auto &p : m) {
    if (runs.empty() || p.first != runs.back().end + 1)
      runs.push_back(
          {static_cast<uint16_t>(p.first), static_cast<uint16_t>(p.first)});
    else
      runs.back().end = static_cast<uint16_t>(p.first);
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

int fail(char *why, size_t size, const char *text) {
  snprintf(why, size, "%s", text);
  return 1;
}

} // namespace

int recode(source *s, const recodeopts *o, glyphset *out, recodefacts *f,
           char *why, size_t size) {
  memset(out, 0, sizeof *out);
  *f = recodefacts();
  codeset dbcs, sbcs;
  dbcsnamed(&dbcs, o->codes ? o->codes : "sjis");
  sbcsnamed(&sbcs, o->charset);
  mapper src, dst;
  if (mapopen(&src, &s->cs))
    return fail(why, size, "iconv cannot map the font's charset");
  int kind = o->kind >= 0 ? o->kind : s->kind;
  if (kind < 0 && s->cs.type == SETUNICODE) {
    kind = 0;
    if (!mapopen(&dst, &dbcs)) {
      kind = std::any_of(s->chars.begin(), s->chars.end(), [&](const auto &c) {
        return fullwidth(static_cast<int32_t>(c.first)) &&
               mapcode(&src, &dst, c.first) >= 0;
      });
      mapclose(&dst);
    }
  } else if (kind < 0) {
    kind = s->cs.type == SETJIS;
  }
  if (mapopen(&dst, kind ? &dbcs : &sbcs)) {
    mapclose(&src);
    return fail(why, size, "iconv cannot map the output's code set");
  }
  std::vector<std::pair<int32_t, uint32_t>> m; // output code, handle
  for (const auto &c : s->chars) {
    int32_t code = mapcode(&src, &dst, c.first);
    if (code >= 0) m.push_back({code, c.second});
  }
  mapclose(&src);
  mapclose(&dst);
  std::stable_sort(m.begin(), m.end(), [](const auto &a, const auto &b) {
    return a.first < b.first;
  });
  m.erase(std::unique(
              m.begin(), m.end(),
              [](const auto &a, const auto &b) { return a.first == b.first; }),
          m.end());
  if (m.empty())
    return fail(why, size,
                kind ? "no glyph has a double-byte code of the set"
                     : "no glyph has a single-byte code of the set");

  int width = o->width;
  if (!width && s->outline) width = kind ? s->size : (s->size + 1) / 2;
  for (size_t i = 0; !o->width && !s->outline && i < m.size(); i++) {
    srcglyph g;
    if (!drawglyph(s, m[i].second, 1, &g)) width = std::max(width, g.advance);
  }
  int height = s->ascent + s->descent;
  if (width < 1 || width > 255 || height < 1 || height > 255) {
    snprintf(why, size, "cell %dx%d is outside 1-255", width, height);
    return 1;
  }

  std::vector<codeblock> blocks;
  if (kind) blocks = runsof(m, f);
  out->width = width;
  out->height = height;
  out->ascent = s->ascent;
  out->kind = kind;
  out->codes = kind ? dbcs : sbcs;
  out->glyphbytes = static_cast<size_t>((width + 7) / 8) * height;
  out->glyphs = 256;
  if (kind) {
    out->glyphs = 0;
    for (const auto &b : blocks) out->glyphs += b.end - b.start + 1u;
    out->nblocks = static_cast<int>(blocks.size());
    out->blocks =
        static_cast<codeblock *>(malloc(blocks.size() * sizeof(codeblock)));
    if (!out->blocks) return -1;
    std::copy(blocks.begin(), blocks.end(), out->blocks);
  }
  out->own = static_cast<unsigned char *>(calloc(out->glyphs, out->glyphbytes));
  if (!out->own) return gsfree(out), -1;
  out->bits = out->own;
  out->whole = out->glyphs;
  if (o->name) {
    memset(out->name, ' ', 8);
    memcpy(out->name, o->name, strlen(o->name));
  } else {
    memcpy(out->name, s->name, 8);
  }

  // Each glyph at its place: its code in single-byte fonts, its position
  // among the blocks' codes in double-byte ones.
  size_t b = 0, base = 0;
  for (const auto &p : m) {
    size_t at = static_cast<size_t>(p.first);
    if (kind) {
      for (; p.first > blocks[b].end; b++)
        base += blocks[b].end - blocks[b].start + 1u;
      at = base + static_cast<size_t>(p.first - blocks[b].start);
    }
    srcglyph g;
    if (!drawglyph(s, p.second, 0, &g))
      f->cut += static_cast<size_t>(blit(out->own + at * out->glyphbytes, width,
                                         height, out->ascent, &g));
  }
  return 0;
}
