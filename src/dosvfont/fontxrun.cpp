// A FONTX2 input: its code set read or guessed, the glyphs --range and
// --text choose, described (--info), written as BDF or PNG as it stands,
// re-coded when FONTX2 is written again, or kept for --show.
#include <algorithm>
#include <cstring>
#include <vector>

#include "dosvfont/checks.h"
#include "dosvfont/fontxin.h"
#include "dosvfont/info.h"
#include "dosvfont/make.h"
#include "dosvfont/patching.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "fontx/fontxset.h"
#include "recode/styled.h"
#include "writers/bdfset.h"

namespace {

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

// A FONTX2 font kept for --show or --info --target: as it stands, or with
// the styles and the subset asked for, drawn into cells of its own size
// and codes of its own set.
int keepfontx(const options *o, glyphset *gs,
              const std::vector<unsigned char> &chosen) {
  if (!restyled(o) && chosen.empty()) {
    keepset(o->keep, gs, o->label);
    return 0;
  }
  source s;
  fromset(&s, gs);
  if (!chosen.empty()) {
    auto out = std::remove_if(s.chars.begin(), s.chars.end(),
                              [&](const auto &c) { return !chosen[c.second]; });
    s.chars.erase(out, s.chars.end());
  }
  options k = *o;
  k.kind = gs->kind;
  k.width = gs->width;
  k.codes = gs->kind ? setname(&gs->codes) : nullptr;
  k.charset = gs->kind ? nullptr : setname(&gs->codes);
  k.reader = nullptr; // the font as the reader will have it
  k.given &= ~(GAVERANGE | GAVETEXT);
  return recodeto(&k, &s, true, nullptr);
}

} // namespace

int fromfontx2(const options *o, const unsigned char *data, size_t n,
               int *truncated) {
  glyphset gs;
  fontxfacts facts;
  if (fontxload(data, n, &gs, &facts)) {
    say("%s: out of memory", o->label);
    return 1;
  }
  *truncated = facts.truncated;
  // Salvage keeps what the file holds: a header may announce millions of
  // glyphs that are not there, and blanks for them would fill a disk.
  size_t held = gs.whole + (gs.partial ? 1 : 0);
  if (facts.truncated && o->salvage && !o->info && gs.kind &&
      held < gs.glyphs) {
    size_t gone = gs.glyphs - held;
    gskeep(&gs, held);
    say("warning: %s: %zu glyph%s announced past the end of the file left "
        "out",
        o->label, gone, plural(gone));
  }
  // The options' code sets are the input's when it becomes BDF or PNG,
  // the output's when it becomes FONTX2 again.
  bool outputsets = fontxout(o->format) && !o->info;
  readas as;
  int status = readfontx(o, &gs, &as);
  if (status) {
    gsfree(&gs);
    return status;
  }
  // The edits, on the font as it stands where it is written or drawn so
  // (BDF, PNG, C, --info, --show); on the set written where it is
  // re-coded, once it is.
  const options *given = o;
  options patched = *o;
  patchfacts pf = patchfacts();
  if (o->patch && !outputsets && facts.header == 17 && gs.width && gs.height &&
      (!facts.truncated || o->salvage)) {
    if ((status = patchwritten(o, &gs, nullptr, &pf))) {
      gsfree(&gs);
      return status;
    }
    patched.patch = nullptr;
    o = &patched;
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
  } else if (o->info && facts.header < 17) {
    // A header cut short holds no font: what it holds, and a failure.
    describe(&gs, &facts, as.why, as.runnerup);
    say("%s: truncated: the header ends after %zu of its 17 bytes: no font "
        "to describe",
        o->label, facts.header);
    status = 1;
  } else if (o->info) {
    describe(&gs, &facts, as.why, as.runnerup);
    describepatch(given, &pf);
    // The same word on the guess as a conversion says.
    if (*as.weak) say("warning: %s: %s", o->label, as.weak);
    recodefacts none = recodefacts();
    describestyles(o, nullptr, &none, &gs);
    if (as.defaulted && facts.header == 17)
      fact("note: no charset in the file name: a single-byte font is read as "
           "CP932 unless -e says otherwise");
    if (o->given & GAVETEXT)
      fact("text: %zu character%s, %zu not in the font", o->ntext,
           plural(o->ntext), lacking.size());
    // The bytes written as FONTX2: the font's, or its subset's.
    keeper k = keeper();
    options ko = *o;
    ko.info = 0, ko.keep = &k;
    // (keepfontx takes gs itself only when nothing changes it.)
    if (!(chosen.empty() && !restyled(o)) && !keepfontx(&ko, &gs, chosen))
      fact("bytes: %zu (written as FONTX2)", fontxbytes(&k.sets[0]));
    else if (chosen.empty())
      fact("bytes: %zu (written as FONTX2)", fontxbytes(&gs));
    keepfree(&k);
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
    if (o->keep) {
      status = keepfontx(o, &gs, chosen);
    } else if (outputsets) {
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
