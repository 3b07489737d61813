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

#include "dosvfont/checks.h"
#include "dosvfont/fontxin.h"
#include "dosvfont/info.h"
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
#include "writers/sheet.h"

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

// Writes a glyph set in the format asked for, only the glyphs chosen marks
// when it is given. 0, or 1 or 2 after saying why.
int writeset(const options *o, const glyphset *gs,
             const unsigned char *chosen) {
  char why[160];
  if (o->format == FMTFONTX2) {
    fontxwrite(gs);
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

// The glyphs of s under the kind and code set the options ask for, written.
// bysource: --range chose the source's codes already.
// A FONTX2 font written as it stands, restyled first where a style is
// asked for.
int writestyled(const options *o, const glyphset *gs,
                const unsigned char *chosen) {
  if (!(o->bold || o->italic || o->underline || o->strikeout || o->pictures))
    return writeset(o, gs, chosen);
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

// weak: a warning that the source's set was guessed on little evidence,
// said where the set is used (re-coded, not copied).
int recodeto(const options *o, source *s, bool bysource, const char *weak) {
  recodeopts ro = recodeoptsof(o, bysource);
  ro.lostchars = s->gs || s->cs.type != SETUNICODE ? LOSTALL : LOSTWIDE;
  glyphset out;
  recodefacts f;
  char why[160];
  int r = recode(s, &ro, &out, &f, why, sizeof why);
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
    if (f.cut) warncut(o, s, &out, &f);
    if (f.runs > 255)
      say("warning: %s: %zu runs of codes joined into 255 blocks with %zu "
          "blank glyph%s",
          o->label, f.runs, f.blanks, plural(f.blanks));
    warnlacking(o, f.lacking, f.lacked, f.other, f.otheru, out.kind);
    warnlost(o, s, &out, &f);
    warnpictures(o, &f);
    status = writeset(o, &out, nullptr);
  }
  gsfree(&out);
  return status;
}

// Which glyphs of a FONTX2 font --range and --text chosen, in file order
// (empty when all are), and the characters of the text it lacks.
std::vector<unsigned char> chosenof(const options *o, const glyphset *gs,
                                    std::vector<uint32_t> *lacking,
                                    std::vector<uint32_t> *other) {
  std::vector<unsigned char> chosen;
  if (!(o->given & (GAVERANGE | GAVETEXT))) return chosen;
  mapper m;
  bool mapped = !mapopen(&m, &gs->codes);
  std::vector<uint32_t> have;
  eachcode(gs, [&](uint32_t c) {
    int32_t u = mapped ? touni(&m, c) : -1;
    if (u >= 0) have.push_back(static_cast<uint32_t>(u));
    chosen.push_back(
        (!(o->given & GAVERANGE) || (c >= o->first && c <= o->last)) &&
        (!(o->given & GAVETEXT) ||
         (u >= 0 && std::binary_search(o->text, o->text + o->ntext,
                                       static_cast<uint32_t>(u)))));
    return true;
  });
  if (mapped) mapclose(&m);
  std::sort(have.begin(), have.end());
  // The other kind of font: CP932's single bytes beside a double-byte
  // font, Shift_JIS beside a single-byte one, as DOS/V pairs go.
  codeset pair;
  mapper p;
  bool paired =
      !(gs->kind ? sbcsnamed(&pair, nullptr) : dbcsnamed(&pair, "sjis")) &&
      !mapopen(&p, &pair);
  for (size_t i = 0; i < o->ntext; i++)
    if (!std::binary_search(have.begin(), have.end(), o->text[i]))
      (paired && fromuni(&p, o->text[i]) >= 0 ? other : lacking)
          ->push_back(o->text[i]);
  if (paired) mapclose(&p);
  return chosen;
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
  bool outputsets = o->format == FMTFONTX2 && !o->info;
  readas as;
  int status = readfontx(o, &gs, &as);
  if (status) {
    gsfree(&gs);
    return status;
  }
  job st = {1,
            outputsets ? ANYKIND : gs.kind,
            outputsets,
            0,
            o->format == FMTBDF && isjistext(&gs, o->numbering),
            (outputsets
                 ? (o->kind == ANYKIND ? gs.kind : o->kind) == SINGLEBYTE &&
                       !o->charset
                 : !gs.kind) &&
                isdefaultsb(&gs.codes)};
  std::vector<uint32_t> lacking, other;
  std::vector<unsigned char> chosen = outputsets
                                          ? std::vector<unsigned char>()
                                          : chosenof(o, &gs, &lacking, &other);

  if ((status = checkoptions(o, &st))) {
  } else if (o->info) {
    describe(&gs, &facts, as.why, as.runnerup);
    recodefacts none = recodefacts();
    describestyles(o, nullptr, &none, &gs);
    if (as.defaulted && facts.header == 17)
      fact("note: no charset in the file name: a single-byte font is read as "
           "CP932 unless -e says otherwise");
    if (o->given & GAVETEXT)
      fact("text: %zu character%s, %zu not in the font", o->ntext,
           plural(o->ntext), lacking.size());
  } else if (facts.header < 17) {
    say("%s: truncated: the header ends after %zu of its 17 bytes", o->label,
        facts.header);
    status = 1;
  } else if (facts.truncated && !o->salvage) {
    // Its header can announce gigabytes that are not there: nothing is
    // written unless asked for.
    say("%s: truncated: %zu of %zu glyph%s complete", o->label, gs.whole,
        gs.glyphs, plural(gs.glyphs));
    status = 1;
  } else if (!gs.width || !gs.height) {
    say("%s: cell %dx%d is outside 1-255", o->label, gs.width, gs.height);
    status = 1;
  } else if (!gs.glyphs) {
    say("%s: no glyph to convert", o->label);
    status = 1;
  } else if (!chosen.empty() &&
             std::find(chosen.begin(), chosen.end(), 1) == chosen.end()) {
    saynone(o, lacking.size(), other.size(), gs.kind);
    status = 1;
  } else {
    if (*as.weak && !outputsets) say("warning: %s: %s", o->label, as.weak);
    if (facts.repaired)
      say("warning: %s: block count %d read as %d (more than 255 blocks)",
          o->label, facts.stored, gs.nblocks);
    if (facts.trailing)
      say("warning: %s: %zu byte%s after the last glyph ignored", o->label,
          facts.trailing, plural(facts.trailing));
    if (outputsets) {
      source s;
      fromset(&s, &gs);
      // --range takes the input's own codes.
      auto out =
          std::remove_if(s.chars.begin(), s.chars.end(), [&](const auto &c) {
            return (o->given & GAVERANGE) &&
                   (c.first < o->first || c.first > o->last);
          });
      s.chars.erase(out, s.chars.end());
      if (s.chars.empty()) {
        saynone(o, 0, 0, gs.kind);
        status = 1;
      } else {
        status = recodeto(o, &s, true, as.weak);
      }
    } else {
      warnlacking(o, lacking.size(), lacking.data(), other.size(), other.data(),
                  gs.kind);
      status = writestyled(o, &gs, chosen.empty() ? nullptr : chosen.data());
    }
  }
  gsfree(&gs);
  return status;
}

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
