// A FONTX2 input's code set: the option that names it, the file's name
// that does, or the guess from its codes, worded for --info and warnings.
#include "dosvfont/fontxin.h"

#include <cstdio>
#include <cstring>

#include "codes/codes.h"
#include "dosvfont/say.h"
#include "fontx/guess.h"

namespace {

// The guess and its evidence, in words.
void guessed(const options *o, glyphset *gs, readas *r) {
  guess g;
  // A conversion needs only the best; --info tells the runner-up too.
  guesscodes(gs, o->path, &g, o->info ? GUESSALL : GUESSBEST);
  gs->codes = g.set[0];
  char n[32], d[32], d1[32], dr[32];
  thousands(n, sizeof n, g.codes);
  thousands(d, sizeof d, g.decoded[0]);
  thousands(d1, sizeof d1, g.decoded[1]);
  thousands(dr, sizeof dr, g.decoded[g.rival]);
  size_t k = static_cast<size_t>(
      snprintf(r->why, sizeof r->why, "guessed: %s of %s codes decode in %s", d,
               n, setname(&g.set[0])));
  if (g.plain[0] < g.decoded[0] && k < sizeof r->why) {
    char p[32];
    thousands(p, sizeof p, g.decoded[0] - g.plain[0]);
    k += static_cast<size_t>(snprintf(r->why + k, sizeof r->why - k,
                                      ", %s of them to private use", p));
  }
  if (g.named[0] && k < sizeof r->why)
    snprintf(r->why + k, sizeof r->why - k, ", and the %s names %s",
             g.named[0] & NAMEDHEADER ? "header" : "file's name", g.name);
  if (!g.partial)
    snprintf(r->runnerup, sizeof r->runnerup, "%s, %s of %s codes decode",
             setname(&g.set[1]), d1, n);
  // Shift_JIS is FONTX2's own set: on little evidence it is read so
  // silently; only evidence that points elsewhere is worth a word.
  const char *best = setname(&g.set[0]);
  bool fontx2own = !strcmp(best, "sjis") || !strcmp(best, "sjis2004");
  if (g.weak && !fontx2own)
    snprintf(r->weak, sizeof r->weak,
             "codes read as %s on little evidence (%s; %s decodes %s); %s "
             "names the font's set",
             setname(&g.set[0]), g.codes < 200 ? "few codes" : "a close call",
             setname(&g.set[g.rival]), dr,
             fontxout(o->format) ? "--from" : "-c or --from");
}

} // namespace

int readfontx(const options *o, glyphset *gs, readas *r) {
  *r = readas();
  // -c and -e name the input's set when it becomes BDF or PNG; the
  // output's when FONTX2 is written again, which --from leaves to them.
  bool inputsets = !fontxout(o->format) || o->info;
  const char *byoption = gs->kind ? o->codes : o->charset;
  const char *option = gs->kind ? "-c" : "-e";
  const char *given = o->from, *by = "--from";
  if (inputsets && byoption) {
    if (given) {
      say("%s and --from both name the font's set: give one", option);
      return 2;
    }
    given = byoption, by = option;
  }
  if (given) {
    if (gs->kind ? dbcsnamed(&gs->codes, given)
                 : sbcsnamed(&gs->codes, given)) {
      say("%s: '%s' is no %s set, and the font is %s", by, given,
          gs->kind ? "double-byte" : "single-byte",
          gs->kind ? "double-byte" : "single-byte");
      return 2;
    }
    snprintf(r->why, sizeof r->why, "given with %s", by);
    return 0;
  }
  if (gs->kind) {
    guessed(o, gs, r);
    return 0;
  }
  char found[32];
  if (!charsetinname(o->path, &gs->codes, found, sizeof found)) {
    snprintf(r->why, sizeof r->why, "guessed from the file name");
  } else {
    sbcsnamed(&gs->codes, nullptr);
    snprintf(r->why, sizeof r->why, "default: ASCII and JIS X 0201 katakana");
    r->defaulted = 1;
  }
  return 0;
}
