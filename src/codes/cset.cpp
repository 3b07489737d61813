// Character set converters: a table made at build time where there is one
// for the set (the common sets, fast and the same everywhere), else the C
// library's iconv. The web page has the tables only: iconv in the browser
// knows other sets and maps them otherwise.
#include "codes/cset.h"

#include <cstdio>
#include <cstdlib>

#include "codes/csettable.h"
#if !DOSVFONT_TABLES_ONLY
#include "codes/iconvset.h"
#else
struct iconvset;
#endif

struct cset {
  const tableset *t; // the table, or null
  iconvset *i;       // else iconv's converter
};

cset *csopen(const char *name) {
  if (!name || !*name) return nullptr;
  cset c = {tablenamed(name), nullptr};
#if !DOSVFONT_TABLES_ONLY
  if (!c.t && !(c.i = icopen(name))) return nullptr;
#endif
  if (!c.t && !c.i) return nullptr;
  cset *p = static_cast<cset *>(malloc(sizeof(cset)));
  if (p) {
    *p = c;
#if !DOSVFONT_TABLES_ONLY
  } else if (c.i) {
    icclose(c.i);
#endif
  }
  return p;
}

void csclose(cset *c) {
  if (!c) return;
#if !DOSVFONT_TABLES_ONLY
  if (c->i) icclose(c->i);
#endif
  free(c);
}

int csdecode(cset *c, const unsigned char *in, size_t n, uint32_t *u, int max) {
#if !DOSVFONT_TABLES_ONLY
  if (c->i) return icdecode(c->i, in, n, u, max);
#endif
  return tabdecode(c->t, in, n, u, max);
}

int csencode(cset *c, uint32_t u, unsigned char *out, size_t size) {
#if !DOSVFONT_TABLES_ONLY
  if (c->i) return icencode(c->i, u, out, size);
#endif
  return tabencode(c->t, u, out, size);
}

const uint32_t *csdirect(cset *c, int twobytes) {
  return c->t ? tabdirect(c->t, twobytes) : nullptr;
}

const uint32_t *csdirectenc(cset *c) {
  return c->t ? tabdirectenc(c->t) : nullptr;
}

const char *setsknown(int doublebyte) {
#if DOSVFONT_TABLES_ONLY
  static char list[1024];
  snprintf(list, sizeof list, " (the page has %s)",
           doublebyte ? tablesdouble : tablessingle);
  return list;
#else
  (void)doublebyte;
  return "";
#endif
}
