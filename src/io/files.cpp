// Whole files: an input read into memory at once, an output written under
// a temporary name and renamed into place, signals that would leave the
// temporary file behind caught.
#include "io/files.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Memory for an input, mapped afresh with its pages made at once: a
// buffer touched page by page as read(2) fills it takes a fault a page,
// which on a virtual machine costs more than the reading. From 2 MiB up,
// huge pages where the system gives them: three pages to make for a 6 MB
// font instead of 1,500. *size becomes the size mapped.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older kernels refuse it
#endif
unsigned char *populated(size_t *size) {
  const size_t huge = size_t{1} << 21;
  if (*size >= huge) {
    size_t len = (*size + huge - 1) & ~(huge - 1);
    void *raw = mmap(nullptr, len + huge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw != MAP_FAILED) {
      auto *a = static_cast<unsigned char *>(raw);
      auto *p = reinterpret_cast<unsigned char *>(
          (reinterpret_cast<uintptr_t>(a) + huge - 1) & ~(huge - 1));
      // Only the aligned part is kept.
      if (p > a) munmap(a, static_cast<size_t>(p - a));
      if (a + huge > p) munmap(p + len, static_cast<size_t>(a + huge - p));
      madvise(p, len, MADV_HUGEPAGE);
      if (madvise(p, len, MADV_POPULATE_WRITE) == 0) {
        *size = len;
        return p;
      }
      munmap(p, len);
    }
  }
  void *p = mmap(nullptr, *size, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return p == MAP_FAILED ? nullptr : static_cast<unsigned char *>(p);
}

} // namespace

int loadfile(const char *path, inbuf *b, size_t limit) {
  int fd = path ? open(path, O_RDONLY) : 0;
  if (fd < 0) return errno;
  *b = inbuf();
  struct stat st;
  // One byte more than the file's size, so that its end is seen without
  // growing the buffer; pipes and devices start small and double.
  size_t size = 1 << 16;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0) {
    // A file known to be too large is not read at all.
    if (static_cast<uint64_t>(st.st_size) > limit) {
      if (path) close(fd);
      return EFBIG;
    }
    size = static_cast<size_t>(st.st_size) + 1;
  }
  int err = 0;
  if (!(b->data = populated(&size))) err = ENOMEM;
  b->room = size;
  while (!err) {
    if (b->n == b->room) {
      if (b->room > limit) {
        err = EFBIG;
        break;
      }
      size = b->room > limit / 2 ? limit + 1 : 2 * b->room;
      void *more = mremap(b->data, b->room, size, MREMAP_MAYMOVE);
      if (more == MAP_FAILED) {
        err = ENOMEM;
        break;
      }
      b->data = static_cast<unsigned char *>(more);
      b->room = size;
    }
    ssize_t r = read(fd, b->data + b->n, b->room - b->n);
    if (r > 0)
      b->n += static_cast<size_t>(r);
    else if (r == 0)
      break;
    else if (errno != EINTR)
      err = errno;
  }
  if (!err && b->n > limit) err = EFBIG;
  if (path) close(fd);
  if (err) unloadfile(b);
  return err;
}

void unloadfile(inbuf *b) {
  if (b->data) munmap(b->data, b->room);
  *b = inbuf();
}

// The temporary file a signal must not leave behind: its name, kept where
// a handler can reach it without calling anything unsafe.
static char pending[PATH_MAX + 16];
static volatile sig_atomic_t haspending;

// Signals whose default action ends the process: all but those that stop
// it or are ignored by default (and KILL and STOP, which no handler sees).
static bool ending(int sig) {
  switch (sig) {
  case SIGKILL:
  case SIGSTOP:
  case SIGCHLD:
  case SIGCONT:
  case SIGTSTP:
  case SIGTTIN:
  case SIGTTOU:
  case SIGURG:
  case SIGWINCH:
    return false;
  default:
    return true;
  }
}

static void endingset(sigset_t *set) {
  sigemptyset(set);
  for (int sig = 1; sig < NSIG; sig++)
    if (ending(sig)) sigaddset(set, sig);
}

// What each signal did before the guard: done after the file is removed,
// so that the process ends as it would have (a sanitizer's report too).
static struct sigaction before[NSIG];

bool samefile(const char *output, const char *input) {
  struct stat o, i;
  if (!output || stat(output, &o) != 0 || !S_ISREG(o.st_mode)) return false;
  if (input ? stat(input, &i) != 0 : fstat(0, &i) != 0) return false;
  return o.st_dev == i.st_dev && o.st_ino == i.st_ino;
}

void outdiscard() {
  if (haspending) unlink(pending);
  haspending = 0;
}

static void cleanup(int sig) {
  outdiscard();
  sigaction(sig, &before[sig], nullptr);
  raise(sig);
}

// The handler's own stack: a crash that overflowed the program's stack
// still removes the temporary file.
static char altstack[64 * 1024];

static void guard(const char *temp) {
  strcpy(pending, temp);
  haspending = 1;
  stack_t ss = {};
  ss.ss_sp = altstack;
  ss.ss_size = sizeof altstack;
  sigaltstack(&ss, nullptr);
  struct sigaction sa = {};
  sa.sa_handler = cleanup;
  sa.sa_flags = SA_ONSTACK;
  endingset(&sa.sa_mask);
  for (int sig = 1; sig < NSIG; sig++) {
    struct sigaction old = {};
    // Signals the C library keeps for itself refuse a handler; an ignored
    // one stays as ignored as it was.
    if (!ending(sig) || sigaction(sig, nullptr, &old) != 0 ||
        old.sa_handler == SIG_IGN)
      continue;
    before[sig] = old;
    sigaction(sig, &sa, nullptr);
  }
}

