#include "stream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

instream input;
outstream output;

void sinfd(instream *in, int fd) {
  in->fd = fd;
  in->p = in->e = in->buf;
  in->eof = in->ended = in->err = 0;
}

void sinmem(instream *in, const void *data, size_t n) {
  in->fd = -1;
  in->p = static_cast<const unsigned char *>(data);
  in->e = in->p + n;
  in->eof = 1; // all there is is already at hand
  in->ended = in->err = 0;
}

void soutfd(outstream *out, int fd) {
  out->fd = fd;
  out->sink = nullptr;
  out->ctx = nullptr;
  out->n = 0;
  out->err = 0;
}

void soutsink(outstream *out, sinkfn sink, void *ctx) {
  soutfd(out, -1);
  out->sink = sink;
  out->ctx = ctx;
}

// Appends to what is at hand with one read(2); 0 when nothing more came.
static size_t readmore(instream *in) {
  if (in->eof) return 0;
  if (in->p == in->e) in->p = in->e = in->buf;
  unsigned char *end = in->buf + INBUF;
  for (;;) {
    ssize_t r = read(in->fd, const_cast<unsigned char *>(in->e), end - in->e);
    if (r > 0) {
      in->e += r;
      return static_cast<size_t>(r);
    }
    if (r < 0 && errno == EINTR) continue;
    // A read error ends the input like end of file does, but is kept so
    // that the run can say what went wrong.
    if (r < 0) in->err = errno;
    in->eof = 1;
    return 0;
  }
}

int sfill(instream *in) {
  if (in->p < in->e || readmore(in)) return *in->p++;
  in->ended = 1;
  return -1;
}

size_t sread(instream *in, void *dst, size_t n) {
  unsigned char *d = static_cast<unsigned char *>(dst);
  size_t got = 0;
  while (got < n) {
    if (in->p == in->e && !readmore(in)) {
      in->ended = 1;
      break;
    }
    size_t k = static_cast<size_t>(in->e - in->p);
    if (k > n - got) k = n - got;
    memcpy(d + got, in->p, k);
    in->p += k;
    got += k;
  }
  return got;
}

size_t sneed(instream *in, size_t n) {
  size_t have = static_cast<size_t>(in->e - in->p);
  if (have >= n || in->eof) return have;
  // Slide the unread tail to the front so that n bytes fit contiguously.
  if (in->p != in->buf) {
    memmove(in->buf, in->p, have);
    in->p = in->buf;
    in->e = in->buf + have;
  }
  while (have < n && readmore(in)) have = static_cast<size_t>(in->e - in->p);
  return have;
}

int sflush(outstream *out) {
  size_t done = 0;
  if (out->err) out->n = 0; // after a failure, output is dropped
  if (out->fd < 0) {
    if (out->n) out->sink(out->ctx, out->buf, out->n);
    done = out->n;
  }
  while (done < out->n) {
    ssize_t w = write(out->fd, out->buf + done, out->n - done);
    if (w >= 0) {
      done += static_cast<size_t>(w);
    } else if (errno != EINTR) {
      out->err = errno;
      break;
    }
  }
  out->n = 0;
  return out->err;
}

char *sroom(outstream *out, size_t n) {
  if (OUTBUF - out->n < n) sflush(out);
  return out->buf + out->n;
}

void serrline(const char *msg) {
  char line[512];
  size_t n = strlen(msg);
  if (n > sizeof line - 1) n = sizeof line - 1;
  memcpy(line, msg, n);
  line[n++] = '\n';
  // One write, so the message is not split; nothing to do if it fails.
  while (write(2, line, n) < 0 && errno == EINTR) {
  }
}

char *putstr(char *o, const char *s) {
  while (*s) *o++ = *s++;
  return o;
}

char *putd(char *o, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  if (v < 0) {
    *o++ = '-';
    u = 0u - u; // well defined for INT32_MIN too
  }
  char tmp[10];
  int k = 0;
  do {
    tmp[k++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  while (k) *o++ = tmp[--k];
  return o;
}

static constexpr char xdigits[] = "0123456789abcdef";

char *putx4(char *o, uint32_t v) {
  int k = 28;
  while (k > 12 && (v >> k) == 0) k -= 4;
  for (; k >= 0; k -= 4) *o++ = xdigits[(v >> k) & 15];
  return o;
}

// Two hex digits for every byte value, so a byte costs one 2-byte copy.
struct hextable {
  char d[512];
  constexpr hextable() : d() {
    for (int i = 0; i < 256; i++) {
      d[2 * i] = xdigits[i >> 4];
      d[2 * i + 1] = xdigits[i & 15];
    }
  }
};
static constexpr hextable hex{};

#if defined(__SSE2__)
// Sixteen digits for eight bytes at once: split into nibbles, interleave
// high before low, and map 0-9 and 10-15 onto their digits.
static inline __m128i digits(__m128i nibbles) {
  __m128i big = _mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9));
  __m128i d = _mm_add_epi8(nibbles, _mm_set1_epi8('0'));
  return _mm_add_epi8(d, _mm_and_si128(big, _mm_set1_epi8('a' - '0' - 10)));
}

// The digits of the low eight bytes of v, or of the high eight.
static inline __m128i hexlow(__m128i v) {
  __m128i mask = _mm_set1_epi8(0x0F);
  return digits(_mm_unpacklo_epi8(_mm_and_si128(_mm_srli_epi16(v, 4), mask),
                                  _mm_and_si128(v, mask)));
}

static inline char *hex16(char *o, const unsigned char *src) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(o), hexlow(v));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 16),
                   hexlow(_mm_srli_si128(v, 8)));
  return o + 32;
}

static inline char *hex8(char *o, const unsigned char *src) {
  __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(src));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(o), hexlow(v));
  return o + 16;
}
#endif

static inline char *hexbytes(char *o, const unsigned char *src, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) o = hex16(o, src + i);
  for (; i + 8 <= n; i += 8) o = hex8(o, src + i);
#endif
  for (; i < n; i++) {
    memcpy(o, hex.d + 2 * src[i], 2);
    o += 2;
  }
  return o;
}

char *putrows(char *o, const unsigned char *src, size_t rowbytes, size_t rows) {
  for (size_t r = 0; r < rows; r++, src += rowbytes) {
    o = hexbytes(o, src, rowbytes);
    *o++ = '\n';
  }
  return o;
}
