// The readers' string and character functions, as their sources have
// them, on a simulated screen; and each character of the text judged by
// what the reader makes of it.
#include "display/reader.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "codes/codes.h"

namespace {

// Where a reader finds a code's glyph: the font and the byte its glyph
// starts at in the font's bitmaps (not always a glyph's own start).
struct found {
  const glyphset *gs;
  size_t at;
};

// The FONTX2 bytes of a font's bitmaps from at on, as a reader reading
// past a glyph sees them (zero past the font).
unsigned char byteat(const glyphset *gs, size_t at) {
  return at < gs->whole * gs->glyphbytes ? gs->bits[at] : 0;
}

const drawfont *fontof(const target *t, const readerfonts *f, uint32_t code) {
  if (t->lookup == LOOKPAIR) return code < 0x100 ? f->single : f->dbl;
  if (t->singleonly) return f->single;
  return f->single ? f->single : f->dbl;
}

// RomFontx::getGlyph past a single-byte code: each font in turn by its
// block table, where a single-byte font's table is its first glyph's
// bytes (the byte at 17 taken for the count of blocks).
found inorder(const readerfonts *f, uint32_t code) {
  for (const drawfont *font : {f->single, f->dbl}) {
    if (!font) continue;
    const glyphset *gs = font->gs;
    if (gs->kind) {
      if (code < font->at.size() && font->at[code] >= 0)
        return {gs, static_cast<size_t>(font->at[code]) * gs->glyphbytes};
      continue;
    }
    unsigned n = byteat(gs, 0);
    size_t before = 0;
    for (unsigned b = 0; b < n; b++) {
      size_t at = 1 + 4 * size_t{b};
      unsigned s = byteat(gs, at) | byteat(gs, at + 1) << 8;
      unsigned e = byteat(gs, at + 2) | byteat(gs, at + 3) << 8;
      if (code >= s && code <= e)
        return {gs, 1 + 4 * size_t{n} + (before + code - s) * gs->glyphbytes};
      before += e - s + 1;
    }
  }
  return {nullptr, 0};
}

found lookup(const target *t, const readerfonts *f, uint32_t code) {
  if (code == NOCODE) return {nullptr, 0};
  if (t->lookup == LOOKORDER && code >= 0x100) return inorder(f, code);
  const drawfont *font = fontof(t, f, code);
  if (!font) return {nullptr, 0};
  const glyphset *gs = font->gs;
  // A font of glyphs over its limit is refused when it opens.
  if (t->maxglyph && gs->glyphbytes > static_cast<size_t>(t->maxglyph))
    return {nullptr, 0};
  if (code >= font->at.size() || font->at[code] < 0) return {nullptr, 0};
  // hagl steps from glyph to glyph by the size it kept in a byte.
  size_t size = gs->glyphbytes;
  if (t->sizebits) size &= (size_t{1} << t->sizebits) - 1;
  return {gs, static_cast<size_t>(font->at[code]) * size};
}

// The pen's x as the reader's variable holds it.
long keep(const target *t, long x) {
  switch (t->pen) {
  case PENUINT16:
    return x & 0xFFFF;
  case PENINT16:
    return ((x + 0x8000) & 0xFFFF) - 0x8000;
  case PENINT16TO0:
    return x > 0x7FFF ? 0 : x;
  default:
    return x;
  }
}

// A pixel's x or y as the reader's drawing holds it (its loop variable).
long pixelat(const target *t, long v) {
  return t->pen == PENINT16TO0 ? v : keep(t, v);
}

struct pen {
  long x, y;
};

// A pixel where the reader's memory puts it: a column past a page's end
// is the next page's.
void put(const target *t, screen *s, long x, long y, int ink) {
  if (t->pagewidth && x >= t->pagewidth) x -= t->pagewidth, y += 8;
  plot(s, x, y, ink);
}

// One glyph as t's character function draws it at the pen, and the pen
// moved past it.
void drawglyph(const target *t, found g, pen *p, screen *s,
               readerfacts *facts) {
  const glyphset *gs = g.gs;
  int w = gs->width, h = gs->height;
  if (t->edge == EDGEWRAP && p->x + w > s->width)
    p->x = 0, p->y = keep(t, p->y + h);
  if (t->buffer && gs->glyphbytes > static_cast<size_t>(t->buffer))
    facts->overflows++;
  int rowbytes = t->rows == ROWSPLUS4 ? (w + 4) / 8 : (w + 7) / 8;
  int drawn = std::min(w, rowbytes * 8); // pixels of each row it draws
  int rows = t->drawrows ? std::min(h, t->drawrows) : h;
  // A cell wholly off the screen, its columns not wrapping onto it, draws
  // nothing: a line far past the edge costs its pen arithmetic only.
  long left = pixelat(t, p->x), right = pixelat(t, p->x + drawn - 1);
  long top = pixelat(t, p->y), bottom = pixelat(t, p->y + rows - 1);
  bool off = (!t->pagewidth && right - left == drawn - 1 &&
              (right < 0 || left >= s->width)) ||
             (bottom - top == rows - 1 && (bottom < 0 || top >= s->height));
  size_t ofs = g.at;
  for (int r = 0; r < rows && !off; r++)
    for (int b = 0; b < rowbytes; b++, ofs++) {
      unsigned char byte = byteat(gs, ofs);
      for (int bit = 0; bit < 8 && b * 8 + bit < drawn; bit++) {
        bool ink = byte & 0x80 >> bit;
        if (ink || t->opaque)
          put(t, s, pixelat(t, p->x + b * 8 + bit), pixelat(t, p->y + r), ink);
      }
    }
  p->x = keep(t, p->x + w / t->column * t->column);
}

// One code as t draws it.
void drawcode(const target *t, const readerfonts *f, uint32_t code, pen *p,
              screen *s, readerfacts *facts) {
  if (t->newlines && (code == '\n' || code == '\r')) {
    p->x = 0, p->y = keep(t, p->y + f->height);
    return;
  }
  found g = lookup(t, f, code);
  if (!g.gs) {
    facts->missing++;
    if (t->missing == PENTOFU && code >= 0x100) g = lookup(t, f, 0x81A0);
  }
  if (!g.gs) {
    p->x = t->missing == PENMINUSONE ? keep(t, -1)
           : t->missing == PENTOZERO ? 0
                                     : p->x;
    return;
  }
  drawglyph(t, g, p, s, facts);
}

// Each character judged by what the reader makes of it alone: no code, a
// code of another character (or several codes), a code no font has.
struct judge {
  const target *t;
  const readerfonts *f;
  mapper m[2]; // the single-byte and double-byte fonts' sets
  bool open[2] = {false, false};
  struct verdict {
    int fault; // drawfault, or -1 drawn as itself
    // cppcheck-suppress unusedStructMember
    size_t glyphs; // glyphs drawn for it where it is wrong
  };
  std::unordered_map<uint32_t, verdict> seen;

