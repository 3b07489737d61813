// dosvfont's messages: one line on standard error each, after the
// program's name, so that every line it writes there says whose it is.
#pragma once

// One line on standard error, after "dosvfont: ".
__attribute__((format(printf, 1, 2))) void say(const char *fmt, ...);
