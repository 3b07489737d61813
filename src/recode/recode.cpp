// Re-coding: the kind and code sets decided, the glyphs chosen and drawn
// into cells of the width they need, as a new glyph set.
#include "recode/recode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "recode/blit.h"
#include "recode/codemap.h"

namespace {

// Kana, CJK ideographs and Hangul syllables: a font with any of these that
// the double-byte set can hold is a double-byte font.
bool fullwidth(int32_t u) {
  return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
         (u >= 0xAC00 && u <= 0xD7A3);
}

int fail(char *why, size_t size, const char *text) {
  snprintf(why, size, "%s", text);
  return 1;
}

// Glyphs drawn from outlines, each rendered once: its bitmap is kept
// while the cell's width is found from all of them.
struct drawing {
  std::vector<srcglyph> glyphs;
  std::vector<unsigned char> bits;
  std::vector<size_t> at; // where each glyph's bitmap starts in bits
  std::vector<bool> ok;
};

void drawall(source *s, const std::vector<outglyph> &m, drawing *d,
             void (*progress)(size_t, size_t)) {
  d->glyphs.resize(m.size());
  d->at.resize(m.size());
  d->ok.resize(m.size());
  for (size_t i = 0; i < m.size(); i++) {
    if (progress && i % 256 == 0) progress(i, m.size());
    srcglyph &g = d->glyphs[i];
    d->ok[i] = !drawglyph(s, m[i].handle, 0, &g);
    if (!d->ok[i]) continue;
    size_t n = static_cast<size_t>(g.rows) * static_cast<size_t>(g.pitch);
    d->at[i] = d->bits.size();
    if (g.rows) d->bits.insert(d->bits.end(), g.bits, g.bits + n);
  }
  for (size_t i = 0; i < m.size(); i++)
    d->glyphs[i].bits = d->bits.data() + d->at[i];
}

// The width of the cell when none is given. Outlines: the widest of each
// glyph's advance and the right edge of its ink, so that nothing is cut at
// the sides. Bitmaps: the widest advance.
int widthof(source *s, const std::vector<outglyph> &m, const drawing &d) {
  int width = 0;
  for (size_t i = 0; i < m.size(); i++) {
    srcglyph g;
    if (s->outline) {
      if (!d.ok[i]) continue;
      g = d.glyphs[i];
      width = std::max(width, g.left + g.width);
    } else if (drawglyph(s, m[i].handle, 1, &g)) {
      continue;
    }
    width = std::max(width, g.advance);
  }
  return width;
}

} // namespace

int recode(source *s, const recodeopts *o, glyphset *out, recodefacts *f,
           char *why, size_t size) {
  memset(out, 0, sizeof *out);
  *f = recodefacts();
  if (s->unsized)
    return fail(why, size, "has no size to draw at: give one with -s");
  codeset dbcs, sbcs;
  dbcsnamed(&dbcs, o->codes ? o->codes : "sjis");
  // A single-byte source in a charset of its own keeps it; Unicode and
  // JIS sources default to CP932's single bytes, as DOS/V fonts are.
  if (o->charset || s->cs.type != SETBYTE)
    sbcsnamed(&sbcs, o->charset);
  else
    sbcs = s->cs;
  mapper src, dst;
  if (mapopen(&src, &s->cs))
    return fail(why, size, "iconv cannot map the font's charset");
  int kind = o->kind != ANYKIND ? o->kind : s->kind;
  if (kind == ANYKIND && s->cs.type == SETUNICODE) {
    kind = SINGLEBYTE;
    if (!mapopen(&dst, &dbcs)) {
      kind = std::any_of(s->chars.begin(), s->chars.end(), [&](const auto &c) {
        return fullwidth(static_cast<int32_t>(c.first)) &&
               fromuni(&dst, c.first) >= 0;
      });
      mapclose(&dst);
    }
  } else if (kind == ANYKIND) {
    kind = s->cs.type == SETJIS ? DOUBLEBYTE : SINGLEBYTE;
  }
  if (mapopen(&dst, kind ? &dbcs : &sbcs)) {
    mapclose(&src);
    return fail(why, size, "iconv cannot map the output's code set");
  }
  std::vector<outglyph> m = direct(s->cs, dst.cs)
                                ? copied(s, dst.cs)
                                : throughunicode(s, &src, &dst, kind);
  std::stable_sort(
      m.begin(), m.end(),
      [](const outglyph &a, const outglyph &b) { return a.code < b.code; });
  m.erase(std::unique(m.begin(), m.end(),
                      [](const outglyph &a, const outglyph &b) {
                        return a.code == b.code;
                      }),
          m.end());
  bool any = !m.empty();
  subset(s, o, &src, &dst, &m, f);
  if (m.empty()) {
    mapclose(&src);
    mapclose(&dst);
    return fail(why, size,
                any    ? "no glyph is in the --range or --text given"
                : kind ? "no glyph has a double-byte code of the set"
                       : "no glyph has a single-byte code of the set");
  }

  drawing d;
  if (s->outline) drawall(s, m, &d, o->progress);
  int width = o->width ? o->width : widthof(s, m, d);
  int height = s->ascent + s->descent;
  if (width < 1 || width > 255 || height < 1 || height > 255) {
    mapclose(&src);
    mapclose(&dst);
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
  int r = 0;
  if (kind) {
    out->glyphs = 0;
    for (const auto &b : blocks) out->glyphs += b.end - b.start + 1u;
    out->nblocks = static_cast<int>(blocks.size());
    out->blocks =
        static_cast<codeblock *>(malloc(blocks.size() * sizeof(codeblock)));
    if (!out->blocks) r = -1;
    if (!r) std::copy(blocks.begin(), blocks.end(), out->blocks);
  }
  if (!r) {
    out->own =
        static_cast<unsigned char *>(calloc(out->glyphs, out->glyphbytes));
    if (!out->own) r = -1;
  }
  if (r) {
    mapclose(&src);
    mapclose(&dst);
    gsfree(out);
    return -1;
  }
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
  for (size_t i = 0; i < m.size(); i++) {
    const outglyph &p = m[i];
    size_t at = static_cast<size_t>(p.code);
    if (kind) {
      for (; p.code > blocks[b].end; b++)
        base += blocks[b].end - blocks[b].start + 1u;
      at = base + static_cast<size_t>(p.code - blocks[b].start);
    }
    srcglyph g;
    if (s->outline ? !d.ok[i] : drawglyph(s, p.handle, 0, &g) != 0) continue;
    if (s->outline) g = d.glyphs[i];
    int lost =
        blit(out->own + at * out->glyphbytes, width, height, out->ascent, &g);
    if (!lost) continue;
    f->where |= lost;
    if (lost & CUTSIDES) f->right = std::max(f->right, g.left + g.width);
    if (f->named < 8) {
      f->code[f->named] = static_cast<uint32_t>(p.code);
      f->uni[f->named++] = touni(&src, p.from);
    }
    f->cut++;
  }
  mapclose(&src);
  mapclose(&dst);
  return 0;
}
