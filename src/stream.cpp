#include "stream.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
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

int sload(const char *path, inbuf *b) {
  int fd = path ? open(path, O_RDONLY) : 0;
  if (fd < 0) return errno;
  b->data = nullptr;
  b->n = b->mapped = 0;
  struct stat st;
  int err = 0;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    void *p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ,
                   MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p != MAP_FAILED) {
      b->data = static_cast<unsigned char *>(p);
      b->n = b->mapped = static_cast<size_t>(st.st_size);
      if (path) close(fd);
      return 0;
    }
  }
  size_t size = 0;
  while (!err) {
    if (b->n == size) {
      size = size ? 2 * size : 1 << 16;
      void *more = realloc(b->data, size);
      if (!more) {
        err = ENOMEM;
        break;
      }
      b->data = static_cast<unsigned char *>(more);
    }
    ssize_t r = read(fd, b->data + b->n, size - b->n);
    if (r > 0)
      b->n += static_cast<size_t>(r);
    else if (r == 0)
      break;
    else if (errno != EINTR)
      err = errno;
  }
  if (path) close(fd);
  if (err) sunload(b);
  return err;
}

void sunload(inbuf *b) {
  if (b->mapped)
    munmap(b->data, b->mapped);
  else
    free(b->data);
  b->data = nullptr;
  b->n = b->mapped = 0;
}

int outopen(outfile *f, const char *path) {
  f->fd = 1;
  f->path = f->temp = nullptr;
  if (!path) return 0;
  struct stat st;
  if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    f->fd = open(path, O_WRONLY | O_TRUNC);
    return f->fd < 0 ? errno : 0;
  }
  // Replace what a symbolic link points at, not the link.
  char *real = realpath(path, nullptr);
  f->path = real ? real : strdup(path);
  size_t len = f->path ? strlen(f->path) : 0;
  f->temp = static_cast<char *>(malloc(len + 8));
  if (!f->path || !f->temp) {
    outdone(f, 0);
    return ENOMEM;
  }
  memcpy(f->temp, f->path, len);
  memcpy(f->temp + len, ".XXXXXX", 8);
  f->fd = mkstemp(f->temp);
  if (f->fd < 0) {
    int err = errno;
    free(f->temp);
    f->temp = nullptr;
    outdone(f, 0);
    return err;
  }
  mode_t mask = umask(0);
  umask(mask);
  fchmod(f->fd, 0666 & ~mask);
  return 0;
}

int outdone(outfile *f, int ok) {
  int err = 0;
  if (f->fd > 2 && close(f->fd) != 0 && ok) err = errno;
  if (f->temp) {
    if (ok && !err && rename(f->temp, f->path) != 0) err = errno;
    if (!ok || err) unlink(f->temp);
  }
  free(f->path);
  free(f->temp);
  f->path = f->temp = nullptr;
  f->fd = -1;
  return err;
}
