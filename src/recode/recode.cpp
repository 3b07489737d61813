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
#include "recode/styled.h"

namespace {

int fail(char *why, size_t size, const char *text) {
  snprintf(why, size, "%s", text);
  return 1;
}

// Glyphs drawn from outlines, each rendered once and kept only as far as
// it can land in the cell: the cell's rows, and its columns from 0 to the
// widest the cell can be (the width given, else 255), with where its ink
// lay beyond that and its right edge, which decides the cell's width. A
// glyph is never kept larger than the cell, whatever its outline says.
struct stash {
  std::vector<srcglyph> glyphs;
  std::vector<unsigned char> bits;
  std::vector<size_t> at; // where each glyph's rows start in bits
  std::vector<bool> ok;
};

bool inked(const srcglyph &g, int x, int y) {
  const unsigned char *row = g.bits + static_cast<ptrdiff_t>(y) * g.pitch;
  return g.gray ? row[x] >= 128 : (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// g's ink in rows 0 to height - 1 of a cell whose baseline lies ascent rows
// down, columns 0 to most - 1, as mono rows of its own at the end of st.
void keep(stash *st, srcglyph g, int height, int ascent, int most) {
  int top = ascent - g.top; // the cell row of the glyph's first row
  int y0 = std::max(0, -top), y1 = std::min(g.rows, height - top);
  int x0 = std::max(0, -g.left), x1 = std::min(g.width, most - g.left);
  y1 = std::max(y1, y0), x1 = std::max(x1, x0);
  for (int y = 0; y < g.rows; y++) {
    bool outrow = y < y0 || y >= y1;
    for (int x = 0; x < g.width; x++)
      if ((outrow || x < x0 || x >= x1) && inked(g, x, y))
        g.beyond |= outrow ? CUTENDS : CUTSIDES;
    if (!outrow && !x0 && x1 == g.width) y = y1 - 1; // the rest are in
  }
  srcglyph k = g;
  k.left = g.left + x0, k.top = g.top - y0;
  k.width = x1 - x0, k.rows = y1 - y0;
  k.pitch = (k.width + 7) / 8, k.gray = 0;
  size_t at = st->bits.size();
  st->bits.resize(at + static_cast<size_t>(k.pitch) * k.rows);
  unsigned char *d = st->bits.data() + at;
  // A glyph left no column (all its ink beyond the cell) keeps no bytes.
  for (int y = 0; y < k.rows && k.pitch; y++, d += k.pitch) {
    if (!g.gray && !x0) { // whole rows, the usual case
      memcpy(d, g.bits + static_cast<ptrdiff_t>(y0 + y) * g.pitch,
             static_cast<size_t>(k.pitch));
      continue;
    }
    for (int x = 0; x < k.width; x++)
      if (inked(g, x0 + x, y0 + y))
        d[x >> 3] |= static_cast<unsigned char>(0x80 >> (x & 7));
  }
  st->glyphs.push_back(k);
  st->at.push_back(at);
}

void drawall(source *s, const std::vector<outglyph> &m, int most, stash *st,
             void (*progress)(size_t, size_t)) {
  int height = s->ascent + s->descent;
  st->ok.resize(m.size());
  for (size_t i = 0; i < m.size(); i++) {
    if (progress && i % 256 == 0) progress(i, m.size());
    srcglyph g;
    st->ok[i] = !drawglyph(s, m[i].handle, 0, &g);
    if (st->ok[i])
      keep(st, g, height, s->ascent, most);
    else
      st->glyphs.push_back(srcglyph()), st->at.push_back(st->bits.size());
  }
  for (size_t i = 0; i < m.size(); i++)
    st->glyphs[i].bits = st->bits.data() + st->at[i];
}

// The width of the cell when none is given. Outlines: the widest of each
// glyph's advance and the right edge of its ink, so that nothing is cut at
// the sides. Bitmaps: the widest advance.
int widthof(source *s, const std::vector<outglyph> &m, const stash &st,
            size_t *loaded) {
  int width = 0;
  *loaded = 0;
  for (size_t i = 0; i < m.size(); i++) {
    srcglyph g;
    if (s->outline) {
      if (!st.ok[i]) continue;
      g = st.glyphs[i];
      width = std::max(width, g.right);
    } else if (drawglyph(s, m[i].handle, 1, &g)) {
      continue;
    }
    ++*loaded;
    width = std::max(width, g.advance);
  }
  return width;
}

// The width widthof finds, of glyphs not drawn: their metrics, and the
// right edge of an outline's ink as FreeType presets it (one a style
// moves is drawn to know it).
int measured(source *s, const std::vector<outglyph> &m, size_t *loaded) {
  int width = 0;
  *loaded = 0;
  for (const outglyph &p : m) {
    srcglyph g;
    if (drawglyph(s, p.handle, 1, &g)) continue;
    if (s->outline && g.right < 0 && drawglyph(s, p.handle, 0, &g)) continue;
    ++*loaded;
    width = std::max({width, g.advance, s->outline ? g.right : 0});
  }
  return width;
}

} // namespace

int kindof(const source *s, const recodeopts *o) {
  int kind = o->kind != ANYKIND ? o->kind : s->kind;
  if (kind != ANYKIND) return kind;
  if (s->cs.type != SETUNICODE)
    return s->cs.type == SETJIS ? DOUBLEBYTE : SINGLEBYTE;
  // A Unicode font is double-byte where the double-byte set written holds
  // full-width characters of it: kana, CJK ideographs, Hangul.
  codeset dbcs;
  mapper dst;
  if (dbcsnamed(&dbcs, o->codes ? o->codes : "sjis") || mapopen(&dst, &dbcs))
    return SINGLEBYTE;
  bool wide = std::any_of(s->chars.begin(), s->chars.end(), [&](const auto &c) {
    return fullwidth(static_cast<int32_t>(c.first)) &&
           fromuni(&dst, c.first) >= 0;
  });
  mapclose(&dst);
  return wide ? DOUBLEBYTE : SINGLEBYTE;
}

int recode(source *s, const recodeopts *o, glyphset *out, recodefacts *f,
           char *why, size_t size) {
  memset(out, 0, sizeof *out);
  *f = recodefacts();
  if (s->unsized)
    return fail(why, size, "has no size to draw at: give one with -s");
  codeset dbcs, sbcs;
  // A FONTX2 source of a double-byte set keeps it, as a single-byte
  // source keeps its charset; others default to Shift_JIS.
  bool ownwide = s->gs && s->kind == DOUBLEBYTE;
  if (o->codes || !ownwide)
    dbcsnamed(&dbcs, o->codes ? o->codes : "sjis");
  else
    dbcs = s->cs;
  // A single-byte source in a charset of its own keeps it; Unicode and
  // JIS sources default to CP932's single bytes, as DOS/V fonts are.
  if (o->charset || s->cs.type != SETBYTE)
    sbcsnamed(&sbcs, o->charset);
  else
    sbcs = s->cs;
  mapper src, dst;
  if (mapopen(&src, &s->cs))
    return fail(why, size, "iconv cannot map the font's charset");
  int kind = kindof(s, o);
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
  f->kind = kind;
  // Glyphs whose codes mean no character in the source's set (a JIS
  // font's codes off the 94 x 94 grid) have nowhere to go: counted and
  // named, once for a pair (by the font of the source's own kind).
  bool dblsource = s->cs.type != SETBYTE && s->cs.type != SETUNICODE;
  if (dblsource == (kind == DOUBLEBYTE)) {
    std::vector<uint32_t> placed(m.size());
    std::transform(m.begin(), m.end(), placed.begin(),
                   [](const outglyph &p) { return p.from; });
    std::sort(placed.begin(), placed.end());
    for (const auto &c : s->chars)
      if (touni(&src, c.first) < 0 &&
          !std::binary_search(placed.begin(), placed.end(), c.first)) {
        if (f->nocode < 8) f->nocodes[f->nocode] = c.first;
        f->nocode++;
      }
  }
  // The other kind's set, for the characters of a text that belong there.
  mapper other;
  bool hasother = o->bytext && !mapopen(&other, kind ? &sbcs : &dbcs);
  subset(s, o, &src, &dst, hasother ? &other : nullptr, &m, f);
  if (hasother) mapclose(&other);
  if (m.empty()) {
    mapclose(&src);
    mapclose(&dst);
    f->none = any;
    f->empty = 1;
    return fail(why, size,
                any    ? "no glyph is in the --range or --text given"
                : kind ? "no glyph has a double-byte code of the set"
                       : "no glyph has a single-byte code of the set");
  }

  // A picture of a text needs only the glyphs the text reaches, in the
  // cell the whole font has: measured, not drawn. A single-byte font is
  // drawn whole (a reader may draw any byte of the text), but only the
  // text's glyphs are warned of.
  std::vector<uint32_t> codes;
  for (size_t i = 0; o->drawtext && i < o->ntext; i++)
    if (int32_t c = fromuni(&dst, o->text[i]); c >= 0)
      codes.push_back(static_cast<uint32_t>(c));
  std::sort(codes.begin(), codes.end());
  auto reached = [&](const outglyph &p) {
    auto code = static_cast<uint32_t>(p.code);
    return !o->drawtext ||
           std::binary_search(codes.begin(), codes.end(), code) ||
           intext(o, touni(&dst, code));
  };
  int whole = -1;
  size_t loaded = 0;
  if (o->drawtext && kind && !s->gs) {
    whole = measured(s, m, &loaded);
    // A font keeps a glyph, though the text reach none.
    auto cut = std::stable_partition(m.begin(), m.end(), reached);
    m.erase(cut == m.begin() ? cut + 1 : cut, m.end());
  }
  stash d;
  if (s->outline) drawall(s, m, o->width ? o->width : 255, &d, o->progress);
  int width = whole;
  if (whole < 0) width = widthof(s, m, d, &loaded);
  if (o->width) width = o->width;
  if (!o->width && o->widthfor) width = o->widthfor(o->widthrule, width);
  int height = s->ascent + s->descent;
  // A font FreeType can load no glyph of (composites that point at
  // themselves, outlines it cannot parse) is no font to write.
  if (!loaded) {
    mapclose(&src);
    mapclose(&dst);
    snprintf(why, size, "none of its %zu glyphs can be loaded", m.size());
    return 1;
  }
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

  styling st;
  prepstyle(s, &src, o, out, &st);
  f->linesbyfont = st.byfont;
  const styleopts &so = o->style;
  bool styled = so.bold || so.italic || so.underline || so.strikeout;

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
    if (s->outline ? !d.ok[i] : drawglyph(s, p.handle, 0, &g) != 0) {
      // Left blank, and named.
      if (f->failed < 8) {
        f->failcode[f->failed] = static_cast<uint32_t>(p.code);
        f->failuni[f->failed] = touni(&src, p.from);
      }
      f->failed++;
      continue;
    }
    if (s->outline) g = d.glyphs[i];
    unsigned char *cell = out->own + at * out->glyphbytes;
    int lost = g.beyond | blit(cell, width, height, out->ascent, &g);
    bool said = reached(p);
    if (said && (lost & CUTSIDES)) f->right = std::max(f->right, g.right);
    if (styled) {
      int bystyle = styleglyph(&st, cell, width, height, out->ascent,
                               touni(&src, p.from));
      if (said && bystyle)
        f->right = std::max(f->right, width + stylereach(&st, out->ascent));
      lost |= bystyle;
    }
    if (!lost || !said) continue;
    f->where |= lost;
    if (f->named < 8) {
      f->code[f->named] = static_cast<uint32_t>(p.code);
      f->uni[f->named++] = touni(&src, p.from);
    }
    f->cut++;
  }
  drawpictures(s, &src, &st, out, f);
  mapclose(&src);
  mapclose(&dst);
  return 0;
}
