// Sources read by FreeType: BDF, PCF and .pcf.gz, OpenType and TrueType,
// with bitmap strikes or outlines, opened, described and drawn.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <strings.h>
#include <utility>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_BITMAP_H
#include FT_FONT_FORMATS_H
#include FT_OUTLINE_H

#include "sources/bounds.h"
#include "sources/composite.h"
#include "sources/ftload.h"
#include "sources/ftmemo.h"
#include "sources/ftsize.h"
#include "sources/ftstyle.h"
#include "sources/source.h"

namespace {

struct ft {
  FT_Library lib; // one for the process, made at the first use
  FT_Face face;
  FT_Bitmap gray;          // a glyph in a pixel mode other than mono, as bytes
  unsigned char *unzipped; // a gzipped font, inflated
  const unsigned char *data; // the font's bytes (inflated), for its faces
  size_t n;
  std::vector<unsigned char> part; // what was drawn of a huge glyph
  uint64_t memo;                   // its drawings' key, 0 if not kept
};

// Whether the bytes begin as a font FreeType reads would (an sfnt,
// PCF, BDF, Type 1, Windows FNT or PFR font): if so, FreeType's reason for
// refusing it says what is wrong with it; if not, it is no font at all.
bool lookslikefont(const unsigned char *d, size_t n) {
  static const std::pair<const char *, size_t> magics[] = {
      {"\0\1\0\0", 4}, {"OTTO", 4}, {"true", 4},  {"typ1", 4},      {"ttcf", 4},
      {"wOFF", 4},     {"wOF2", 4}, {"\1fcp", 4}, {"STARTFONT", 9}, {"%!", 2},
      {"\x80\x01", 2}, {"MZ", 2},   {"PFR0", 4}};
  return std::any_of(std::begin(magics), std::end(magics), [&](const auto &m) {
    return n >= m.second && !memcmp(d, m.first, m.second);
  });
}

// FreeType's own words for its errors: FT_Error_String may be compiled out.
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {v, s},
#define FT_ERROR_START_LIST                                                    \
  const struct {                                                               \
    int code;                                                                  \
    const char *text;                                                          \
  } errors[] = {
#define FT_ERROR_END_LIST                                                      \
  { 0, nullptr }                                                               \
  }                                                                            \
  ;
#include FT_ERRORS_H

const char *fterror(FT_Error e) {
  const auto *x =
      std::find_if(std::begin(errors), std::end(errors),
                   [&](const auto &x) { return x.text && x.code == e; });
  return x != std::end(errors) ? x->text : "unknown error";
}

// A FONTX2 name from a font's: upper case, A-Z and 0-9 only, 8 at most.
void namefrom(unsigned char *name, const char *s) {
  int n = 0;
  memset(name, ' ', 8);
  for (; s && *s && n < 8; s++)
    if (isalnum(static_cast<unsigned char>(*s)) && !(*s & 0x80))
      name[n++] = static_cast<unsigned char>(toupper(*s));
}

// The name the font gives: its family, or its foundry when the family is
// "Fixed" (as dosv2bdf writes them).
void fontname(FT_Face face, unsigned char *name) {
  BDF_PropertyRec family, foundry;
  if (FT_Get_BDF_Property(face, "FAMILY_NAME", &family) ||
      family.type != BDF_PROPERTY_TYPE_ATOM)
    return namefrom(name, face->family_name);
  if (!strcasecmp(family.u.atom ? family.u.atom : "", "Fixed") &&
      !FT_Get_BDF_Property(face, "FOUNDRY", &foundry) &&
      foundry.type == BDF_PROPERTY_TYPE_ATOM)
    return namefrom(name, foundry.u.atom);
  namefrom(name, family.u.atom);
}

} // namespace

