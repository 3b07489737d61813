// --info: the facts of a FONTX2 font, or of a font FreeType reads and the
// FONTX2 font it would become.
#include "dosvfont/info.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dosvfont/patching.h"
#include "dosvfont/records.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "fontx/fontxset.h"
#include "io/stream.h"
#include "recode/recode.h"
#include "recode/style.h"

void fact(const char *fmt, ...) {
  char text[512], line[1024];
  va_list ap;
  va_start(ap, fmt);
  int n = vsnprintf(text, sizeof text, fmt, ap);
  va_end(ap);
  if (n < 0) return;
  size_t k = printable(line, sizeof line - 1, text);
  line[k++] = '\n';
  swrite(&output, line, k);
}

void describe(const glyphset *gs, const fontxfacts *f, const char *why,
              const char *runnerup) {
  char name[40] = "";
  size_t k = 0;
  int last = 7;
  while (last >= 0 && gs->name[last] == ' ') last--;
  for (int i = 0; i <= last; i++) {
    unsigned char c = gs->name[i];
    k += static_cast<size_t>(snprintf(name + k, sizeof name - k,
                                      c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X",
                                      c));
  }
  fact("format: FONTX2");
  if (f->header < 17) {
    // The cell and kind would be the missing bytes' 0xFF, no font's.
    fact("truncated: the header ends after %zu of its 17 bytes", f->header);
    return;
  }
  fact("name: %s", name);
  fact("cell: %dx%d", gs->width, gs->height);
  fact("kind: %s", gs->kind ? "double-byte" : "single-byte");
  fact("%s: %s (%s)", gs->kind ? "codes" : "charset", setname(&gs->codes), why);
  if (*runnerup) fact("runner-up: %s", runnerup);
  if (gs->kind) fact("blocks: %d", gs->nblocks);
  fact("glyphs: %zu", gs->glyphs);
  if (f->repaired)
    fact("block count: %d stored, read as %d (more than 255 blocks)", f->stored,
         gs->nblocks);
  if (f->trailing) fact("trailing bytes: %zu", f->trailing);
  if (f->truncated)
    fact("truncated: %zu of %zu glyph%s complete", gs->whole, gs->glyphs,
         plural(gs->glyphs));
}

namespace {

// --control-pictures: where the font written would take its pictures.
void describepictures(const source *s, const glyphset *out,
                      const recodefacts *f) {
  if (!out || out->kind || !isdefaultsb(&out->codes)) {
    fact("control pictures: none (the font written is not in CP932's single "
         "bytes)");
    return;
  }
  if (!s) { // a FONTX2 font keeps those it has
    size_t bytes = 0, own = 0;
    std::vector<unsigned char> scratch(out->glyphbytes);
    for (unsigned b = 0; b < 256 && b < out->glyphs; b++) {
      if (pictureat(b).kind == NOPICTURE) continue;
      const unsigned char *g = glyphbits(out, b, scratch.data());
      bytes++;
      own += std::any_of(g, g + out->glyphbytes,
                         [](unsigned char x) { return x != 0; });
    }
    fact("control pictures: the font's own at %zu of the %zu bytes, the "
         "others drawn",
         own, bytes);
    return;
  }
  char list[300];
  picturelist(f, list, sizeof list);
  if (f->nopics)
    fact("control pictures: %zu not in the font, left blank: %s", f->nopics,
         list);
  else
    fact("control pictures: every one drawn by rule or from the font");
}

} // namespace

void describestyles(const options *o, const source *s, const recodefacts *f,
                    const glyphset *out) {
  bool outline = s && s->outline;
  const char *own = s && *s->stylename ? s->stylename : "";
  if (o->bold)
    fact("bold: %s%s", s && s->bold == OWNFACE ? "the font's own, " : "",
         s && s->bold == OWNFACE ? own
         : outline ? "made: the outline widened a pixel to the right (by "
                     "size / 24 pixels from 25 pixels up)"
                   : "made: each row ORed with itself shifted a pixel right");
  if (o->italic)
    fact("italic: %s%s", s && s->italic == OWNFACE ? "the font's own, " : "",
         s && s->italic == OWNFACE ? own
         : outline ? "made: the outline sheared 12 degrees about the baseline"
                   : "made: rows shifted a pixel right for every five above "
                     "the baseline");
  if (o->underline)
    fact("underline: %s", f->linesbyfont & UNDERBYFONT
                              ? "where the font puts it"
                              : "the bitmap rule (the font gives no underline "
                                "metrics)");
  if (o->strikeout)
    fact("strikeout: %s", f->linesbyfont & STRIKEBYFONT
                              ? "where the font puts it"
                              : "the bitmap rule (the font gives no strikeout "
                                "metrics)");
  if (o->pictures) describepictures(s, out, f);
}

