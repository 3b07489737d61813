// The code-set converters of the web page: tables made at build time from
// the host's iconv (csettable.h), looked up instead of the C library's
// iconv, which in the browser knows other sets and other mappings.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codes/cset.h"
#include "codes/csettable.h"

// The web build's own cset; the native one (cset.cpp) is never linked with
// it.
// cppcheck-suppress ctuOneDefinitionRuleViolation
struct cset {
  const tableset *t;
};

cset *csopen(const char *name) {
  if (!name) return nullptr;
  char key[64];
  size_t n = 0;
  for (; *name && n + 1 < sizeof key; name++)
    if (isalnum(static_cast<unsigned char>(*name)))
      key[n++] = static_cast<char>(toupper(static_cast<unsigned char>(*name)));
  key[n] = '\0';
  for (size_t i = 0; i < ntablesets; i++)
    if (!strcmp(tablesets[i].name, key)) {
      cset *c = static_cast<cset *>(malloc(sizeof(cset)));
      if (c) c->t = &tablesets[i];
      return c;
    }
  return nullptr;
}

void csclose(cset *c) {
  free(c);
}

int csdecode(cset *c, const unsigned char *in, size_t n, uint32_t *u, int max) {
  // One or two bytes are all the tables hold, and all that is asked.
  if (n < 1 || n > 2) return 0;
  return tabledecode(c->t, in, n, u, max);
}

int csencode(cset *c, uint32_t u, unsigned char *out, size_t size) {
  const tableset *t = c->t;
  const uint32_t *at = std::lower_bound(t->eu, t->eu + t->nenc, u);
  if (at == t->eu + t->nenc || *at != u || size < 2) return -1;
  uint16_t code = t->ecode[at - t->eu];
  if (code < 0x100) {
    out[0] = static_cast<unsigned char>(code);
    return 1;
  }
  out[0] = static_cast<unsigned char>(code >> 8);
  out[1] = static_cast<unsigned char>(code);
  return 2;
}

const char *setsknown(int doublebyte) {
  static char list[1024];
  snprintf(list, sizeof list, " (the page has %s)",
           doublebyte ? tablesdouble : tablessingle);
  return list;
}
