// Composite glyphs' nesting read from the sfnt tables themselves: the
// table directory, head's loca format, maxp's glyph count, loca and glyf;
// every read bounds-checked, a table or glyph that does not fit its file
// taken as having no components (FreeType will refuse it on its own).
#include "sources/composite.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct bytes {
  const unsigned char *d;
  size_t n;
  bool has(size_t at, size_t k) const { return at <= n && k <= n - at; }
  unsigned u16(size_t at) const {
    return has(at, 2) ? static_cast<unsigned>(d[at] << 8 | d[at + 1]) : 0;
  }
  uint32_t u32(size_t at) const {
    return has(at, 4) ? static_cast<uint32_t>(u16(at)) << 16 | u16(at + 2) : 0;
  }
};

struct table {
  size_t at = 0, len = 0;
};

// The tables of the font whose offset table is at dir.
void tables(const bytes &b, size_t dir, table *head, table *maxp, table *loca,
            table *glyf) {
  unsigned count = b.u16(dir + 4);
  for (unsigned i = 0; i < count; i++) {
    size_t rec = dir + 12 + 16 * size_t{i};
    if (!b.has(rec, 16)) return;
    table t = {b.u32(rec + 8), b.u32(rec + 12)};
    if (!b.has(t.at, t.len)) continue;
    const unsigned char *tag = b.d + rec;
    if (!memcmp(tag, "head", 4)) *head = t;
    if (!memcmp(tag, "maxp", 4)) *maxp = t;
    if (!memcmp(tag, "loca", 4)) *loca = t;
    if (!memcmp(tag, "glyf", 4)) *glyf = t;
  }
}

struct outlines {
  bytes b;
  table loca, glyf;
  bool longloca;
  unsigned glyphs;

  // Glyph g's bytes in glyf, or len 0.
  table glyph(unsigned g) const {
    size_t i = g, a = 0, z = 0;
    if (longloca) {
      if (4 * i + 8 > loca.len) return {};
      a = b.u32(loca.at + 4 * i), z = b.u32(loca.at + 4 * i + 4);
    } else {
      if (2 * i + 4 > loca.len) return {};
      a = 2 * size_t{b.u16(loca.at + 2 * i)};
      z = 2 * size_t{b.u16(loca.at + 2 * i + 2)};
    }
    if (z <= a || z > glyf.len || z - a < 10) return {};
    return {glyf.at + a, z - a};
  }

  // The glyph indexes of g's components, none for a simple glyph.
  void components(unsigned g, std::vector<unsigned> *out) const {
    out->clear();
    table t = glyph(g);
    if (!t.len || !(b.u16(t.at) & 0x8000)) return; // contours >= 0
    size_t p = t.at + 10, end = t.at + t.len;
    for (unsigned flags = 0x20; flags & 0x20;) {
      if (p + 4 > end) return;
      flags = b.u16(p);
      out->push_back(b.u16(p + 2));
      p += 4 + (flags & 1 ? 4 : 2);
      p += flags & 0x08 ? 2 : flags & 0x40 ? 4 : flags & 0x80 ? 8 : 0;
    }
  }
};

} // namespace

namespace {

int onefont(const bytes &b, size_t dir, char *why, size_t size) {
  table head, maxp, loca, glyf;
  tables(b, dir, &head, &maxp, &loca, &glyf);
  if (!glyf.len || !loca.len || head.len < 54 || maxp.len < 6) return 0;
  outlines o = {b, loca, glyf, b.u16(head.at + 50) != 0, b.u16(maxp.at + 4)};
  // Each glyph's depth once (a simple glyph's is 1), by a walk whose own
  // stack is bounded: deeper is refused, a loop is FreeType's to refuse.
  const int WALKING = 0xFFFF;
  std::vector<int> depth(o.glyphs, 0); // 0 not yet
  std::vector<unsigned> parts;
  struct step {
    unsigned glyph;
    std::vector<unsigned> parts;
    size_t next;
    int deepest;
  };
  std::vector<step> path;
  for (unsigned g = 0; g < o.glyphs; g++) {
    if (depth[g]) continue;
    path.clear();
    o.components(g, &parts);
    path.push_back({g, parts, 0, 0});
    depth[g] = WALKING;
    while (!path.empty()) {
      step &s = path.back();
      if (s.next < s.parts.size()) {
        unsigned c = s.parts[s.next++];
        if (c >= o.glyphs || depth[c] == WALKING) continue;
        if (depth[c]) {
          s.deepest = std::max(s.deepest, depth[c]);
          continue;
        }
        if (path.size() >= COMPOSITEMOST) {
          snprintf(why, size,
                   "composite glyphs nest deeper than %d levels (glyph %u): "
                   "no real font needs as many",
                   COMPOSITEMOST, path.front().glyph);
          return 1;
        }
        o.components(c, &parts);
        depth[c] = WALKING;
        path.push_back({c, parts, 0, 0});
        continue;
      }
      int d = s.deepest + 1;
      if (d > COMPOSITEMOST) {
        snprintf(why, size,
                 "composite glyphs nest deeper than %d levels (glyph %u): no "
                 "real font needs as many",
                 COMPOSITEMOST, s.glyph);
        return 1;
      }
      depth[s.glyph] = d;
      path.pop_back();
      if (!path.empty()) path.back().deepest = std::max(path.back().deepest, d);
    }
  }
  return 0;
}

} // namespace

int compositedepth(const unsigned char *data, size_t n, char *why,
                   size_t size) {
  bytes b = {data, n};
  if (!b.has(0, 4) || memcmp(data, "ttcf", 4)) return onefont(b, 0, why, size);
  // Every face of a collection: a style may take its bold or italic one.
  uint32_t faces = b.u32(8);
  for (uint32_t i = 0; i < faces && b.has(12 + 4 * size_t{i}, 4); i++)
    if (onefont(b, b.u32(12 + 4 * size_t{i}), why, size)) return 1;
  return 0;
}
