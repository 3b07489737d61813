// dosvfont's pipeline: the input's kind told from its first bytes, a
// FONTX2 font's code set guessed or given, the glyphs chosen, re-coded
// where the output asks for it, and written by the format's writer.
#include "dosvfont/pipeline.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

#include "display/rules.h"
#include "dosvfont/checks.h"
#include "dosvfont/fontxin.h"
#include "dosvfont/info.h"
#include "dosvfont/make.h"
#include "dosvfont/patching.h"
#include "dosvfont/records.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "fontx/fontxset.h"
#include "fontx/glyphs.h"
#include "io/stream.h"
#include "recode/recode.h"
#include "recode/styled.h"
#include "sources/source.h"
#include "writers/bdfset.h"
#include "writers/csource.h"
#include "writers/sheet.h"

int formatof(const options *o, const char *outpath, const unsigned char *data,
             size_t n) {
  if (o->format != FMTAUTO) return o->format;
  const char *dot = outpath ? strrchr(outpath, '.') : nullptr;
  if (dot && !strchr(dot, '/')) {
    if (!strcasecmp(dot, ".bdf")) return FMTBDF;
    if (!strcasecmp(dot, ".fnt")) return FMTFONTX2;
    if (!strcasecmp(dot, ".png")) return FMTPNG;
    if (!strcasecmp(dot, ".h") || !strcasecmp(dot, ".c")) return FMTC;
  }
  return n >= 6 && !memcmp(data, "FONTX2", 6) ? FMTBDF : FMTFONTX2;
}

void keepset(keeper *k, glyphset *gs, const char *label) {
  k->labels[k->n] = label;
  k->sets[k->n++] = *gs;
  gs->blocks = nullptr, gs->own = nullptr; // k owns them now
  gsfree(gs);
}

void keepfree(keeper *k) {
  for (int i = 0; i < k->n; i++) gsfree(&k->sets[i]);
  k->n = 0;
}

bool restyled(const options *o) {
  return o->bold || o->italic || o->underline || o->strikeout || o->pictures;
}

int writeset(const options *o, const glyphset *gs,
             const unsigned char *chosen) {
  char why[160];
  if (o->format == FMTFONTX2) {
    fontxwrite(gs, &output);
  } else if (o->format == FMTC) {
    char name[512];
    copts c = coptsof(o, name, sizeof name);
    // A name made of a file's is checked as a name given.
    if (const char *fault = cnamefault(name)) {
      say("the C name '%s' %s; give one with --c-name", name, fault);
      return 2;
    }
    cwrite(gs, &c, &output);
  } else if (o->format == FMTPNG) {
    // --range and --text chose the glyphs already: chosen, or a set re-coded
    // to hold only those.
    sheetopts so = sheetoptsof(o, chosen);
    if (sheetpng(gs, &so, why, sizeof why)) {
      say("%s: %s", o->label, why);
      return 1;
    }
  } else {
    bdfopts b = bdfoptsof(o, chosen);
    if (setbdf(gs, &b, why, sizeof why)) {
      say("%s", why);
      return 2;
    }
  }
  return 0;
}

int writestyled(const options *o, const glyphset *gs,
                const unsigned char *chosen) {
  if (!restyled(o)) return writeset(o, gs, chosen);
  recodeopts ro = recodeoptsof(o, true);
  glyphset styled;
  recodefacts f = recodefacts();
  if (restyle(gs, &ro, &styled, &f)) {
    say("out of memory");
    return 1;
  }
  if (f.cut) warncut(o, nullptr, &styled, &f);
  warnpictures(o, &f);
  int status = writeset(o, &styled, chosen);
  gsfree(&styled);
  return status;
}

namespace {

// A font written for a reader that breaks one of its rules all the same
// (a -w, -s or -k given against it) is refused: it would not work.
int fitsreader(const options *o, const glyphset *gs) {
  if (!o->reader || o->keep || !fontxout(o->format)) return 0;
  std::vector<factline> facts;
  const glyphset *one = gs;
  checkfonts(o->reader, &one, 1, &facts);
  int status = 0;
  for (const auto &f : facts)
    if (f.state == FACTBREAKS) {
      say("%s: not for %s: %s %s", o->label, o->reader->name, f.key, f.text);
      status = 1;
    }
  return status;
}

// The text's characters the font lacks, counted again once a patch added
// some: those its set cannot hold are the other kind's where that holds
// them, as for a FONTX2 font.
void relack(const glyphset *out, const recodeopts *ro, recodefacts *f) {
  mapper m, other;
  codeset pair;
  if (mapopen(&m, &out->codes)) return;
  bool paired =
      !(out->kind ? sbcsnamed(&pair, ro->charset) : dbcsnamed(&pair, "sjis")) &&
      !mapopen(&other, &pair);
  std::vector<bool> has(out->kind ? 0x10000 : 0x100);
  eachcode(out, [&](uint32_t c) {
    has[c] = true;
    return true;
  });
  f->lacking = f->other = 0;
  for (size_t i = 0; i < ro->ntext; i++) {
    uint32_t u = ro->text[i];
    int32_t c = fromuni(&m, u);
    if (c >= 0 && static_cast<size_t>(c) < has.size() && has[c]) continue;
    bool elsewhere = paired && fromuni(&other, u) >= 0;
    lacks(f, u, elsewhere);
  }
  if (paired) mapclose(&other);
  mapclose(&m);
}

} // namespace