// --info of a font FreeType reads: what it is, and with -s (or a single
// strike) the cell the conversion would use, which takes drawing every
// glyph it would write. Returns the exit status.
int describeft(const options *o, source *s) {
  fontfacts f;
  ftfacts(s, &f);
  char name[9];
  memcpy(name, s->name, 8);
  name[8] = '\0';
  fact("format: %s", f.format);
  if (f.faces > 1) {
    fact("faces: %ld, this one face %d (--face chooses)", f.faces, f.face);
    char face[160];
    for (long i = 0; i < f.faces && i < 64; i++)
      if (!ftfacename(s, i, face, sizeof face)) fact("face %ld: %s", i, face);
  }
  fact("family: %s", f.family);
  fact("style: %s", f.style);
  fact("glyphs: %s", f.scalable ? "outlines" : "bitmaps");
  if (f.nstrikes) {
    char list[160] = "";
    for (int i = 0, k = 0; i < f.nstrikes && k < 150; i++)
      k += snprintf(list + k, sizeof list - k, " %d", f.strikes[i]);
    fact("strikes:%s", list);
  }
  if (f.scalable) {
    fact("units per em: %ld", f.upem);
    fact("Windows ascender and descender: %ld %ld%s", f.winascent, f.windescent,
         f.hasos2 ? "" : " (hhea's: no OS/2 table)");
    if (f.hasos2)
      fact("typographic ascender and descender: %ld %ld", f.typoascent,
           f.typodescent);
  }
  fact("name: %s", name);
  fact("charset: %s", setname(&s->cs));
  fact("characters mapped: %zu", s->chars.size());
  if (s->unsized) return 0;
  if (s->outline)
    fact("fit: %s%s", s->fit == FITLINE ? "line" : "em",
         o->fit != FITAUTO   ? " (given with --fit)"
         : s->fit == FITLINE ? " (default: the font maps kana or CJK "
                               "ideographs)"
                             : " (default: the font maps no kana or CJK "
                               "ideographs)");
  recodeopts ro = recodeoptsof(o, false);
  glyphset out;
  recodefacts rf;
  char why[160];
  int r = recode(s, &ro, &out, &rf, why, sizeof why);
  patchfacts pf = patchfacts(), hpf = patchfacts();
  if (!r && patchwritten(o, &out, &ro, &pf)) {
    gsfree(&out);
    return 1;
  }
  if (!r) {
    describestyles(o, s, &rf, &out);
    fact("written: %s FONTX2 in %s, %zu glyph%s",
         out.kind ? "double-byte" : "single-byte", setname(&out.codes),
         out.glyphs, plural(out.glyphs));
    fact("cell: %dx%d, the baseline %d rows below the top", out.width,
         out.height, out.ascent);
    fact("bytes: %zu (written as FONTX2)", fontxbytes(&out));
    if (rf.cut) {
      char names[200];
      glyphnames(names, sizeof names, &out, rf.code, rf.uni, rf.named, rf.cut);
      fact("glyphs that lose pixels to the cell: %zu: %s", rf.cut, names);
    }
    if (o->given & GAVETEXT)
      fact("text: %zu character%s, %zu not in the font", o->ntext,
           plural(o->ntext), rf.lacking);
    // A double-byte font made by default has the half-width font of its
    // pair too where the font has characters for it.
    if (out.kind == DOUBLEBYTE && o->kind == ANYKIND && !s->gs) {
      recodeopts half = ro;
      half.kind = SINGLEBYTE, half.progress = nullptr;
      glyphset h;
      recodefacts hf;
      char hwhy[160];
      if (!recode(s, &half, &h, &hf, hwhy, sizeof hwhy)) {
        if (patchwritten(o, &h, &half, &hpf)) {
          gsfree(&h), gsfree(&out);
          return 1;
        }
        fact("pair: single-byte FONTX2 in %s, %zu glyph%s, %dx%d, %zu bytes "
             "(-k single)",
             setname(&h.codes), h.glyphs, plural(h.glyphs), h.width, h.height,
             fontxbytes(&h));
      }
      gsfree(&h);
    }
    pf.replaced += hpf.replaced, pf.added += hpf.added;
    describepatch(o, &pf);
  }
  gsfree(&out);
  if (r) {
    say("%s: %s", o->label, r < 0 ? "out of memory" : why);
    return 1;
  }
  return 0;
}
