// Whole files, for dosvfont: its input read into memory at once, and its
// output written under a temporary name and put in place only when the
// run succeeds. With the streams (stream.h), the only code that opens or
// reads or writes file descriptors.
#pragma once

#include <cstddef>

// All of a file in memory, in one buffer of our own: a file that changes
// while it is read can only give other bytes, never a fault.
struct inbuf {
  unsigned char *data;
  size_t n;
  size_t room; // the buffer's size
};

// Loads all of a file (standard input when path is null) with read(2),
// into memory mapped for it with its pages made at once, sized from fstat
// and grown for pipes and growing files. Returns 0 or an errno: EFBIG when
// there is more than limit bytes (for a regular file, known from its size
// before anything is read).
int loadfile(const char *path, inbuf *b, size_t limit);
void unloadfile(inbuf *b);

// Where a program's output goes: standard output, or a file that only
// takes its new content when everything was written.
struct outfile {
  int fd;
  char *path; // the file named, or null for standard output
  char *temp; // the temporary file beside it, or null when written in place
};

// Opens the output: standard output for a null path, and for a path to
// the standard output already open (/dev/stdout, or the file it was
// redirected to), written where the shell left it. Symbolic links are
// followed as a shell's redirection follows them: to the file they point
// at, which is created if it does not exist; a loop is ELOOP. A file that
// does not exist or is a regular file gets a temporary file in its folder
// (a name as long as the folder takes, cut to make room for a suffix),
// with the mode (and, where the process may set them, the owner and group)
// of the file it replaces, or the mode a new file would get; anything else
// (a FIFO, a device) is
// written in place. Until outdone, every signal whose default action ends
// the process removes the temporary file first, then ends it as it would
// have. Returns 0 or an errno.
int outopen(outfile *f, const char *path);

// Whether output names a regular file that is also input (null: standard
// input), compared by device and inode: a run must never replace its own
// input.
bool samefile(const char *output, const char *input);

// Removes the temporary file of an output being written, for a run that
// must end at once; safe in a signal handler.
void outdiscard();

// Ends the output. With ok, the temporary file is renamed over the path;
// without, it is removed and the path keeps what it had. Returns 0 or an
// errno.
int outdone(outfile *f, int ok);
