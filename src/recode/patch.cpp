// A patch font's glyphs over a glyph set: mapped to the set's codes as a
// source's are when a font is made, checked all before any is written,
// and the block table grown only where a character is added.
#include "recode/patch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

#include "recode/blit.h"
#include "recode/codemap.h"

namespace {

// A block of the grown table: its codes, and the old block it grew from
// (its codes and the index of its first glyph), or none (base -1).
struct grown {
  uint32_t start, end;
  uint32_t ostart, oend;
  long base;
};

// The table with the added codes (ascending): each joins a block it is
// next to, else starts one (in order, where the table is); past 255
// blocks it joins the nearest, the codes between filled with blank
// glyphs.
std::vector<grown> growblocks(const glyphset *gs,
                              const std::vector<uint32_t> &added) {
  std::vector<grown> t;
  long base = 0;
  for (int b = 0; b < gs->nblocks; b++) {
    const codeblock &k = gs->blocks[b];
    t.push_back({k.start, k.end, k.start, k.end, base});
    base += k.end >= k.start ? k.end - k.start + 1 : 0;
  }
  for (uint32_t c : added) {
    auto next = std::find_if(t.begin(), t.end(), [&](const grown &g) {
      return g.end + 1 == c || (g.start && g.start - 1 == c);
    });
    if (next != t.end()) {
      (next->end + 1 == c ? next->end : next->start) = c;
    } else if (t.size() < 255) {
      // In order where the table is in order: readers may search it.
      bool sorted = std::is_sorted(
          t.begin(), t.end(),
          [](const grown &a, const grown &b) { return a.start < b.start; });
      auto at = sorted
                    ? std::find_if(t.begin(), t.end(),
                                   [&](const grown &g) { return g.start > c; })
                    : t.end();
      t.insert(at, {c, c, 1, 0, -1});
    } else {
      auto gap = [&](const grown &g) {
        return c > g.end ? c - g.end : g.start - c;
      };
      auto near = std::min_element(
          t.begin(), t.end(),
          [&](const grown &a, const grown &b) { return gap(a) < gap(b); });
      (c > near->end ? near->end : near->start) = c;
    }
  }
  return t;
}

} // namespace

int patchset(glyphset *gs, const patchopts *o, patchfacts *f) {
  *f = patchfacts();
  source *p = o->patch;
  mapper src, dst, other;
  if (mapopen(&dst, &gs->codes)) return -1;
  bool mapped = !mapopen(&src, &p->cs);
  bool hasother = o->other && !mapopen(&other, o->other);
  auto done = [&](int r) {
    if (mapped) mapclose(&src);
    if (hasother) mapclose(&other);
    mapclose(&dst);
    return r;
  };
  std::vector<outglyph> m = !mapped ? std::vector<outglyph>()
                            : direct(p->cs, gs->codes)
                                ? copied(p, gs->codes)
                                : throughunicode(p, &src, &dst, gs->kind);
  // A character with no code here is the other font's, or refused.
  std::vector<uint32_t> placed(m.size());
  std::transform(m.begin(), m.end(), placed.begin(),
                 [](const outglyph &g) { return g.from; });
  std::sort(placed.begin(), placed.end());
  for (const auto &c : p->chars) {
    if (std::binary_search(placed.begin(), placed.end(), c.first)) continue;
    int32_t u = mapped ? touni(&src, c.first) : -1;
    if (hasother && u >= 0 && fromuni(&other, static_cast<uint32_t>(u)) >= 0) {
      f->elsewhere++;
      continue;
    }
    f->fault = PATCHUNHELD, f->code = c.first, f->uni = u;
    return done(1);
  }
  // Only what the selection keeps.
  if (o->sel)
    m.erase(std::remove_if(m.begin(), m.end(),
                           [&](const outglyph &g) {
                             auto code = static_cast<uint32_t>(g.code);
                             return !chosen(o->sel, code, touni(&dst, code));
                           }),
            m.end());
  // Every glyph drawn in a cell of its own first: one that leaves the cell
  // refuses the patch.
  const size_t gb = gs->glyphbytes;
  std::vector<unsigned char> cells(m.size() * gb);
  for (size_t i = 0; i < m.size(); i++) {
    srcglyph g;
    if (drawglyph(p, m[i].handle, 0, &g)) continue; // nothing to draw: blank
    if (blit(cells.data() + i * gb, gs->width, gs->height, gs->ascent, &g)) {
      f->fault = PATCHOUTSIDE, f->code = m[i].from;
      f->uni = mapped ? touni(&src, m[i].from) : -1;
      return done(1);
    }
  }
  // The codes the set has, and those added.
  std::vector<bool> has(gs->kind ? 0x10000 : 0x100);
  size_t at = 0;
  eachcode(gs, [&](uint32_t c) {
    if (at++ < gs->glyphs) has[c] = true;
    return true;
  });
  std::vector<uint32_t> added;
  for (const outglyph &g : m)
    if (!has[static_cast<uint32_t>(g.code)])
      added.push_back(static_cast<uint32_t>(g.code));
  f->added = added.size();
  f->replaced = m.size() - added.size();
  std::vector<grown> t =
      gs->kind && !added.empty() ? growblocks(gs, added) : std::vector<grown>();
  size_t glyphs = gs->glyphs;
  if (!t.empty()) {
    glyphs = std::accumulate(
        t.begin(), t.end(), size_t{0},
        [](size_t n, const grown &g) { return n + (g.end - g.start + 1u); });
  }
  auto *own = static_cast<unsigned char *>(calloc(glyphs ? glyphs : 1, gb));
  auto *blocks = static_cast<codeblock *>(
      t.empty() ? nullptr : malloc(t.size() * sizeof(codeblock)));
  if (!own || (!t.empty() && !blocks)) {
    free(own), free(blocks);
    return done(-1);
  }
  std::vector<unsigned char> scratch(gb);
  auto old = [&](size_t i, unsigned char *to) {
    if (i < gs->glyphs) memcpy(to, glyphbits(gs, i, scratch.data()), gb);
  };
  if (t.empty()) {
    for (size_t i = 0; i < glyphs; i++) old(i, own + i * gb);
  } else {
    size_t k = 0;
    for (size_t b = 0; b < t.size(); b++) {
      blocks[b] = {static_cast<uint16_t>(t[b].start),
                   static_cast<uint16_t>(t[b].end)};
      for (uint32_t c = t[b].start; c <= t[b].end; c++, k++)
        if (t[b].base >= 0 && c >= t[b].ostart && c <= t[b].oend)
          old(static_cast<size_t>(t[b].base) + (c - t[b].ostart), own + k * gb);
    }
    free(gs->blocks);
    gs->blocks = blocks;
    gs->nblocks = static_cast<int>(t.size());
  }
  free(gs->own);
  gs->own = own, gs->bits = own;
  gs->glyphs = gs->whole = glyphs, gs->partial = 0;
  // Each patched code's glyphs, wherever the table has the code.
  std::vector<long> patched(has.size(), -1);
  for (size_t i = 0; i < m.size(); i++)
    patched[static_cast<uint32_t>(m[i].code)] = static_cast<long>(i);
  at = 0;
  eachcode(gs, [&](uint32_t c) {
    if (patched[c] >= 0)
      memcpy(own + at * gb, cells.data() + static_cast<size_t>(patched[c]) * gb,
             gb);
    at++;
    return true;
  });
  return done(0);
}
