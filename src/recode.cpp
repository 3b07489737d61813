#include "recode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "sjis.h"

namespace {

bool sameset(const codeset &a, const codeset &b) {
  if (a.type != b.type) return false;
  return (a.type != SETBYTE && a.type != SETDBCS) || !strcmp(a.name, b.name);
}

// A glyph to write: its code in the output, the source's code and glyph.
struct pick {
  int32_t code;
  uint32_t from, handle;
};

// One to one: the same set, or JIS X 0208 to Shift_JIS by arithmetic;
// never through Unicode.
bool direct(const codeset &src, const codeset &dst) {
  return sameset(src, dst) || (src.type == SETJIS && dst.type == SETSJIS);
}

std::vector<pick> copied(const source *s, const codeset &dst) {
  std::vector<pick> m;
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
std::vector<pick> throughunicode(const source *s, mapper *src, mapper *dst,
                                 int kind) {
  // Each character's glyph (code: the character), and whether its code is
  // the one the character maps back to.
  std::unordered_map<int32_t, std::pair<pick, bool>> have;
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
  std::vector<pick> m;
  if (dst->cs.type == SETUNICODE) {
    for (const auto &h : have)
      if (h.first <= 0xFFFF) m.push_back(h.second.first);
    std::sort(m.begin(), m.end(),
              [](const pick &a, const pick &b) { return a.code < b.code; });
    return m;
  }
  // Double-byte codes have a lead byte from 0x80 up in every set we take.
  for (uint32_t c = kind ? 0x8000 : 0; c <= (kind ? 0xFFFFu : 0xFFu); c++) {
    int32_t u = touni(dst, c);
    auto it = u < 0 ? have.end() : have.find(u);
    if (it != have.end())
      m.push_back({static_cast<int32_t>(c), it->second.first.from,
                   it->second.first.handle});
  }
  return m;
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
std::vector<codeblock> runsof(const std::vector<pick> &m, recodefacts *f) {
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

int fail(char *why, size_t size, const char *text) {
  snprintf(why, size, "%s", text);
  return 1;
}

// Keeps the glyphs in the range and the text asked for, and counts the
// characters of the text that none has, and with lostchars those of the
// source that no code of the output's set holds.
void subset(const source *s, const recodeopts *o, mapper *src, mapper *dst,
            std::vector<pick> *m, recodefacts *f) {
  std::vector<uint32_t> written;
  size_t k = 0;
  for (const pick &p : *m) {
    int32_t u = touni(dst, static_cast<uint32_t>(p.code));
    bool in =
        static_cast<uint32_t>(p.code) >= o->first &&
        static_cast<uint32_t>(p.code) <= o->last &&
        (!o->text || (u >= 0 && std::binary_search(o->text, o->text + o->ntext,
                                                   static_cast<uint32_t>(u))));
    if (!in) continue;
    (*m)[k++] = p;
    if (u >= 0) written.push_back(static_cast<uint32_t>(u));
  }
  m->resize(k);
  std::sort(written.begin(), written.end());
  auto note = [&](uint32_t u, size_t *n, uint32_t *first) {
    if (std::binary_search(written.begin(), written.end(), u)) return;
    if (*n < 8) first[*n] = u;
    ++*n;
  };
  for (size_t i = 0; o->text && i < o->ntext; i++)
    note(o->text[i], &f->lacking, f->lacked);
  // One-to-one copies lose nothing; the two sets may well decode a code
  // to different characters (JIS X 0208's 0x2171 is U+00A2, CP932's
  // 0x8191 U+FFE0).
  if (!o->lostchars || o->text || o->first > 0 || o->last < 0xFFFF ||
      direct(s->cs, dst->cs))
    return;
  std::vector<uint32_t> seen;
  for (const auto &c : s->chars) {
    int32_t u = touni(src, c.first);
    if (u >= 0x20 && (u < 0x7F || u > 0x9F))
      seen.push_back(static_cast<uint32_t>(u));
  }
  std::sort(seen.begin(), seen.end());
  seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
  for (uint32_t u : seen) note(u, &f->lost, f->lostu);
}

// Glyphs drawn from outlines, each rendered once: its bitmap is kept
// while the cell's width is found from all of them.
struct drawing {
  std::vector<srcglyph> glyphs;
  std::vector<unsigned char> bits;
  std::vector<size_t> at; // where each glyph's bitmap starts in bits
  std::vector<bool> ok;
};

void drawall(source *s, const std::vector<pick> &m, drawing *d) {
  d->glyphs.resize(m.size());
  d->at.resize(m.size());
  d->ok.resize(m.size());
  for (size_t i = 0; i < m.size(); i++) {
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
int widthof(source *s, const std::vector<pick> &m, const drawing &d) {
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
  int kind = o->kind >= 0 ? o->kind : s->kind;
  if (kind < 0 && s->cs.type == SETUNICODE) {
    kind = 0;
    if (!mapopen(&dst, &dbcs)) {
      kind = std::any_of(s->chars.begin(), s->chars.end(), [&](const auto &c) {
        return fullwidth(static_cast<int32_t>(c.first)) &&
               fromuni(&dst, c.first) >= 0;
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
  std::vector<pick> m = direct(s->cs, dst.cs)
                            ? copied(s, dst.cs)
                            : throughunicode(s, &src, &dst, kind);
  std::stable_sort(m.begin(), m.end(), [](const pick &a, const pick &b) {
    return a.code < b.code;
  });
  m.erase(std::unique(
              m.begin(), m.end(),
              [](const pick &a, const pick &b) { return a.code == b.code; }),
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
  if (s->outline) drawall(s, m, &d);
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
    const pick &p = m[i];
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
