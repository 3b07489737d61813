// Sizing a font FreeType reads into a FONTX2 cell: a strike as it is, or
// an outline scaled by the line or the em rule.
#include "sources/ftsize.h"

#include <algorithm>
#include <cstdio>

#include FT_TRUETYPE_TABLES_H

namespace {

// round(a * b / c) for positive c, in integers.
long rounddiv(long a, long b, long c) {
  long p = a * b;
  return p >= 0 ? (2 * p + c) / (2 * c) : -((-2 * p + c) / (2 * c));
}

// Kana and CJK ideographs: the fonts that FONTX2 fonts in circulation are
// made from, which are fitted to the cell by their Windows line height.
bool mapscjk(const source *s) {
  return s->cs.type == SETUNICODE &&
         std::any_of(s->chars.begin(), s->chars.end(), [](const auto &c) {
           return (c.first >= 0x3040 && c.first <= 0x30FF) ||
                  (c.first >= 0x4E00 && c.first <= 0x9FFF);
         });
}

// The em square fills the cell: size pixels high, the baseline where the
// typographic ascender and descender put it (hhea's where there is no
// OS/2 table), the glyphs in their own proportions.
int fitem(FT_Face face, source *s, int size) {
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size))) return -1;
  ftmetrics m;
  ftmetricsof(face, &m);
  long a = face->ascender, d = face->descender;
  if (m.hasos2 && m.typoascent - m.typodescent > 0)
    a = m.typoascent, d = m.typodescent;
  else if (m.hheaascent - m.hheadescent > 0)
    a = m.hheaascent, d = m.hheadescent;
  s->ascent = a - d > 0 ? static_cast<int>(rounddiv(size, a, a - d)) : size;
  return 0;
}

// The Windows line height fills the cell, as the Windows generators of the
// FONTX2 fonts in circulation do: vertically the em is size * upem /
// (winAscent + winDescent) pixels, horizontally size pixels (a full-width
// glyph is as wide as the cell is high), and the baseline lies size *
// winAscent / (winAscent + winDescent) rows down. Lines of text keep the
// font's gap when stacked at the cell height.
int fitline(FT_Face face, source *s, int size) {
  ftmetrics m;
  ftmetricsof(face, &m);
  long a = m.winascent, d = m.windescent;
  if (a + d <= 0) return fitem(face, s, size);
  long y = rounddiv(size, m.upem, a + d);
  if (y < 1) y = 1;
  if (FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(size) * 64,
                       static_cast<FT_F26Dot6>(y) * 64, 72, 72))
    return -1;
  s->ascent = static_cast<int>(rounddiv(size, a, a + d));
  return 0;
}

} // namespace

void ftmetricsof(FT_Face face, ftmetrics *m) {
  *m = ftmetrics();
  m->upem = face->units_per_EM;
  const TT_OS2 *os2 =
      static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const TT_HoriHeader *hhea =
      static_cast<const TT_HoriHeader *>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (hhea) m->hheaascent = hhea->Ascender, m->hheadescent = hhea->Descender;
  m->hasos2 = os2 && os2->version != 0xFFFF;
  if (m->hasos2) {
    m->winascent = os2->usWinAscent;
    m->windescent = os2->usWinDescent;
    m->typoascent = os2->sTypoAscender;
    m->typodescent = os2->sTypoDescender;
  }
  if (m->winascent + m->windescent <= 0)
    m->winascent = m->hheaascent, m->windescent = -m->hheadescent;
}

int ftsize(FT_Face face, source *s, int size, int fit, char *why,
           size_t whysize) {
  int n = face->num_fixed_sizes;
  for (int i = 0; i < n; i++) {
    const FT_Bitmap_Size &b = face->available_sizes[i];
    if ((size && b.height != size && (b.y_ppem + 32) >> 6 != size) ||
        (!size && n > 1))
      continue;
    if (FT_Select_Size(face, i)) break;
    s->ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
    s->descent = static_cast<int>((-face->size->metrics.descender + 32) >> 6);
    return 0;
  }
  if (FT_IS_SCALABLE(face) && size) {
    s->outline = 1;
    s->fit = fit != FITAUTO ? fit : mapscjk(s) ? FITLINE : FITEM;
    if ((s->fit == FITLINE ? fitline : fitem)(face, s, size)) {
      snprintf(why, whysize, "cannot be rendered at %d pixels", size);
      return 1;
    }
    s->descent = size - s->ascent;
    return 0;
  }
  s->unsized = 1;
  if (!n) {
    s->outline = 1;
    snprintf(why, whysize, "is an outline font: give a pixel size with -s");
    return 0;
  }
  size_t k = static_cast<size_t>(snprintf(
      why, whysize, size ? "has no %d-pixel strike; it has" : "has strikes of",
      size));
  for (int i = 0; i < n && k < whysize; i++)
    k += static_cast<size_t>(
        snprintf(why + k, whysize - k, " %d", face->available_sizes[i].height));
  if (!size && k < whysize)
    snprintf(why + k, whysize - k, " pixels: choose one with -s");
  return size ? 2 : 0;
}
