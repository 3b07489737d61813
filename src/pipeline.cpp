#include "pipeline.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "bdfset.h"
#include "glyphs.h"
#include "info.h"
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
