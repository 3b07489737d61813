#include "pipeline.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "bdfset.h"
#include "glyphs.h"
#include "recode.h"
#include "sheet.h"
#include "source.h"
#include "stream.h"

void say(const char *fmt, ...) {
  char line[512] = "dosvfont: ";
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(line + 10, sizeof line - 10, fmt, ap);
  va_end(ap);
  serrline(line);
}

namespace {

// Text for --info, one fact a line.
__attribute__((format(printf, 1, 2))) void fact(const char *fmt, ...) {
  char line[512];
  va_list ap;
  va_start(ap, fmt);
  int n = vsnprintf(line, sizeof line - 1, fmt, ap);
  va_end(ap);
  if (n < 0) return;
  if (n > static_cast<int>(sizeof line) - 2) n = sizeof line - 2;
  line[n++] = '\n';
  swrite(&output, line, static_cast<size_t>(n));
}

bool shiftjislead(unsigned lead) {
  return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
}

// A double-byte FONTX2 file does not say what its codes are. Unicode when
// a code's lead byte cannot begin a Shift_JIS code (blocks FFFF-FFFF, a
// padding some generators write, aside), else Shift_JIS. Says why in why.
int guesscodes(const glyphset *gs, char *why, size_t size) {
  for (int i = 0; i < gs->nblocks; i++) {
    codeblock b = gs->blocks[i];
    if ((b.start == 0xFFFF && b.end == 0xFFFF) || b.end < b.start) continue;
    for (unsigned lead = b.start >> 8; lead <= b.end >> 8u; lead++)
      if (!shiftjislead(lead)) {
        snprintf(why, size,
                 "guessed: block %04X-%04X has lead byte %02X, which no "
                 "Shift_JIS code has",
                 b.start, b.end, lead);
        return SETUNICODE;
      }
  }
  snprintf(why, size, "guessed: every lead byte is a Shift_JIS lead byte");
  return SETSJIS;
}

const char *setname(const codeset *cs) {
  switch (cs->type) {
  case SETSJIS:
    return "sjis";
  case SETSJIS2004:
    return "sjis2004";
  case SETUNICODE:
    return "unicode";
  case SETJIS:
    return "JIS X 0208";
  default:
    return cs->name;
  }
}

void describe(const glyphset *gs, const fontxfacts *f, const char *why) {
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
  fact("name: %s", name);
  fact("cell: %dx%d", gs->width, gs->height);
  fact("kind: %s", gs->kind ? "double-byte" : "single-byte");
  fact("%s: %s (%s)", gs->kind ? "codes" : "charset", setname(&gs->codes), why);
  if (gs->kind) fact("blocks: %d", gs->nblocks);
  fact("glyphs: %zu", gs->glyphs);
  if (f->repaired)
    fact("block count: %d stored, read as %d (more than 255 blocks)", f->stored,
         gs->nblocks);
  if (f->trailing) fact("trailing bytes: %zu", f->trailing);
  if (f->truncated)
    fact("truncated: %zu of %zu glyphs complete", gs->whole, gs->glyphs);
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
  recodeopts ro = {o->kind, o->codes, o->charset, o->width, o->name};
  glyphset out;
  recodefacts rf;
  char why[160];
  int r = recode(s, &ro, &out, &rf, why, sizeof why);
  if (!r) {
    fact("written: %s FONTX2, %zu glyphs",
         out.kind ? "double-byte" : "single-byte", out.glyphs);
    fact("cell: %dx%d, the baseline %d rows below the top", out.width,
         out.height, out.ascent);
    if (rf.cut) fact("glyphs that lose pixels to the cell: %zu", rf.cut);
  }
  gsfree(&out);
  if (r) {
    say("%s: %s", o->label, r < 0 ? "out of memory" : why);
    return 1;
  }
  return 0;
}

} // namespace

int formatof(const options *o, const char *outpath, const unsigned char *data,
             size_t n) {
  if (o->format != FMTAUTO) return o->format;
  const char *dot = outpath ? strrchr(outpath, '.') : nullptr;
  if (dot && !strchr(dot, '/')) {
    if (!strcasecmp(dot, ".bdf")) return FMTBDF;
    if (!strcasecmp(dot, ".fnt")) return FMTFONTX2;
    if (!strcasecmp(dot, ".png")) return FMTPNG;
  }
  return n >= 6 && !memcmp(data, "FONTX2", 6) ? FMTBDF : FMTFONTX2;
}