namespace {

// A huge outline glyph drawn only where it can land in a cell: columns 0
// to 254, the cell's rows. Its box, from the outline's control points,
// gives its right edge and where it reaches beyond.
int drawpart(source *s, ft *f, FT_GlyphSlot slot, srcglyph *g) {
  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  int rows = std::min(std::max(s->ascent + s->descent, 0), int{BIGGLYPH});
  const int cols = 255, pitch = (cols + 7) / 8;
  f->part.assign(static_cast<size_t>(pitch) * static_cast<size_t>(rows), 0);
  FT_Bitmap b;
  FT_Bitmap_Init(&b);
  b.width = cols;
  b.rows = static_cast<unsigned>(rows);
  b.pitch = pitch;
  b.buffer = f->part.data();
  b.pixel_mode = FT_PIXEL_MODE_MONO;
  b.num_grays = 2;
  // The bitmap's bottom row is the cell's: descent rows below the baseline.
  FT_Outline_Translate(&slot->outline, 0, static_cast<FT_Pos>(s->descent) * 64);
  if (rows && FT_Outline_Get_Bitmap(f->lib, &slot->outline, &b)) return -1;
  g->bits = f->part.data();
  g->pitch = pitch;
  g->width = rows ? cols : 0;
  g->rows = rows;
  g->left = 0;
  g->top = s->ascent;
  g->gray = 0;
  g->right = static_cast<int>((box.xMax + 63) >> 6);
  g->beyond =
      (box.xMin < 0 || box.xMax > cols * 64 ? CUTSIDES : 0) |
      (box.yMax > s->ascent * 64L || box.yMin < -s->descent * 64L ? CUTENDS
                                                                  : 0);
  return 0;
}

} // namespace

int ftopen(source *s, const unsigned char *data, size_t n, const sourceopts *o,
           char *why, size_t whysize) {
  *s = source();
  s->kind = ANYKIND;
  s->size = o->size;
  ft *f = new (std::nothrow) ft();
  if (!f) return snprintf(why, whysize, "out of memory"), 1;
  s->face = f;
  // FreeType's modules are set up once; a fuzzer opens fonts by the
  // thousand.
  FT_Error e = ftlibrary(&f->lib);
  if (n > 2 && data[0] == 0x1F && data[1] == 0x8B) {
    int r = ftgunzip(data, n, &f->unzipped, &n);
    if (r == 2)
      return snprintf(why, whysize, "inflates to more than %d MiB",
                      GZMAX >> 20),
             1;
    if (r < 0) return snprintf(why, whysize, "out of memory"), 1;
    if (!r) data = f->unzipped;
  }
  if (!e && (fontbounds(data, n, why, whysize) ||
             compositedepth(data, n, why, whysize)))
    return 3;
  f->data = data, f->n = n;
  if (!e && o->face) {
    // A face past the collection's last is the option's fault, not the
    // font's: say how many there are.
    FT_Face probe;
    if (!FT_New_Memory_Face(f->lib, data, static_cast<FT_Long>(n), -1,
                            &probe)) {
      long faces = probe->num_faces;
      FT_Done_Face(probe);
      if (o->face >= faces) {
        if (faces == 1)
          snprintf(why, whysize, "has 1 face: --face takes 0");
        else
          snprintf(why, whysize, "has %ld faces: --face takes 0 to %ld", faces,
                   faces - 1);
        return 2;
      }
    }
  }
  if (!e)
    e = FT_New_Memory_Face(f->lib, data, static_cast<FT_Long>(n), o->face,
                           &f->face);
  // FreeType's own words only where it knew the format.
  if (e == FT_Err_Unknown_File_Format || (e && !lookslikefont(data, n)))
    return snprintf(why, whysize,
                    "not a font (neither FONTX2 nor a format FreeType reads)"),
           3;
  if (e) return snprintf(why, whysize, "%s", fterror(e)), 1;
  FT_Bitmap_Init(&f->gray);
  FT_Face face = f->face;

  const char *encoding, *registry;
  if (!FT_Get_BDF_Charset_ID(face, &encoding, &registry)) {
    // X11 fonts: the charset their registry names, the codes as they are.
    if (!registry || !*registry)
      return snprintf(why, whysize, "names no charset (CHARSET_REGISTRY)"), 1;
    if (!encoding) encoding = "";
    if (fromx11(&s->cs, registry, encoding) || !face->num_charmaps ||
        FT_Set_Charmap(face, face->charmaps[0]))
      return snprintf(why, whysize, "no mapping for the charset %s-%s",
                      registry, encoding),
             1;
  } else if (FT_Select_Charmap(face, FT_ENCODING_UNICODE)) {
    return snprintf(why, whysize, "no Unicode character map"), 1;
  } else {
    s->cs.type = SETUNICODE;
  }
  FT_UInt index;
  for (FT_ULong c = FT_Get_First_Char(face, &index); index;
       c = FT_Get_Next_Char(face, c, &index))
    s->chars.push_back({static_cast<uint32_t>(c), index});
  fontname(face, s->name);
  // The cell, once the characters tell which rule an outline is fitted by;
  // the styles' face before it, their lines after.
  if ((o->bold || o->italic) && FT_IS_SCALABLE(face)) {
    ftownstyle(s, f->lib, f->data, f->n, &f->face, o);
    face = f->face;
    fontname(face, s->name);
  }
  int r = ftsize(face, s, o->size, o->fit, why, whysize);
  if (!s->outline) s->bold = s->italic = NOSTYLE; // a strike: the bitmap rule
  if (!r && !s->unsized) ftlines(s, face);
  if (!r && !s->unsized && s->outline) f->memo = ftmemokey(f->data, f->n, o);
  return r;
}

