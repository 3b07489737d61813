// Code sets from the tables made at build time: looked up by name, and
// answered through arrays made at a set's first use, by code and by code
// point, where a search of the tables would take a dozen steps a code.
#include "codes/csettable.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// A set's arrays, zero where there is nothing so that fresh memory needs
// no filling: what every byte, and every two bytes from 0x8000 up, make
// (a code point plus one, or NONE, MANY, CUT: nothing, more than one, the
// start of a longer sequence), and the code of every code point below
// 0x10000, plus one.
enum : uint32_t { NONE = 0, MANY = 0xFFFFFFFE, CUT = 0xFFFFFFFF };
struct direct {
  uint32_t dec1[256];
  uint32_t *dec2; // 0x8000 entries, for 0x8000-0xFFFF
  uint32_t *enc;  // 0x10000 entries
};

uint32_t single(const tableset *t, unsigned b) {
  int k = t->n1[b];
  return k == 1 ? t->u1[b] + 1 : k == 0 ? NONE : k > 1 ? MANY : CUT;
}

// The arrays of a table, for the process (the tables never change): the
// decoding arrays made at the first decoding, the encoding one at the
// first encoding, so that a run that only reads codes pays for no more.
direct *directof(const tableset *t, bool encoding) {
  static direct *made[64];
  size_t i = static_cast<size_t>(t - tablesets);
  if (i >= ntablesets || i >= sizeof made / sizeof made[0]) return nullptr;
  direct *d = made[i];
  if (!d && (d = static_cast<direct *>(calloc(1, sizeof(direct))))) {
    uint32_t *dec = static_cast<uint32_t *>(calloc(0x8000, sizeof(uint32_t)));
    if (!dec) {
      free(d);
      return nullptr; // the tables are searched instead
    }
    for (unsigned b = 0; b < 256; b++) d->dec1[b] = single(t, b);
    // Two bytes whose first is a character of its own make that and what
    // the second makes; those after a lead byte are in the table, or
    // nothing.
    uint32_t after[256];
    for (unsigned b = 0; b < 256; b++)
      after[b] = d->dec1[b] == CUT ? CUT : d->dec1[b] == NONE ? NONE : MANY;
    for (unsigned lead = 0x80; lead < 0x100; lead++)
      if (d->dec1[lead] != CUT && d->dec1[lead] != NONE)
        memcpy(dec + ((lead - 0x80) << 8), after, sizeof after);
    for (size_t k = 0; k < t->ndouble; k++)
      if (t->dcode[k] >= 0x8000)
        dec[t->dcode[k] - 0x8000] =
            t->dcp2 && t->dcp2[k] ? MANY : t->dcp[k] + 1;
    d->dec2 = dec;
    made[i] = d;
  }
  if (d && encoding && !d->enc) {
    uint32_t *enc = static_cast<uint32_t *>(calloc(0x10000, sizeof(uint32_t)));
    if (!enc) return nullptr;
    for (size_t k = 0; k < t->nenc && t->eu[k] < 0x10000; k++)
      enc[t->eu[k]] = t->ecode[k] + 1u;
    d->enc = enc;
  }
  return d;
}

} // namespace

const uint32_t *tabdirect(const tableset *t, int twobytes) {
  const direct *d = directof(t, false);
  return !d ? nullptr : twobytes ? d->dec2 : d->dec1;
}

const uint32_t *tabdirectenc(const tableset *t) {
  const direct *d = directof(t, true);
  return d ? d->enc : nullptr;
}

const tableset *tablenamed(const char *name) {
  if (!name) return nullptr;
  char key[64];
  size_t n = 0;
  for (; *name && n + 1 < sizeof key; name++)
    if (isalnum(static_cast<unsigned char>(*name)))
      key[n++] = static_cast<char>(toupper(static_cast<unsigned char>(*name)));
  key[n] = '\0';
  for (size_t i = 0; i < ntablesets; i++)
    if (!strcmp(tablesets[i].name, key)) return &tablesets[i];
  return nullptr;
}

int tabdecode(const tableset *t, const unsigned char *in, size_t n, uint32_t *u,
              int max) {
  // One or two bytes are all the tables hold, and all that is asked.
  if (n < 1 || n > 2) return 0;
  const direct *d = directof(t, false);
  uint32_t v = !d              ? MANY
               : n == 1        ? d->dec1[in[0]]
               : in[0] >= 0x80 ? d->dec2[(in[0] - 0x80) << 8 | in[1]]
                               : MANY;
  if (v == NONE) return 0;
  if (v == CUT) return -1;
  if (v != MANY) {
    if (max > 0) u[0] = v - 1;
    return 1;
  }
  return tabledecode(t, in, n, u, max); // more than one, or no arrays
}

int tabencode(const tableset *t, uint32_t u, unsigned char *out, size_t size) {
  if (size < 2) return -1;
  uint32_t code = 0;
  const direct *d = u < 0x10000 ? directof(t, true) : nullptr;
  if (d) {
    if (!(code = d->enc[u])) return -1;
    code--;
  } else {
    const uint32_t *at = std::lower_bound(t->eu, t->eu + t->nenc, u);
    if (at == t->eu + t->nenc || *at != u) return -1;
    code = t->ecode[at - t->eu];
  }
  if (code < 0x100) {
    out[0] = static_cast<unsigned char>(code);
    return 1;
  }
  out[0] = static_cast<unsigned char>(code >> 8);
  out[1] = static_cast<unsigned char>(code);
  return 2;
}
