// Code-set tables: what the host's iconv makes of every byte and every two
// bytes of the common sets, made at build time (gentables.cpp), never
// written by hand; the back end of cset.h for those sets, natively and in
// the web page. Also the decoding rule both the tables' maker and their
// reader apply, so that a table answers as iconv did for every sequence of
// one or two bytes.
#pragma once

#include <cstddef>
#include <cstdint>

struct tableset {
  const char *name; // as iconv calls it, letters and digits upper-cased
  // Each byte alone: how many code points it makes (-1: it begins a
  // longer sequence), and the first.
  const int8_t *n1;
  const uint32_t *u1;
  // Two bytes that begin with a byte of n1 -1, sorted by code: the code
  // points they make, a second one where cp2 is not 0 (Shift_JIS-2004's
  // kana with a combining mark).
  size_t ndouble;
  const uint16_t *dcode;
  const uint32_t *dcp;
  const uint32_t *dcp2; // null when no code makes two
  // The code of each code point the set encodes in one or two bytes,
  // sorted by code point: below 0x100 one byte, else two.
  size_t nenc;
  const uint32_t *eu;
  const uint16_t *ecode;
};

extern const tableset tablesets[];
extern const size_t ntablesets;
extern const char tablesdouble[], tablessingle[]; // the sets, for messages

// Decodes n (1 or 2) bytes as iconv does: the count of code points, the
// first max in u; 0 when not valid; -1 for a sequence cut short.
inline int tabledecode(const tableset *t, const unsigned char *in, size_t n,
                       uint32_t *u, int max) {
  int got = 0;
  for (size_t i = 0; i < n;) {
    int k = t->n1[in[i]];
    if (k >= 0) { // a character, or nothing, of its own
      if (k == 0) return 0;
      if (got < max) u[got] = t->u1[in[i]];
      got += k;
      i++;
      continue;
    }
    if (i + 1 == n) return -1;
    unsigned code = in[i] << 8 | in[i + 1];
    size_t lo = 0, hi = t->ndouble;
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (t->dcode[mid] < code)
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == t->ndouble || t->dcode[lo] != code) return 0;
    if (got < max) u[got] = t->dcp[lo];
    got++;
    if (t->dcp2 && t->dcp2[lo]) {
      if (got < max) u[got] = t->dcp2[lo];
      got++;
    }
    i += 2;
  }
  return got;
}

// The table of the set of that name (letters and digits compared, in any
// case: "ISO-8859-5", "iso8859_5"), or null.
const tableset *tablenamed(const char *name);

// cset.h's calls answered from a table, for one or two bytes. The first
// lookups of a set make arrays indexed by code and by code point, so that
// later ones take constant time.
int tabdecode(const tableset *t, const unsigned char *in, size_t n, uint32_t *u,
              int max);
int tabencode(const tableset *t, uint32_t u, unsigned char *out, size_t size);

// The arrays behind them (see cset.h's csdirect), or null.
const uint32_t *tabdirect(const tableset *t, int twobytes);
const uint32_t *tabdirectenc(const tableset *t);
