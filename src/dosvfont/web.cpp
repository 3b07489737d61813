// The web page's entry: one dosvfont run on a font in memory, its
// arguments parsed exactly as the command line's, its output and messages
// collected for the page's JavaScript (web/dosvfont.js) to take, with the
// plain words of a failure. Nothing is a terminal and no file is read or
// written: a file the arguments name (a second font, the text of --text
// or --show) is one the page handed over by that name. The pipeline is
// the program's.
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "dosvfont/args.h"
#include "dosvfont/pipeline.h"
#include "dosvfont/plain.h"
#include "dosvfont/run.h"
#include "dosvfont/say.h"
#include "dosvfont/texts.h"
#include "io/stream.h"
#include "sources/ftmemo.h"

namespace {

std::string out, messages, plain;

void append(void *ctx, const char *data, size_t n) {
  static_cast<std::string *>(ctx)->append(data, n);
}

// The page's progress bar, through the Worker.
EM_JS(void, progressed, (size_t done, size_t total), {
  if (Module.onprogress) Module.onprogress(done, total);
});

// Memory that cannot be had ends the run, as natively: nothing can go on
// once an allocation failed. The module says so to the Worker, which
// answers status 1 with the program's line and starts a fresh module.
EM_JS(void, markoutofmemory, (), { Module.outofmemory = true; });
[[noreturn]] void outofmemory() {
  markoutofmemory();
  abort();
}

// The files a run's arguments name (a second font, --text, --show), as
// the page handed them over: nothing is read from anywhere else.
std::map<std::string, std::string> files;

const std::string *named(const char *path) {
  auto f = files.find(path);
  return f == files.end() ? nullptr : &f->second;
}

const unsigned char *bytes(const std::string &s) {
  return reinterpret_cast<const unsigned char *>(s.data());
}

int run(cmdline *c, const unsigned char *data, size_t n, const char *name) {
  options &o = c->o;
  o.outpath = c->outpath;
  o.progress = progressed;
  // Standard input is the font the page was given; other inputs by name.
  fontinput fonts[2];
  for (int i = 0; i < c->npaths; i++) {
    const char *p = c->paths[i];
    if (!p) {
      fonts[i] = {data, n, name, name && *name ? name : "the font"};
    } else if (const std::string *f = named(p)) {
      fonts[i] = {bytes(*f), f->size(), p, p};
    } else if (name && !strcmp(p, name)) {
      fonts[i] = {data, n, name, name};
    } else {
      say("%s: the page reads only the files it was given", p);
      return 2;
    }
  }
  o.path = fonts[0].path;
  o.label = fonts[0].label;
  std::vector<uint32_t> text;
  for (const char *p : {c->textpath, c->showpath}) {
    if (!p) continue;
    const std::string *f = strcmp(p, "-") ? named(p) : nullptr;
    if (!f) {
      say("%s: the page reads only the files it was given", p);
      return 2;
    }
    if (p == c->textpath) {
      if (int st = textof(bytes(*f), f->size(), p, &text, 1)) return st;
      o.text = text.data(), o.ntext = text.size(), o.textbytes = f->size();
      o.textlabel = p;
    } else {
      std::vector<uint32_t> chars;
      if (int st = textof(bytes(*f), f->size(), p, &chars, 0)) return st;
      o.showtext = bytes(*f), o.showbytes = f->size(), o.showlabel = p;
    }
  }
  if (const char *p = c->patchpath) {
    const std::string *f = strcmp(p, "-") ? named(p) : nullptr;
    if (!f) {
      say("%s: the page reads only the files it was given", p);
      return 2;
    }
    o.patch = bytes(*f), o.patchbytes = f->size(), o.patchlabel = p;
  }
  if (int st = chooseformat(&o, c->outpath, &fonts[0])) return st;
  return runinputs(&o, fonts, c->npaths, nullptr);
}

} // namespace

extern "C" {

// Runs dosvfont with argv (argv[0] the program's name) on the n bytes of
// the font named name. Returns the exit status; dosvfont_output and
// dosvfont_messages hold what it wrote until the next run.
EMSCRIPTEN_KEEPALIVE int dosvfont_run(int argc, char **argv,
                                      const unsigned char *data, size_t n,
                                      const char *name) {
  std::set_new_handler(outofmemory);
  // The page runs on one font many times over: what is drawn is kept.
  static bool remembering = (ftremember(1), true);
  (void)remembering;
  out.clear();
  messages.clear();
  soutsink(&output, append, &out);
  serrsink(append, &messages);
  cmdline c;
  int status = parseargs(argc, argv, &c);
  if (!status && !c.done) status = run(&c, data, n, name);
  sflush(&output);
  serrsink(nullptr, nullptr);
  plain = plainwords(status, data, n, messages);
  return status;
}

// A file the next run's arguments may name (a second font, --text, --show),
// until dosvfont_clearfiles.
EMSCRIPTEN_KEEPALIVE void
dosvfont_addfile(const char *name, const unsigned char *data, size_t n) {
  files[name].assign(reinterpret_cast<const char *>(data), n);
}
EMSCRIPTEN_KEEPALIVE void dosvfont_clearfiles() {
  files.clear();
}

EMSCRIPTEN_KEEPALIVE const char *dosvfont_output() {
  return out.data();
}
EMSCRIPTEN_KEEPALIVE size_t dosvfont_outputsize() {
  return out.size();
}
EMSCRIPTEN_KEEPALIVE const char *dosvfont_messages() {
  return messages.c_str();
}
// After a failure, what went wrong in plain words, for the page to show
// above the program's line; "" after a success.
EMSCRIPTEN_KEEPALIVE const char *dosvfont_plain() {
  return plain.c_str();
}
}
