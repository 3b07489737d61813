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
#include "dosvfont/run.h"
#include "dosvfont/say.h"
#include "dosvfont/show.h"
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
  o.outpath = c.outpath;
  bool stdinread = c.textpath && !strcmp(c.textpath, "-");
  stdinread |= c.showpath && !strcmp(c.showpath, "-");
  stdinread |= c.patchpath && !strcmp(c.patchpath, "-");
  for (int i = 0; i < c.npaths; i++) stdinread |= !c.paths[i];
  if ((closed & 1) && stdinread) {
    say("standard input is closed");
    return 1;
  }
  for (int i = 0; i < c.npaths; i++)
    if (!c.paths[i] && isatty(0)) {
      say("no font given and standard input is a terminal (see --help)");
      return 2;
    }
  // The output is never one of the inputs: a run would replace its font.
  const char *inputs[5];
  int ninputs = 0;
  for (int i = 0; i < c.npaths; i++) inputs[ninputs++] = c.paths[i];
  for (const char *p : {c.textpath, c.showpath, c.patchpath})
    if (p) inputs[ninputs++] = strcmp(p, "-") ? p : nullptr;
  for (int i = 0; i < ninputs; i++)
    if (samefile(c.outpath, inputs[i])) {
      say("%s: -o names an input", c.outpath);
      return 2;
    }
  std::vector<uint32_t> text;
  if (c.textpath) {
    bool fromstdin = !strcmp(c.textpath, "-");
    if (int st =
            readtext(fromstdin ? nullptr : c.textpath, &text, &o.textbytes))
      return st;
    o.text = text.data();
    o.ntext = text.size();
    o.textlabel = fromstdin ? "standard input" : c.textpath;
  }
  inbuf shown = inbuf();
  if (c.showpath) {
    bool fromstdin = !strcmp(c.showpath, "-");
    o.showlabel = fromstdin ? "standard input" : c.showpath;
    if (int st = readshown(fromstdin ? nullptr : c.showpath, &shown)) return st;
    o.showtext = shown.data;
    o.showbytes = shown.n;
  }

  inbuf patch = inbuf();
  if (c.patchpath) {
    bool fromstdin = !strcmp(c.patchpath, "-");
    o.patchlabel = fromstdin ? "standard input" : c.patchpath;
    int err = loadfile(fromstdin ? nullptr : c.patchpath, &patch, MAXINPUT);
    if (err) {
      say("cannot read %s: %s", o.patchlabel,
          err == EFBIG ? "larger than the most dosvfont reads" : strerror(err));
      unloadfile(&shown);
      return 1;
    }
    o.patch = patch.data;
    o.patchbytes = patch.n;
  }

  inbuf in[2] = {inbuf(), inbuf()};
  fontinput fonts[2];
  int status = 0;
  for (int i = 0; i < c.npaths && !status; i++) {
    const char *label = c.paths[i] ? c.paths[i] : "standard input";
    int err = loadfile(c.paths[i], &in[i], MAXINPUT);
    if (err == EFBIG)
      say("%s: larger than %zu MiB, the most dosvfont reads", label,
          size_t{MAXINPUT} >> 20),
          status = 1;
    else if (err)
      say("cannot read %s: %s", label, strerror(err)), status = 1;
    fonts[i] = {in[i].data, in[i].n, c.paths[i], label};
  }
  if (!status && !(status = chooseformat(&o, c.outpath, &fonts[0])) &&
      o.format != FMTBDF && o.format != FMTC && !o.info && !c.outpath &&
      isatty(1)) {
    say("will not write a binary font to a terminal; use -o FILE or a "
        "redirection");
    status = 2;
  }
  if (!status) {
    outfile out;
    int err;
    if ((err = outopen(&out, c.outpath))) {
      say("cannot write %s: %s", o.outlabel, strerror(err));
      status = 1;
    } else {
      soutfd(&output, out.fd);
      bool salvaged = false;
      status = runinputs(&o, fonts, c.npaths, &salvaged);
      if ((err = outdone(&out, status == 0 || salvaged))) {
        say("cannot write %s: %s", o.outlabel, strerror(err));
        status = 1;
      }
    }
  }
  for (inbuf &b : in) unloadfile(&b);
  unloadfile(&shown);
  unloadfile(&patch);
  return status;
}
