// dosv2bdf: converts a FONTX2 bitmap font to BDF 2.1.
//
//   dosv2bdf < font.fnt > font.bdf
//
// Reads one FONTX2 font (the DOS/V font format) from standard input and
// writes it as a BDF 2.1 font to standard output. Single-byte fonts keep
// their byte codes (JISX0201.1976); double-byte Japanese fonts, indexed by
// Shift_JIS in code blocks, are renumbered to JIS X 0208 (JISX0208.1983).
// Takes no options; arguments are ignored.
//
// Exit status 0 after a complete conversion. Status 1, after one line on
// standard error: "not in FONTX2 format"; "cell WxH is outside 1-255" (a
// cell width or height of 0; nothing is written); "unexpected end of input"
// (the font was still written in full, missing bytes as 0xFF); "read error:
// ..." or "write error: ..." with the system's reason; or the usage line when
// standard input is a terminal.
#include <cerrno>
#include <unistd.h>

#include "dosv2bdf/driver.h"
#include "io/stream.h"

int main() {
  unsigned closed = stdopen();
  // Typed at a shell with no redirection, the program would wait for a font
  // from the keyboard; say how it is used instead.
  if (isatty(0)) {
    serrline("usage: dosv2bdf < font.fnt > font.bdf");
    return 1;
  }
  char msg[256];
  sinfd(&input, 0);
  soutfd(&output, 1);
  // A closed stream fails as it always has: the descriptor holding its
  // place is never read or written.
  if (closed & 1) input.eof = 1, input.err = EBADF;
  if (closed & 2) output.err = EBADF;
  int status = runfilter(msg, sizeof msg);
  if (status) serrline(msg);
  return status;
}
