// dosvfont's messages, each a line of its own on standard error.
#include "dosvfont/say.h"

#include <cstdarg>
#include <cstdio>

#include "io/stream.h"

void say(const char *fmt, ...) {
  char line[512] = "dosvfont: ";
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(line + 10, sizeof line - 10, fmt, ap);
  va_end(ap);
  serrline(line);
}
