// The patch font is read as any font FreeType reads, but only a BDF font
// is taken: it is what the page's editor writes and what a user edits by
// hand, and its glyphs sit on the baseline as the font's own do.
#include "dosvfont/patching.h"

#include <cstdio>
#include <cstring>

#include "display/targets.h"
#include "dosvfont/info.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "sources/source.h"

int patchwritten(const options *o, glyphset *gs, const recodeopts *sel,
                 patchfacts *pf) {
  *pf = patchfacts();
  if (!o->patch) return 0;
  const char *label = o->patchlabel;
  source p;
  char why[160];
  sourceopts so = sourceopts();
  int r = ftopen(&p, o->patch, o->patchbytes, &so, why, sizeof why);
  fontfacts ff = fontfacts();
  if (!r) ftfacts(&p, &ff);
  if (r == 3 || (!r && (!ff.format || strcmp(ff.format, "BDF")))) {
    say("%s: not a BDF font: --patch takes the glyphs of a BDF font", label);
    ftclose(&p);
    return 1;
  }
  if (r) {
    say("cannot read %s: %s", label, why);
    ftclose(&p);
    return 1;
  }
  // The other kind's set, as the pair is made: a character only it holds
  // is the other font's edit.
  codeset other;
  const target *t = o->reader;
  bool hasother = gs->kind ? !sbcsnamed(&other, o->charset ? o->charset
                                                : t        ? t->sbcs
                                                           : nullptr)
                           : !dbcsnamed(&other, o->codes       ? o->codes
                                                : t && t->dbcs ? t->dbcs
                                                               : "sjis");
  patchopts po = patchopts();
  po.patch = &p;
  po.other = hasother ? &other : nullptr;
  po.sel = sel;
  r = patchset(gs, &po, pf);
  ftclose(&p);
  if (r < 0) {
    say("out of memory");
    return 1;
  }
  if (r) {
    char name[64];
    if (pf->uni >= 0) {
      auto u = static_cast<uint32_t>(pf->uni);
      charlist(name, sizeof name, &u, 1, 1);
    } else {
      snprintf(name, sizeof name, "code 0x%X", pf->code);
    }
    if (pf->fault == PATCHOUTSIDE)
      say("%s: the glyph of %s reaches outside the %dx%d cell", label, name,
          gs->width, gs->height);
    else
      say("%s: the glyph of %s has no code in %s%s%s", label, name,
          setname(&gs->codes), hasother ? " nor in " : "",
          hasother ? setname(&other) : "");
    return 1;
  }
  // Glyphs for the other font of a pair are no loss, but a run that
  // writes this font alone says they are not in it.
  if (pf->elsewhere && !o->inpair && !o->info)
    say("note: %s: %zu glyph%s for the %s font, not in this one", label,
        pf->elsewhere, plural(pf->elsewhere),
        gs->kind ? "single-byte" : "double-byte");
  return 0;
}

void describepatch(const options *o, const patchfacts *pf) {
  if (!o->patch) return;
  size_t n = pf->replaced + pf->added;
  fact("patch: %zu glyph%s (%zu replaced, %zu added)", n, plural(n),
       pf->replaced, pf->added);
}
