// dosvfont: converts FONTX2 bitmap fonts, with character sets.
//
//   dosvfont [OPTIONS] [FONT]
//
// Reads FONT (standard input when it is absent or "-"). A FONTX2 font
// becomes a BDF font numbered by Unicode, or by its own codes with -r
// native; see the manual page for everything else. Output goes to standard
// output or to -o FILE, which is replaced only when the run succeeds.
//
// Exit status 0 on success, 1 when the font cannot be converted or written,
// 2 for a usage error; every message begins "dosvfont: ".
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>
#include <vector>

#include "dosvfont/args.h"
#include "dosvfont/pipeline.h"
#include "dosvfont/say.h"
#include "dosvfont/text.h"
#include "io/files.h"
#include "io/stream.h"

namespace {

void discard(void *, const char *, size_t) {}

// Memory that cannot be had, anywhere (C++ containers, FreeType): one
// line, the output being written removed, status 1.
[[noreturn]] void outofmemory() {
  static const char line[] = "dosvfont: out of memory\n";
  if (write(2, line, sizeof line - 1) < 0) {
  }
  outdiscard();
  _exit(1);
}

} // namespace

int main(int argc, char **argv) {
  unsigned closed = stdopen();
  std::set_new_handler(outofmemory);
  cmdline c;
  // --help and --version; nowhere when standard output was closed.
  if (closed & 2)
    soutsink(&output, discard, nullptr);
  else
    soutfd(&output, 1);
  if (int st = parseargs(argc, argv, &c)) return st;
  if ((closed & 2) && (c.done || !c.outpath)) {
    say("standard output is closed");
    return 1;
  }
  if (c.done) return 0;
  options &o = c.o;
  if ((closed & 1) && (!c.path || (c.textpath && !strcmp(c.textpath, "-")))) {
    say("standard input is closed");
    return 1;
  }
  if (!c.path && isatty(0)) {
    say("no font given and standard input is a terminal (see --help)");
    return 2;
  }
  // The output is never one of the inputs: a run would replace its font.
  bool stdintext = c.textpath && !strcmp(c.textpath, "-");
  if (samefile(c.outpath, c.path) ||
      (c.textpath && samefile(c.outpath, stdintext ? nullptr : c.textpath))) {
    say("%s: -o names an input", c.outpath);
    return 2;
  }
  std::vector<uint32_t> text;
  if (c.textpath) {
    bool fromstdin = !strcmp(c.textpath, "-");
    if (fromstdin && !c.path) {
      say("--text -: standard input is the font; give the font a file");
      return 2;
    }
    if (int st =
            readtext(fromstdin ? nullptr : c.textpath, &text, &o.textbytes))
      return st;
    o.text = text.data();
    o.ntext = text.size();
    o.textlabel = fromstdin ? "standard input" : c.textpath;
  }

  inbuf in;
  int err = loadfile(c.path, &in, MAXINPUT);
  if (err == EFBIG) {
    say("%s: larger than %zu MiB, the most dosvfont reads", o.label,
        size_t{MAXINPUT} >> 20);
    return 1;
  }
  if (err) {
    say("cannot read %s: %s", o.label, strerror(err));
    return 1;
  }
  o.format = formatof(&o, c.outpath, in.data, in.n);
  if (o.format != FMTBDF && !o.info && !c.outpath && isatty(1)) {
    say("will not write a binary font to a terminal; use -o FILE or a "
        "redirection");
    unloadfile(&in);
    return 2;
  }

  outfile out;
  if ((err = outopen(&out, c.outpath))) {
    say("cannot write %s: %s", o.outlabel, strerror(err));
    unloadfile(&in);
    return 1;
  }
  soutfd(&output, out.fd);
  bool salvaged = false;
  int status = runfont(&o, in.data, in.n, &salvaged);
  unloadfile(&in);
  if ((err = outdone(&out, status == 0 || salvaged))) {
    say("cannot write %s: %s", o.outlabel, strerror(err));
    status = 1;
  }
  return status;
}
