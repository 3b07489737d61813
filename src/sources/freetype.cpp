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
#include FT_GZIP_H
#include FT_MODULE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "sources/bounds.h"
#include "sources/ftsize.h"
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
};

// FreeType's memory, failing as the program's containers fail: through
// the new-handler the program set (it ends the run with a message).
void *nomemory() {
  if (std::new_handler h = std::get_new_handler()) h();
  return nullptr;
}
void *ftalloc(FT_Memory, long n) {
  void *p = malloc(static_cast<size_t>(n));
  return p || n <= 0 ? p : nomemory();
}
void ftfree(FT_Memory, void *p) {
  free(p);
}
void *ftrealloc(FT_Memory, long, long n, void *p) {
  void *q = realloc(p, static_cast<size_t>(n));
  return q || n <= 0 ? q : nomemory();
}
FT_MemoryRec_ memory = {nullptr, ftalloc, ftfree, ftrealloc};

// A gzipped font (.pcf.gz) inflated whole, in one pass, by FreeType's own
// gzip stream. FreeType reads such a font in place only by inflating it
// again from the start at every backward seek: minutes for a large font.
// The length the gzip trailer claims is never trusted: the buffer grows
// with what really comes out, up to GZMAX, past which it is refused.
// Returns 0 with the buffer, 1 when it is not gzip data after all, 2
// when it inflates past GZMAX, -1 when memory runs out.
int gunzip(const unsigned char *data, size_t n, unsigned char **out,
           size_t *size) {
  FT_StreamRec src = FT_StreamRec(), gz = FT_StreamRec();
  src.base = const_cast<unsigned char *>(data);
  src.size = n;
  src.memory = &memory;
  *out = nullptr;
  if (FT_Stream_OpenGzip(&gz, &src)) return 1;
  // FreeType inflates a small font at once, and then has checked its size.
  size_t room = !gz.read ? gz.size : 1 << 20, got = 0;
  unsigned char *buf = static_cast<unsigned char *>(malloc(room ? room : 1));
  int r = buf ? 0 : -1;
  if (buf && !gz.read) {
    memcpy(buf, gz.base, gz.size);
    got = gz.size;
  }
  while (!r && gz.read) {
    if (got == room) {
      if (room >= GZMAX) {
        r = 2;
        break;
      }
      void *more = realloc(buf, 2 * room);
      if (!more) {
        r = -1;
        break;
      }
      buf = static_cast<unsigned char *>(more);
      room *= 2;
    }
    unsigned long k = gz.read(&gz, got, buf + got, room - got);
    if (!k) break;
    got += k;
  }
  // A full buffer at the limit: one byte more tells whether it goes on.
  unsigned char probe;
  if (!r && gz.read && got == GZMAX && gz.read(&gz, got, &probe, 1)) r = 2;
  if (gz.close) gz.close(&gz);
  if (r) {
    free(buf);
    return r;
  }
  *out = buf;
  *size = got;
  return 0;
}

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

// Bold and italic made from a hinted outline, where the font has no face
// of its own for them. Bold: the outline widened to the right only, by a
// pixel up to 24 pixels and by size / 24 above, so that a vertical stem
// gains a pixel and no glyph moves off its origin; heights stay, so that
// the strokes of a small ideograph do not run together. Italic: sheared
// about the baseline by 12 degrees (x += y tan 12).
void style(const source *s, FT_GlyphSlot slot) {
  if (s->bold == SYNTHETIC) {
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
void ownstyle(source *s, ft *f, const sourceopts *o) {
  FT_Face face = f->face;
  int want = (o->bold ? FT_STYLE_FLAG_BOLD : 0) |
             (o->italic ? FT_STYLE_FLAG_ITALIC : 0);
  int got = static_cast<int>(face->style_flags) & want;
  auto family = [](FT_Face x) { return x->family_name ? x->family_name : ""; };
  for (long i = 0; i < face->num_faces && got != want; i++) {
    FT_Face other;
    if (FT_New_Memory_Face(f->lib, f->data, static_cast<FT_Long>(f->n), i,
                           &other))
      continue;
    int has = static_cast<int>(other->style_flags) & want;
    // More of the styles asked for, and none not asked for.
    bool better = !strcmp(family(other), family(face)) &&
                  __builtin_popcount(has) > __builtin_popcount(got) &&
                  !(other->style_flags & ~want &
                    (FT_STYLE_FLAG_BOLD | FT_STYLE_FLAG_ITALIC));
    if (better) {
      FT_Done_Face(f->face);
      f->face = face = other, got = has;
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
    FT_Done_MM_Var(f->lib, mm);
  }
  s->bold = !o->bold ? NOSTYLE : got & FT_STYLE_FLAG_BOLD ? OWNFACE : SYNTHETIC;
  s->italic = !o->italic                   ? NOSTYLE
              : got & FT_STYLE_FLAG_ITALIC ? OWNFACE
                                           : SYNTHETIC;
}

// Where an outline font puts its lines (post's underline, OS/2's
// strikeout), or a bitmap font its underline (UNDERLINE_POSITION and
// UNDERLINE_THICKNESS), in pixels; a pixel thick at the least.
void linesof(source *s, FT_Face face) {
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
  static FT_Library lib;
  FT_Error e = 0;
  if (!lib && !(e = FT_New_Library(&memory, &lib))) {
    FT_Add_Default_Modules(lib);
    FT_Set_Default_Properties(lib);
  }
  f->lib = lib;
  if (n > 2 && data[0] == 0x1F && data[1] == 0x8B) {
    int r = gunzip(data, n, &f->unzipped, &n);
    if (r == 2)
      return snprintf(why, whysize, "inflates to more than %d MiB",
                      GZMAX >> 20),
             1;
    if (r < 0) return snprintf(why, whysize, "out of memory"), 1;
    if (!r) data = f->unzipped;
  }
  if (!e && fontbounds(data, n, why, whysize)) return 3;
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
    ownstyle(s, f, o);
    face = f->face;
    fontname(face, s->name);
  }
  int r = ftsize(face, s, o->size, o->fit, why, whysize);
  if (!s->outline) s->bold = s->italic = NOSTYLE; // a strike: the bitmap rule
  if (!r && !s->unsized) linesof(s, face);
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
  FT_Int32 flags = metrics && !s->outline ? FT_LOAD_BITMAP_METRICS_ONLY
                                          : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(f->face, handle, flags)) return -1;
  FT_GlyphSlot slot = f->face->glyph;
  g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  g->beyond = 0;
  if (metrics) return 0;
  // The right edge the glyph has unstyled, as FreeType presets it: a style
  // never widens the cell.
  int unstyled = slot->bitmap_left + static_cast<int>(slot->bitmap.width);
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    style(s, slot);
    if (fit && slot->advance.x > fit * 64) {
      FT_Matrix narrow = {
          static_cast<FT_Fixed>((static_cast<long long>(fit) << 22) /
                                slot->advance.x),
          0, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &narrow);
    }
    // Rendered as FT_LOAD_RENDER would, unless it is huge.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    if ((box.xMax - box.xMin) / 64 > BIGGLYPH ||
        (box.yMax - box.yMin) / 64 > BIGGLYPH)
      return drawpart(s, f, slot, g);
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
  return 0;
}