  judge(const target *t_, const readerfonts *f_) : t(t_), f(f_) {
    for (int k = 0; k < 2; k++) {
      const drawfont *d = k ? f->dbl : f->single;
      open[k] = d && !mapopen(&m[k], &d->gs->codes);
    }
  }
  ~judge() {
    for (int k = 0; k < 2; k++)
      if (open[k]) mapclose(&m[k]);
  }
  judge(const judge &) = delete;
  judge &operator=(const judge &) = delete;

  verdict of(uint32_t u) {
    unsigned char b[4];
    size_t n = utf8encode(u, b), dropped = 0;
    uint32_t codes[8];
    size_t k = readercodes(t, b, n, codes, 8, &dropped);
    if (!k || codes[0] == NOCODE || (t->text == TEXTSJIS && !codes[0] && u))
      return {FAULTLOST, 0};
    if (k > 1) {
      size_t glyphs = 0;
      for (size_t i = 0; i < k; i++) glyphs += lookup(t, f, codes[i]).gs != 0;
      return {FAULTWRONG, glyphs};
    }
    found g = lookup(t, f, codes[0]);
    if (!g.gs)
      return {t->missing == PENTOFU && codes[0] >= 0x100 ? FAULTTOFU
                                                         : FAULTMISSING,
              0};
    // The glyph is that character's where the font's set gives it the
    // code the reader made.
    int which = g.gs->kind ? 1 : 0;
    if (open[which]) {
      int32_t want = fromuni(&m[which], u);
      if (want < 0 || static_cast<uint32_t>(want) != codes[0])
        return {FAULTWRONG, 1};
    }
    return {-1, 0};
  }

  void add(uint32_t u, readerfacts *facts) {
    auto it = seen.find(u);
    if (it == seen.end()) {
      verdict v = of(u);
      it = seen.emplace(u, v).first;
      if (v.fault >= 0) facts->faulty[v.fault].push_back(u);
    }
    if (it->second.fault >= 0) facts->times[it->second.fault]++;
    if (it->second.fault == FAULTWRONG) facts->wrongglyphs += it->second.glyphs;
  }
};

// The characters of a line (valid UTF-8), each judged; for a reader that
// takes them as such, CR and LF are not characters.
void judgeline(judge *j, const unsigned char *s, size_t n,
               std::vector<uint32_t> *chars, readerfacts *facts) {
  utf8decode(s, n, chars);
  for (uint32_t u : *chars) {
    if (!u) break; // the reader's string ends there
    if (!(j->t->newlines && (u == '\n' || u == '\r'))) j->add(u, facts);
  }
}

} // namespace

void readertext(const target *t, const readerfonts *f,
                const unsigned char *text, size_t n, screen *s,
                readerfacts *facts) {
  std::vector<uint32_t> codes;
  std::vector<uint32_t> chars;
  judge j(t, f);
  size_t line = 0;
  for (size_t start = 0; start < n;) {
    const void *lf = memchr(text + start, '\n', n - start);
    size_t stop =
        lf ? static_cast<size_t>(static_cast<const unsigned char *>(lf) - text)
           : n;
    size_t len = stop - start;
    if (len && text[start + len - 1] == '\r') len--; // the line's ending
    long y =
        static_cast<long>(line++) * (t->lineheight ? t->lineheight : f->height);
    if (y >= s->height) {
      facts->hidden++;
    } else {
      facts->calls++;
      codes.resize(len + 1);
      size_t k = readercodes(t, text + start, len, codes.data(), len + 1,
                             &facts->dropped);
      if (t->lengthbits || t->maxcodes) {
        // What the reader stopped short of: a length past its byte, or
        // more codes than its buffer holds.
        std::vector<uint32_t> every(len + 1);
        target loose = *t;
        loose.lengthbits = 0, loose.maxcodes = 0;
        size_t none = 0;
        if (k < readercodes(&loose, text + start, len, every.data(), len + 1,
                            &none))
          facts->cut++;
      }
      judgeline(&j, text + start, len, &chars, facts);
      pen p = {0, y};
      for (size_t i = 0; i < k; i++) {
        if (t->edge == EDGESTOP && (p.x >= s->width || p.y >= s->height)) {
          facts->stopped++;
          break;
        }
        drawcode(t, f, codes[i], &p, s, facts);
      }
    }
    start = stop + 1;
  }
}