static void unguard() {
  sigset_t all, old;
  endingset(&all);
  sigprocmask(SIG_BLOCK, &all, &old);
  haspending = 0;
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

// Where writing to path lands, as a shell's redirection would write it:
// symbolic links followed to their end, which need not exist. Returns a
// malloc'd path, or null with errno set (ELOOP for a loop).
static char *landing(const char *path) {
  char *p = strdup(path);
  for (int hops = 0; p; hops++) {
    struct stat st;
    if (lstat(p, &st) != 0 || !S_ISLNK(st.st_mode)) {
      if (errno == ELOOP) break; // a loop in a folder on the way
      // Existing files are named by their real path, so that the rename
      // lands in the folder the file is really in.
      char *real = realpath(p, nullptr);
      if (real) free(p), p = real;
      return p;
    }
    if (hops == 40) {
      errno = ELOOP;
      break;
    }
    char link[PATH_MAX];
    ssize_t k = readlink(p, link, sizeof link - 1);
    if (k < 0) break;
    link[k] = '\0';
    // A relative link is relative to the folder holding it.
    const char *slash = strrchr(p, '/');
    size_t dir = link[0] == '/' || !slash ? 0 : slash - p + 1;
    char *next = static_cast<char *>(malloc(dir + k + 1));
    if (!next) break;
    memcpy(next, p, dir);
    memcpy(next + dir, link, k + 1);
    free(p);
    p = next;
  }
  int err = errno;
  free(p);
  errno = err;
  return nullptr;
}

int outopen(outfile *f, const char *path) {
  f->fd = 1;
  f->path = f->temp = nullptr;
  if (!path) return 0;
  // A path to the standard output already open (/dev/stdout,
  // /proc/self/fd/1, the file it was redirected to) is written as it is,
  // where the shell left it; anything else that is no regular file (a
  // pipe, a device) is opened and written in place.
  struct stat st, out;
  if (stat(path, &st) == 0) {
    if (fstat(1, &out) == 0 && st.st_dev == out.st_dev &&
        st.st_ino == out.st_ino)
      return 0;
    if (!S_ISREG(st.st_mode)) {
      f->fd = open(path, O_WRONLY | O_TRUNC);
      return f->fd < 0 ? errno : 0;
    }
  }
  char *target = landing(path);
  if (!target) return errno;
  bool exists = stat(target, &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    free(target);
    f->fd = open(path, O_WRONLY | O_TRUNC);
    return f->fd < 0 ? errno : 0;
  }
  // A file the user may not write is not replaced, as a shell's > does
  // not write it: the rename would need only the folder.
  if (exists && access(target, W_OK) != 0) {
    int err = errno;
    free(target);
    return err;
  }
  f->path = target;
  // NAME.XXXXXX beside the file, NAME cut where the folder's longest name
  // would be passed.
  const char *slash = strrchr(target, '/');
  size_t dirlen = slash ? slash - target + 1 : 0,
         base = strlen(target) - dirlen;
  long most = NAME_MAX;
  if (dirlen < PATH_MAX) {
    char dir[PATH_MAX] = ".";
    if (dirlen) memcpy(dir, target, dirlen), dir[dirlen] = '\0';
    most = pathconf(dir, _PC_NAME_MAX);
  }
  size_t room = most > 8 ? static_cast<size_t>(most) - 7 : NAME_MAX - 7;
  if (base > room) base = room;
  if (dirlen + base + 8 > sizeof pending) {
    outdone(f, 0);
    return ENAMETOOLONG;
  }
  f->temp = static_cast<char *>(malloc(dirlen + base + 8));
  if (!f->temp) {
    outdone(f, 0);
    return ENOMEM;
  }
  memcpy(f->temp, target, dirlen + base);
  memcpy(f->temp + dirlen + base, ".XXXXXX", 8);
  // No signal between the file's making and its name's keeping.
  sigset_t all, old;
  endingset(&all);
  sigprocmask(SIG_BLOCK, &all, &old);
  f->fd = mkstemp(f->temp);
  int err = errno;
  if (f->fd >= 0) guard(f->temp);
  sigprocmask(SIG_SETMASK, &old, nullptr);
  if (f->fd < 0) {
    free(f->temp);
    f->temp = nullptr;
    outdone(f, 0);
    return err;
  }
  if (exists) {
    // The file replaced keeps its owner where this process may give it,
    // at least its group, and its mode, as a shell's > leaves them; the
    // owner first, since a change of owner clears set-id bits.
    if (fchown(f->fd, st.st_uid, st.st_gid) != 0 &&
        fchown(f->fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
    }
    fchmod(f->fd, st.st_mode & 07777);
  } else {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(f->fd, 0666 & ~mask);
  }
  return 0;
}

int outdone(outfile *f, int ok) {
  int err = 0;
  if (f->fd > 2 && close(f->fd) != 0 && ok) err = errno;
  if (f->temp) {
    if (ok && !err && rename(f->temp, f->path) != 0) err = errno;
    if (!ok || err) unlink(f->temp);
    unguard();
  }
  free(f->path);
  free(f->temp);
  f->path = f->temp = nullptr;
  f->fd = -1;
  return err;
}
