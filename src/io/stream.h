// Buffered raw byte streams for standard input and output.
//
// With whole files (files.h), the only code that reads or writes file
// descriptors. Each stream reads from or writes to either a descriptor or
// memory, so the whole conversion can run in-process on a byte buffer
// (tests, fuzzer) exactly as it runs on fd 0 and fd 1.
//
// Input never translates anything: bytes come in as they are in the file.
// Output is collected in one large buffer and handed to write(2) (or to a
// memory sink) in big blocks; a failed write is remembered, later output is
// dropped, and the caller learns of it from `err`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

enum {
  INBUF = 1 << 15,  // input block; must hold the largest glyph (8160 bytes)
  OUTBUF = 1 << 16, // output block; must hold the largest glyph record
};

struct instream {
  int fd;                 // source descriptor, or -1 for a memory buffer
  const unsigned char *p; // next unread byte
  const unsigned char *e; // end of the bytes at hand
  int eof;                // the source has nothing more to give
  int ended;              // a byte was wanted past the end of input
  int err;                // errno of a failed read, 0 if none
  unsigned char buf[INBUF];
};

typedef void (*sinkfn)(void *ctx, const char *data, size_t n);

struct outstream {
  int fd;      // destination descriptor, or -1 for the memory sink
  sinkfn sink; // receives the output when fd is -1
  void *ctx;
  size_t n; // bytes waiting in buf
  int err;  // errno of the first failed write, 0 if none
  char buf[OUTBUF];
};

// The process's two streams: standard input and standard output.
extern instream input;
extern outstream output;

void sinfd(instream *in, int fd);
void sinmem(instream *in, const void *data, size_t n);
void soutfd(outstream *out, int fd);
void soutsink(outstream *out, sinkfn sink, void *ctx);

// Slow path of sgetc: refills the buffer; -1 at the end of input.
int sfill(instream *in);

// Next byte 0-255, or -1 (and `ended` set) when the input has ended.
inline int sgetc(instream *in) {
  return in->p < in->e ? *in->p++ : sfill(in);
}

// Reads up to n bytes into dst; returns how many it got. A short count
// sets `ended`.
size_t sread(instream *in, void *dst, size_t n);

// Makes at least n (<= INBUF) bytes available at in->p unless the input ends
// first, and returns how many are available. Reading past what is needed is
// harmless: nothing beyond the wanted bytes is ever consumed.
size_t sneed(instream *in, size_t n);

// Hands everything buffered to the destination. Returns 0, or the errno of
// the first failed write (also kept in `err`).
int sflush(outstream *out);

// Returns a place to write up to n (<= OUTBUF) bytes; hand back the end of
// what was written with sput.
inline char *sroom(outstream *out, size_t n) {
  if (OUTBUF - out->n < n) sflush(out);
  return out->buf + out->n;
}
inline void sput(outstream *out, const char *end) {
  out->n = end - out->buf;
}

// Writes n bytes, a buffer's worth at a time.
void swrite(outstream *out, const void *data, size_t n);

// Keeps descriptors 0, 1 and 2 taken: any that is closed is opened on
// /dev/null, so that no file the program opens gets its number (and
// messages meant for standard error land in a font). Returns which were
// closed: bit 0 for standard input, 1 for output, 2 for error. Call it
// before anything is opened.
unsigned stdopen();

// Writes one line, msg and a line feed, to standard error, or to the sink
// given to serrsink (tests and fuzzers; null sends lines to fd 2 again).
void serrline(const char *msg);
void serrsink(sinkfn sink, void *ctx);

// Formatting into a buffer obtained from sroom; each returns the new end.
char *putstr(char *o, const char *s);
template <size_t N> inline char *putlit(char *o, const char (&s)[N]) {
  memcpy(o, s, N - 1); // a string literal: its length is known here
  return o + N - 1;
}

// Two digits for every number 0-99: a glyph's code costs two or three
// copies instead of a division a digit.
struct pairtable {
  char d[200];
  constexpr pairtable() : d() {
    for (int i = 0; i < 100; i++) {
      d[2 * i] = static_cast<char>('0' + i / 10);
      d[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
inline constexpr pairtable decpairs{};

// Signed decimal. Inline: it is on every glyph's path. The digits are made
// from the right in a scratch buffer and moved with one fixed-size copy,
// so it stores 16 bytes at o whatever the number's length: the room must
// allow for that.
inline char *putd(char *o, int32_t v) {
  char t[32] = {};
  char *p = t + 16;
  uint32_t u = static_cast<uint32_t>(v);
  if (v < 0) u = 0u - u; // well defined for INT32_MIN too
  for (; u >= 100; u /= 100) {
    p -= 2;
    memcpy(p, decpairs.d + 2 * (u % 100), 2);
  }
  if (u >= 10) {
    p -= 2;
    memcpy(p, decpairs.d + 2 * u, 2);
  } else {
    *--p = static_cast<char>('0' + u);
  }
  if (v < 0) *--p = '-';
  memcpy(o, p, 16);
  return o + (t + 16 - p);
}
