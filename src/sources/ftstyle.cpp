// Styles of a font FreeType reads: the face of its own file that is bold
// or italic, else bold and italic made from the hinted outline; and where
// the font puts its lines.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "sources/ftstyle.h"

// Bold and italic made from a hinted outline, where the font has no face
// of its own for them. Bold above 24 pixels: the outline widened to the
// right only, by size / 24, so that a vertical stem gains as much and no
// glyph moves off its origin; heights stay, so that the strokes of an
// ideograph do not run together. Up to 24 pixels a widened outline closes
// the one-pixel counters of small glyphs, so bold is the bitmap rule on
// the rendered glyph instead (style.h, boldcell). Italic: sheared about the
// baseline by 12 degrees (x += y tan 12).
void ftstyle(const source *s, FT_GlyphSlot slot) {
  if (s->bold == SYNTHETIC && !boldbybitmap(s)) {
    FT_Pos strength = std::max<FT_Pos>(64, s->size * 64 / 24);
    // FreeType widens to the right, the left edge stays where it was.
    FT_Outline_EmboldenXY(&slot->outline, strength, 0);
  }
  if (s->italic == SYNTHETIC) {
    FT_Matrix shear = {0x10000, 0x366A, 0, 0x10000}; // tan 12 = 0.21256
    FT_Outline_Transform(&slot->outline, &shear);
  }
}

// The face of the font's own file that is the style asked for: another
// face of a collection of the same family, or a named instance of a
// variable font; bold and italic both where it has that, else the one it
// has. Sets s->bold and s->italic to how each is had.
void ftownstyle(source *s, FT_Library lib, const unsigned char *data, size_t n,
                FT_Face *current, const sourceopts *o) {
  FT_Face face = *current;
  int want = (o->bold ? FT_STYLE_FLAG_BOLD : 0) |
             (o->italic ? FT_STYLE_FLAG_ITALIC : 0);
  int got = static_cast<int>(face->style_flags) & want;
  auto family = [](FT_Face x) { return x->family_name ? x->family_name : ""; };
  for (long i = 0; i < face->num_faces && got != want; i++) {
    FT_Face other;
    if (FT_New_Memory_Face(lib, data, static_cast<FT_Long>(n), i, &other))
      continue;
    int has = static_cast<int>(other->style_flags) & want;
    // More of the styles asked for, and none not asked for.
    bool better = !strcmp(family(other), family(face)) &&
                  __builtin_popcount(has) > __builtin_popcount(got) &&
                  !(other->style_flags & ~want &
                    (FT_STYLE_FLAG_BOLD | FT_STYLE_FLAG_ITALIC));
    if (better) {
      FT_Done_Face(*current);
      *current = face = other, got = has;
      snprintf(s->stylename, sizeof s->stylename, "face %ld, %s", i,
               other->style_name ? other->style_name : "");
    } else {
      FT_Done_Face(other);
    }
  }
  FT_MM_Var *mm = nullptr;
  if (got != want && FT_HAS_MULTIPLE_MASTERS(face) &&
      !FT_Get_MM_Var(face, &mm)) {
    // The named instance nearest weight 700 for bold, italic or slanted
    // for italic, else as it stands.
    long best = -1, bestscore = 0;
    for (FT_UInt k = 0; k < mm->num_namedstyles; k++) {
      long score = 0;
      for (FT_UInt a = 0; a < mm->num_axis; a++) {
        FT_ULong tag = mm->axis[a].tag;
        FT_Fixed v = mm->namedstyle[k].coords[a];
        if (tag == FT_MAKE_TAG('w', 'g', 'h', 't') && o->bold)
          score += 1000 - std::labs((v >> 16) - 700);
        if ((tag == FT_MAKE_TAG('i', 't', 'a', 'l') && v >= 0x8000) ||
            (tag == FT_MAKE_TAG('s', 'l', 'n', 't') && v != 0))
          score += o->italic ? 2000 : -2000;
      }
      if (score > bestscore) best = k, bestscore = score;
    }
    if (best >= 0 &&
        !FT_Set_Named_Instance(face, static_cast<FT_UInt>(best) + 1)) {
      got = want;
      snprintf(s->stylename, sizeof s->stylename, "named instance %ld",
               best + 1);
    }
    FT_Done_MM_Var(lib, mm);
  }
  s->bold = !o->bold                     ? NOSTYLE
            : (got & FT_STYLE_FLAG_BOLD) ? OWNFACE
                                         : SYNTHETIC;
  s->italic = !o->italic                     ? NOSTYLE
              : (got & FT_STYLE_FLAG_ITALIC) ? OWNFACE
                                             : SYNTHETIC;
}

// Where an outline font puts its lines (post's underline, OS/2's
// strikeout), or a bitmap font its underline (UNDERLINE_POSITION and
// UNDERLINE_THICKNESS), in pixels; a pixel thick at the least.
void ftlines(source *s, FT_Face face) {
  linemetrics &l = s->lines;
  if (s->outline && face->size) {
    FT_Fixed y = face->size->metrics.y_scale;
    auto px = [&](long units) {
      return static_cast<int>((FT_MulFix(units, y) + 32) >> 6);
    };
    const auto *post = static_cast<const TT_Postscript *>(
        FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    if (post && post->underlineThickness > 0) {
      l.hasunder = 1;
      l.underpos = px(-post->underlinePosition);
      l.underthick = std::max(1, px(post->underlineThickness));
    }
    const auto *os2 =
        static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
      l.hasstrike = 1;
      l.strikepos = px(os2->yStrikeoutPosition);
      l.strikethick = std::max(1, px(os2->yStrikeoutSize));
    }
    return;
  }
  BDF_PropertyRec pos, thick;
  if (!FT_Get_BDF_Property(face, "UNDERLINE_POSITION", &pos) &&
      !FT_Get_BDF_Property(face, "UNDERLINE_THICKNESS", &thick) &&
      pos.type != BDF_PROPERTY_TYPE_ATOM &&
      thick.type != BDF_PROPERTY_TYPE_ATOM) {
    l.hasunder = 1;
    l.underpos = static_cast<int>(pos.u.integer);
    l.underthick = std::max(1, static_cast<int>(thick.u.integer));
  }
}
