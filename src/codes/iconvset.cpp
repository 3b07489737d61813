// Character set converters through the C library's iconv: a set's bytes
// to UTF-32 and back, one short sequence at a time, with what a decoder
// holds back flushed.
#include "codes/iconvset.h"

#include <cerrno>
#include <cstdlib>
#include <iconv.h>

struct iconvset {
  iconv_t dec, enc; // the set to UTF-32LE and back
};

namespace {

const iconv_t none = reinterpret_cast<iconv_t>(-1);

// Converts in with cd, then flushes what the converter holds back (a
// character waiting for one to combine with). The bytes written, or -1
// (errno EINVAL for a sequence cut short); the state is reset either way.
long run(iconv_t cd, const unsigned char *in, size_t n, unsigned char *out,
         size_t size) {
  char *ip = reinterpret_cast<char *>(const_cast<unsigned char *>(in));
  char *op = reinterpret_cast<char *>(out);
  size_t il = n, ol = size;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  long r = static_cast<long>(size);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il ||
      iconv(cd, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1))
    r = -1;
  int err = errno;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  errno = err;
  return r < 0 ? -1 : r - static_cast<long>(ol);
}

} // namespace

iconvset *icopen(const char *name) {
  if (!name || !*name) return nullptr;
  iconv_t dec = iconv_open("UTF-32LE", name),
          enc = iconv_open(name, "UTF-32LE");
  if (dec == none || enc == none) {
    if (dec != none) iconv_close(dec);
    if (enc != none) iconv_close(enc);
    return nullptr;
  }
  iconvset *c = static_cast<iconvset *>(malloc(sizeof(iconvset)));
  if (c) {
    c->dec = dec, c->enc = enc;
  } else {
    iconv_close(dec);
    iconv_close(enc);
  }
  return c;
}

void icclose(iconvset *c) {
  if (!c) return;
  iconv_close(c->dec);
  iconv_close(c->enc);
  free(c);
}

int icdecode(iconvset *c, const unsigned char *in, size_t n, uint32_t *u,
             int max) {
  unsigned char out[64];
  long k = run(c->dec, in, n, out, sizeof out);
  if (k < 0) return errno == EINVAL ? -1 : 0;
  int cps = static_cast<int>(k / 4);
  for (int i = 0; i < cps && i < max; i++)
    u[i] = out[4 * i] | out[4 * i + 1] << 8 | out[4 * i + 2] << 16 |
           static_cast<uint32_t>(out[4 * i + 3]) << 24;
  return cps;
}

int icencode(iconvset *c, uint32_t u, unsigned char *out, size_t size) {
  unsigned char in[4] = {
      static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
      static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  long k = run(c->enc, in, 4, out, size);
  return k <= 0 ? -1 : static_cast<int>(k);
}
