// Buffered raw streams over a descriptor or memory, and the lines of
// standard error.
#include "io/stream.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

void swrite(outstream *out, const void *data, size_t n) {
  const char *p = static_cast<const char *>(data);
  while (n && !out->err) {
    size_t k = n < size_t{OUTBUF} ? n : size_t{OUTBUF};
    memcpy(sroom(out, k), p, k);
    out->n += k;
    p += k, n -= k;
  }
}

static sinkfn errsink;
static void *errctx;

void serrsink(sinkfn sink, void *ctx) {
  errsink = sink;
  errctx = ctx;
}

void serrline(const char *msg) {
  char line[512];
  size_t n = strlen(msg);
  if (n > sizeof line - 1) n = sizeof line - 1;
  memcpy(line, msg, n);
  line[n++] = '\n';
  if (errsink) return errsink(errctx, line, n);
  // One write, so the message is not split; nothing to do if it fails.
  while (write(2, line, n) < 0 && errno == EINTR) {
  }
}

char *putstr(char *o, const char *s) {
  while (*s) *o++ = *s++;
  return o;
}

unsigned stdopen() {
  unsigned closed = 0;
  for (int fd = 0; fd < 3; fd++) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    closed |= 1u << fd;
    // The lowest free descriptor: this one, those below being open.
    int got = open("/dev/null", fd ? O_WRONLY : O_RDONLY);
    if (got < 0) got = open("/", O_RDONLY); // a folder, where there is none
    if (got > fd) dup2(got, fd), close(got);
  }
  return closed;
}
