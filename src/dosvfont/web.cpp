// The web page's entry: one dosvfont run on a font in memory, its
// arguments parsed exactly as the command line's, its output and messages
// collected for the page's JavaScript (web/dosvfont.js) to take. Nothing
// is a terminal and no file is read or written; the pipeline is runfont's,
// as for the program.
#include <cstdlib>
#include <emscripten.h>
#include <new>
#include <string>

#include "dosvfont/args.h"
#include "dosvfont/pipeline.h"
#include "dosvfont/say.h"
#include "io/stream.h"

namespace {

std::string out, messages;

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

int run(cmdline *c, const unsigned char *data, size_t n, const char *name) {
  if (c->path) {
    say("%s: the page converts the font it is given, not a file named in its "
        "arguments",
        c->path);
    return 2;
  }
  if (c->textpath) {
    say("--text: the page reads no file but the font");
    return 2;
  }
  options &o = c->o;
  o.path = name;
  o.label = name && *name ? name : "the font";
  o.progress = progressed;
  o.format = formatof(&o, c->outpath, data, n);
  return runfont(&o, data, n);
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
  out.clear();
  messages.clear();
  soutsink(&output, append, &out);
  serrsink(append, &messages);
  cmdline c;
  int status = parseargs(argc, argv, &c);
  if (!status && !c.done) status = run(&c, data, n, name);
  sflush(&output);
  serrsink(nullptr, nullptr);
  return status;
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
}