namespace {

// Writes a glyph set in the format asked for. 0, or 2 after saying why.
int emit(const options *o, const glyphset *gs) {
  char why[160];
  if (o->format == FMTFONTX2) {
    fontxwrite(gs);
  } else if (o->format == FMTPNG) {
    sheetopts so = {o->scale, o->first, o->last};
    if (sheetpng(gs, &so, why, sizeof why)) {
      say("%s: %s", o->label, why);
      return 1;
    }
  } else if (setbdf(gs, o->numbering, why, sizeof why)) {
    say("%s", why);
    return 2;
  }
  return 0;
}

// Says which glyphs lost ink to the cell, where, and what would keep it.
void warncut(const options *o, const source *s, const glyphset *out,
             const recodefacts *f) {
  char names[200] = "";
  size_t k = 0;
  for (size_t i = 0; i < f->named && k < sizeof names; i++) {
    k += static_cast<size_t>(snprintf(names + k, sizeof names - k,
                                      out->kind ? "%s0x%04X" : "%s0x%02X",
                                      i ? ", " : "", f->code[i]));
    if (f->uni[i] >= 0 && k < sizeof names)
      k += static_cast<size_t>(
          snprintf(names + k, sizeof names - k, " (U+%04X)", f->uni[i]));
  }
  if (f->cut > f->named && k < sizeof names)
    snprintf(names + k, sizeof names - k, " and %zu more", f->cut - f->named);
  // Without -w the width already holds the widest ink: what is cut at
  // the sides then reaches left of the origin, and no option keeps it.
  char hint[80] = "";
  if ((f->where & CUTSIDES) && o->width)
    snprintf(hint, sizeof hint, "; -w %d keeps them", std::min(f->right, 255));
  else if (!(f->where & CUTSIDES) && s->outline && s->fit == FITEM)
    snprintf(hint, sizeof hint,
             "; --fit line fits the font's line height to the cell");
  say("warning: %s: %zu glyphs lost pixels outside the %dx%d cell %s: %s%s",
      o->label, f->cut, out->width, out->height,
      f->where == CUTSIDES  ? "at the sides"
      : f->where == CUTENDS ? "at the top and bottom"
                            : "at the sides and at the top and bottom",
      names, hint);
}

// The glyphs of s under the kind and code set the options ask for, written.
int recodeto(const options *o, source *s) {
  recodeopts ro = {o->kind, o->codes, o->charset, o->width, o->name};
  glyphset out;
  recodefacts f;
  char why[160];
  int r = recode(s, &ro, &out, &f, why, sizeof why);
  if (r) {
    if (r < 0) snprintf(why, sizeof why, "out of memory");
    say("%s: %s", o->label, why);
    gsfree(&out);
    return 1;
  }
  if (f.cut) warncut(o, s, &out, &f);
  if (f.runs > 255)
    say("warning: %s: %zu runs of codes joined into 255 blocks with %zu blank "
        "glyphs",
        o->label, f.runs, f.blanks);
  int status = emit(o, &out);
  gsfree(&out);
  return status;
}

int fromfontx2(const options *o, const unsigned char *data, size_t n,
               int *truncated) {
  glyphset gs;
  fontxfacts facts;
  if (fontxload(data, n, &gs, &facts)) {
    say("%s: out of memory", o->label);
    return 1;
  }
  *truncated = facts.truncated;
  // The options' code sets are the input's when it becomes BDF or PNG,
  // the output's when it becomes FONTX2 again.
  bool recoding = o->format == FMTFONTX2;
  int status = 0;
  char why[160];
  if (!gs.kind) {
    sbcsnamed(&gs.codes, recoding ? nullptr : o->charset);
    snprintf(why, sizeof why, "%s",
             o->charset && !recoding
                 ? "given with -e"
                 : "default: ASCII and JIS X 0201 katakana");
  } else if (o->codes && !recoding) {
    dbcsnamed(&gs.codes, o->codes);
    snprintf(why, sizeof why, "given with -c");
  } else {
    gs.codes.type = guesscodes(&gs, why, sizeof why);
    gs.codes.name[0] = '\0';
  }

  if (o->info) {
    describe(&gs, &facts, why);
  } else if (facts.truncated && !o->salvage) {
    // Its header can announce gigabytes that are not there: nothing is
    // written unless asked for.
    say("%s: truncated: %zu of %zu glyphs complete", o->label, gs.whole,
        gs.glyphs);
    status = 1;
  } else if (!gs.width || !gs.height) {
    say("%s: cell %dx%d is outside 1-255", o->label, gs.width, gs.height);
    status = 1;
  } else if (!gs.glyphs) {
    say("%s: no glyph to convert", o->label);
    status = 1;
  } else {
    if (facts.repaired)
      say("warning: %s: block count %d read as %d (more than 255 blocks)",
          o->label, facts.stored, gs.nblocks);
    if (facts.trailing)
      say("warning: %s: %zu bytes after the last glyph ignored", o->label,
          facts.trailing);
    if (recoding) {
      source s;
      fromset(&s, &gs);
      status = recodeto(o, &s);
    } else {
      status = emit(o, &gs);
    }
  }
  gsfree(&gs);
  return status;
}

int fromfreetype(const options *o, const unsigned char *data, size_t n) {
  source s;
  char why[160];
  int status = ftopen(&s, data, n, o->size, o->fit, why, sizeof why);
  if (!status && s.unsized && !o->info) status = 2;
  if (status == 2)
    say("%s %s", o->label, why);
  else if (status)
    say("cannot read %s: %s", o->label, why);
  else if (o->info)
    status = describeft(o, &s);
  else
    status = recodeto(o, &s);
  ftclose(&s);
  return status;
}

} // namespace

int runfont(const options *o, const unsigned char *data, size_t n, bool *keep) {
  int truncated = 0;
  if (keep) *keep = false;
  int status = n >= 6 && !memcmp(data, "FONTX2", 6)
                   ? fromfontx2(o, data, n, &truncated)
                   : fromfreetype(o, data, n);
  if (sflush(&output)) {
    say("cannot write %s: %s", o->outlabel, strerror(output.err));
    return 1;
  }
  if (!status && !o->info && truncated) {
    // Only --salvage gets this far with a truncated font.
    say("%s: unexpected end of input", o->label);
    if (keep) *keep = true;
    status = 1;
  }
  return status;
}
