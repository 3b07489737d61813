// What was drawn of the last font, by glyph handle, with its bitmap.
#include "sources/ftmemo.h"

#include <cstring>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

// More than this is not kept: a font of 65,535 glyphs at 64 pixels.
const size_t MOST = size_t{64} << 20;

struct kept {
  bool has;
  int fit;
  srcglyph g;
  size_t at; // of its rows in bits
};

struct memo {
  bool on;
  uint64_t key;
  // By handle: each glyph as drawn, and narrowed to a width (a full-width
  // picture in a half-width cell) where it was.
  std::vector<kept> glyphs, narrowed;
  std::vector<unsigned char> bits;
};

memo &drawn() {
  static memo m = memo();
  return m;
}

uint64_t mix(uint64_t h, uint64_t w) {
  h = (h ^ w) * 0x9E3779B97F4A7C15ull;
  return h ^ h >> 31;
}

} // namespace

void ftremember(int on) {
  memo &m = drawn();
  m = memo();
  m.on = on != 0;
}

uint64_t ftmemokey(const unsigned char *data, size_t n, const sourceopts *o) {
  memo &m = drawn();
  if (!m.on) return 0;
  uint64_t h = mix(0x243F6A8885A308D3ull, n);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    memcpy(&w, data + i, 8);
    h = mix(h, w);
  }
  for (; i < n; i++) h = mix(h, data[i]);
  const int said[] = {o->size, o->fit, o->face, o->bold, o->italic};
  h = std::accumulate(
      std::begin(said), std::end(said), h, [](uint64_t k, int v) {
        return mix(k, static_cast<uint64_t>(static_cast<int64_t>(v)));
      });
  h |= 1; // never 0, which is "not remembered"
  if (h != m.key) {
    m.key = h;
    m.glyphs.clear();
    m.narrowed.clear();
    m.bits.clear();
  }
  return h;
}

const srcglyph *ftrecall(uint64_t key, uint32_t handle, int fit) {
  memo &m = drawn();
  std::vector<kept> &by = fit ? m.narrowed : m.glyphs;
  if (!key || key != m.key || handle >= by.size()) return nullptr;
  kept &k = by[handle];
  if (!k.has || k.fit != fit) return nullptr;
  k.g.bits = m.bits.data() + k.at;
  return &k.g;
}

void ftkeep(uint64_t key, uint32_t handle, int fit, const srcglyph *g) {
  memo &m = drawn();
  size_t bytes = static_cast<size_t>(g->pitch) * static_cast<size_t>(g->rows);
  if (!key || key != m.key || g->pitch < 0 || handle > 0xFFFFF ||
      m.bits.size() + bytes > MOST)
    return;
  std::vector<kept> &by = fit ? m.narrowed : m.glyphs;
  if (handle >= by.size()) by.resize(handle + 1);
  kept &k = by[handle];
  k.has = true;
  k.fit = fit;
  k.g = *g;
  k.at = m.bits.size();
  if (bytes) m.bits.insert(m.bits.end(), g->bits, g->bits + bytes);
}
