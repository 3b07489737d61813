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
#include "dosvfont/info.h"
#include "dosvfont/records.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "fontx/fontxset.h"
#include "fontx/glyphs.h"
#include "io/stream.h"
#include "recode/recode.h"
#include "sources/source.h"
#include "writers/bdfset.h"
#include "writers/sheet.h"

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
int recodeto(const options *o, source *s, bool bysource) {
  recodeopts ro = recodeoptsof(o, bysource);
  ro.lostchars = s->cs.type != SETUNICODE;
  glyphset out;
  recodefacts f;
  char why[160];
  int r = recode(s, &ro, &out, &f, why, sizeof why);
  if (r) {
    if (r < 0)
      say("out of memory");
    else if (f.none)
      saynone(o, f.lacking);
    else
      say("%s: %s", o->label, why);
    gsfree(&out);
    return 1;
  }
  job st = {s->gs != nullptr, out.kind, 1, s->outline,
            o->format == FMTBDF && isjistext(&out, o->numbering)};
  int status = checkoptions(o, &st);
  if (!status) {
    if (f.cut) warncut(o, s, &out, &f);
    if (f.runs > 255)
      say("warning: %s: %zu runs of codes joined into 255 blocks with %zu "
          "blank glyphs",
          o->label, f.runs, f.blanks);
    warnlacking(o, f.lacking, f.lacked);
    warnlost(o, &out, &f);
    status = writeset(o, &out, nullptr);
  }
  gsfree(&out);
  return status;
}

// Which glyphs of a FONTX2 font --range and --text chosen, in file order
// (empty when all are), and the characters of the text it lacks.
std::vector<unsigned char> chosenof(const options *o, const glyphset *gs,
                                    std::vector<uint32_t> *lacking) {
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
  for (size_t i = 0; i < o->ntext; i++)
    if (!std::binary_search(have.begin(), have.end(), o->text[i]))
      lacking->push_back(o->text[i]);
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
  int status = 0;
  char why[160];
  bool named = false;
  if (!gs.kind) {
    char found[32];
    if (o->charset && !outputsets) {
      sbcsnamed(&gs.codes, o->charset);
      snprintf(why, sizeof why, "given with -e");
    } else if (!charsetinname(o->path, &gs.codes, found, sizeof found)) {
      snprintf(why, sizeof why, "guessed from the file name");
    } else {
      sbcsnamed(&gs.codes, nullptr);
      snprintf(why, sizeof why, "default: ASCII and JIS X 0201 katakana");
      named = true;
    }
  } else if (o->codes && !outputsets) {
    dbcsnamed(&gs.codes, o->codes);
    snprintf(why, sizeof why, "given with -c");
  } else {
    gs.codes.type = guesscodes(&gs, why, sizeof why);
    gs.codes.name[0] = '\0';
  }
  job st = {1, outputsets ? ANYKIND : gs.kind, outputsets, 0,
            o->format == FMTBDF && isjistext(&gs, o->numbering)};
  std::vector<uint32_t> lacking;
  std::vector<unsigned char> chosen =
      outputsets ? std::vector<unsigned char>() : chosenof(o, &gs, &lacking);

  if ((status = checkoptions(o, &st))) {
  } else if (o->info) {
    describe(&gs, &facts, why);
    if (named)
      fact("note: no charset in the file name: a single-byte font is read as "
           "CP932 unless -e says otherwise");
    if (o->given & GAVETEXT)
      fact("text: %zu characters, %zu not in the font", o->ntext,
           lacking.size());
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
  } else if (!chosen.empty() &&
             std::find(chosen.begin(), chosen.end(), 1) == chosen.end()) {
    saynone(o, lacking.size());
    status = 1;
  } else {
    if (facts.repaired)
      say("warning: %s: block count %d read as %d (more than 255 blocks)",
          o->label, facts.stored, gs.nblocks);
    if (facts.trailing)
      say("warning: %s: %zu bytes after the last glyph ignored", o->label,
          facts.trailing);
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
        saynone(o, 0);
        status = 1;
      } else {
        status = recodeto(o, &s, true);
      }
    } else {
      warnlacking(o, lacking.size(), lacking.data());
      status = writeset(o, &gs, chosen.empty() ? nullptr : chosen.data());
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
    job st = {0, ANYKIND, 0, s.outline, 0};
    status = checkoptions(o, &st);
    if (!status) status = describeft(o, &s);
  } else {
    status = recodeto(o, &s, false);
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