void ftclose(source *s) {
  ft *f = static_cast<ft *>(s->face);
  if (!f) return;
  if (f->lib) FT_Bitmap_Done(f->lib, &f->gray);
  if (f->face) FT_Done_Face(f->face);
  free(f->unzipped);
  delete f;
  s->face = nullptr;
}

int ftfacename(const source *s, long i, char *out, size_t size) {
  const ft *f = static_cast<const ft *>(s->face);
  FT_Face face;
  if (!f ||
      FT_New_Memory_Face(f->lib, f->data, static_cast<FT_Long>(f->n), i, &face))
    return -1;
  snprintf(out, size, "%s %s", face->family_name ? face->family_name : "",
           face->style_name ? face->style_name : "");
  FT_Done_Face(face);
  return 0;
}

void ftfacts(const source *s, fontfacts *f) {
  *f = fontfacts();
  const ft *x = static_cast<const ft *>(s->face);
  FT_Face face = x ? x->face : nullptr;
  if (!face) return;
  const char *format = FT_Get_Font_Format(face);
  f->format = format ? format : "unknown";
  f->family = face->family_name ? face->family_name : "";
  f->faces = face->num_faces;
  f->face = static_cast<int>(face->face_index & 0xFFFF);
  f->style = face->style_name ? face->style_name : "";
  f->scalable = FT_IS_SCALABLE(face);
  for (int i = 0; i < face->num_fixed_sizes && f->nstrikes < 32; i++)
    f->strikes[f->nstrikes++] = face->available_sizes[i].height;
  if (f->scalable) {
    ftmetrics m;
    ftmetricsof(face, &m);
    f->upem = m.upem;
    f->winascent = m.winascent, f->windescent = m.windescent;
    f->typoascent = m.typoascent, f->typodescent = m.typodescent;
    f->hasos2 = m.hasos2;
  }
}

