// dosvfont's messages: one line on standard error each, after the
// program's name, so that every line it writes there says whose it is.
#pragma once

#include <cstddef>

// One line on standard error, after "dosvfont: ", shown as printable.
__attribute__((format(printf, 1, 2))) void say(const char *fmt, ...);

// "s" where a count of n takes the plural ("1 glyph", "2 glyphs").
inline const char *plural(size_t n) {
  return n == 1 ? "" : "s";
}

// A count with its thousands set apart ("11,172"), into out.
char *thousands(char *out, size_t size, size_t v);

// Text as a line of a message may show it: control characters (C0, DEL,
// C1) and bytes that are not UTF-8 escaped (\n, \t, \r, \x1b, \u0085),
// so that a file's name can neither break the line nor forge another nor
// command the terminal; valid UTF-8 stays as it is. Writes at most size
// bytes, the last a NUL; returns the length.
size_t printable(char *out, size_t size, const char *in);