int recodeto(const options *o, source *s, bool bysource, const char *weak) {
  if (o->pairs && o->kind == ANYKIND && !s->gs) {
    recodeopts probe = recodeoptsof(o, bysource);
    if (kindof(s, &probe) == DOUBLEBYTE) {
      // The pair, each font with the options of its kind.
      options d = *o, h = *o;
      d.pairs = h.pairs = 0;
      d.inpair = h.inpair = 1;
      d.kind = DOUBLEBYTE, h.kind = SINGLEBYTE;
      d.charset = nullptr, d.pictures = 0;
      d.given &= ~(GAVECHARSET | GAVEPICTURES);
      h.codes = nullptr, h.given &= ~GAVECODES;
      // A kind the font (or the text) leaves no glyph of is no font of
      // the pair; both left empty is said as for one.
      int before = o->keep->n;
      d.quietempty = h.quietempty = 1;
      int status = recodeto(&d, s, bysource, weak);
      if (!status) status = recodeto(&h, s, bysource, weak);
      // (recodeto keeps what it makes in o->keep.)
      // cppcheck-suppress knownConditionTrueFalse
      if (!status && o->keep->n == before) {
        d.quietempty = 0;
        status = recodeto(&d, s, bysource, weak);
      }
      return status;
    }
  }
  recodeopts ro = recodeoptsof(o, bysource);
  ro.lostchars = o->showonly                         ? LOSTNONE
                 : s->gs || s->cs.type != SETUNICODE ? LOSTALL
                                                     : LOSTWIDE;
  glyphset out;
  recodefacts f;
  char why[160];
  int r = recode(s, &ro, &out, &f, why, sizeof why);
  if (r > 0 && f.empty && o->quietempty) {
    gsfree(&out);
    return 0;
  }
  if (r) {
    if (r < 0)
      say("out of memory");
    else if (f.none)
      saynone(o, f.lacking, f.other, f.kind);
    else
      say("%s: %s", o->label, why);
    gsfree(&out);
    return 1;
  }
  // The edits, on the font as made, within the selection it was made with.
  patchfacts pf;
  if (int st = patchwritten(o, &out, &ro, &pf)) {
    gsfree(&out);
    return st;
  }
  if (pf.added && ro.bytext) relack(&out, &ro, &f);
  job st = {s->gs != nullptr,
            out.kind,
            1,
            s->outline,
            o->format == FMTBDF && isjistext(&out, o->numbering),
            !out.kind && isdefaultsb(&out.codes)};
  int status = checkoptions(o, &st);
  if (!status) {
    if (weak && *weak && !direct(s->cs, out.codes))
      say("warning: %s: %s", o->label, weak);
    warnfailed(o, &out, &f);
    warnnocode(o, s, &f);
    if (f.cut) warncut(o, s, &out, &f);
    if (f.runs > 255)
      say("warning: %s: %zu runs of codes joined into 255 blocks with %zu "
          "blank glyph%s",
          o->label, f.runs, f.blanks, plural(f.blanks));
    warnlacking(o, f.lacking, f.lacked, f.other, f.otheru, out.kind);
    // A font only drawn or checked loses nothing to a set.
    if (!o->keep) warnlost(o, s, &out, &f);
    warnpictures(o, &f);
    if (!(status = fitsreader(o, &out))) {
      if (o->keep)
        keepset(o->keep, &out, o->label);
      else
        status = writeset(o, &out, nullptr);
    }
  }
  gsfree(&out);
  return status;
}

namespace {

int fromfreetype(const options *o, const unsigned char *data, size_t n) {
  source s;
  char why[160];
  sourceopts so = sourceoptsof(o);
  int status = ftopen(&s, data, n, &so, why, sizeof why);
  if (!status && s.unsized && !o->info) status = 2;
  if (status == 3)
    say("%s: %s", o->label, why), status = 1;
  else if (status == 2)
    say("%s %s", o->label, why);
  else if (status)
    say("cannot read %s: %s", o->label, why);
  else if (o->info) {
    job st = {0, ANYKIND, 0, s.outline, 0, 0};
    status = checkoptions(o, &st);
    if (!status) status = describeft(o, &s);
  } else {
    status = recodeto(o, &s, false, nullptr);
  }
  ftclose(&s);
  return status;
}

} // namespace

int runfont(const options *o, const unsigned char *data, size_t n,
            bool *salvaged) {
  int truncated = 0;
  if (salvaged) *salvaged = false;
  if (!n) {
    say("%s: empty file", o->label);
    return 1;
  }
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
    if (salvaged) *salvaged = true;
    status = 1;
  }
  return status;
}