int ftdraw(source *s, uint32_t handle, int metrics, srcglyph *g, int fit) {
  ft *f = static_cast<ft *>(s->face);
  // A glyph drawn before for this font: its drawing, or its metrics.
  if (const srcglyph *was = ftrecall(f->memo, handle, fit)) {
    if (!metrics) return *g = *was, 0;
    g->advance = was->advance, g->right = was->right, g->beyond = 0;
    return 0;
  }
  FT_Int32 flags = metrics && !s->outline ? FT_LOAD_BITMAP_METRICS_ONLY
                                          : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(f->face, handle, flags)) return -1;
  FT_GlyphSlot slot = f->face->glyph;
  g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  g->beyond = 0;
  // The right edge the glyph has unstyled, as FreeType presets it: a style
  // never widens the cell.
  int unstyled = slot->bitmap_left + static_cast<int>(slot->bitmap.width);
  if (metrics) {
    // An outline's right edge without drawing it: the preset box is the
    // one drawing gives, unless a style moves the points or the glyph is
    // drawn in part (then -1: draw it to know).
    bool plain = s->bold != SYNTHETIC && s->italic != SYNTHETIC &&
                 slot->bitmap.width <= BIGGLYPH &&
                 slot->bitmap.rows <= BIGGLYPH;
    int drawn = slot->bitmap.buffer ? static_cast<int>(slot->bitmap.width) : 0;
    g->right = slot->format != FT_GLYPH_FORMAT_OUTLINE
                   ? slot->bitmap_left + drawn
               : plain ? unstyled
                       : -1;
    return 0;
  }
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    // The size FreeType presets holds while the outline is as loaded; a
    // style or a narrowing moves its points, and then they are measured
    // again (a pass over every point, 2 % of a CJK font's time).
    bool huge = slot->bitmap.width > BIGGLYPH || slot->bitmap.rows > BIGGLYPH;
    bool moved = s->bold == SYNTHETIC || s->italic == SYNTHETIC;
    ftstyle(s, slot);
    if (fit && slot->advance.x > fit * 64) {
      FT_Matrix narrow = {
          static_cast<FT_Fixed>((static_cast<long long>(fit) << 22) /
                                slot->advance.x),
          0, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &narrow);
      moved = true;
    }
    if (moved) {
      FT_BBox box;
      FT_Outline_Get_CBox(&slot->outline, &box);
      huge = (box.xMax - box.xMin) / 64 > BIGGLYPH ||
             (box.yMax - box.yMin) / 64 > BIGGLYPH;
    }
    // Rendered as FT_LOAD_RENDER would, unless it is huge.
    if (huge) return drawpart(s, f, slot, g);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO)) return -1;
  }
  const FT_Bitmap *bm = &slot->bitmap;
  g->gray = bm->pixel_mode != FT_PIXEL_MODE_MONO;
  if (bm->pitch < 0 || (g->gray && bm->pixel_mode != FT_PIXEL_MODE_GRAY)) {
    // 2- and 4-bit gray, colour, rows bottom up: to a byte a pixel, top
    // down, FreeType's way.
    g->gray = 1;
    if (FT_Bitmap_Convert(f->lib, bm, &f->gray, 1)) return -1;
    if (f->gray.num_grays > 1 && f->gray.num_grays < 256)
      for (unsigned i = 0;
           i < f->gray.rows * static_cast<unsigned>(f->gray.pitch); i++)
        f->gray.buffer[i] = static_cast<unsigned char>(f->gray.buffer[i] * 255 /
                                                       (f->gray.num_grays - 1));
    bm = &f->gray;
  }
  g->bits = bm->buffer;
  g->pitch = bm->pitch;
  // A glyph whose bitmap the font left out has a size but no buffer.
  g->width = bm->buffer ? static_cast<int>(bm->width) : 0;
  g->rows = bm->buffer ? static_cast<int>(bm->rows) : 0;
  g->left = slot->bitmap_left;
  g->top = slot->bitmap_top;
  g->right = g->left + g->width;
  if (s->outline && (s->bold == SYNTHETIC || s->italic == SYNTHETIC))
    g->right = unstyled;
  ftkeep(f->memo, handle, fit, g);
  return 0;
}
