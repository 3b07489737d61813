// The run a command line asks for: its format, and which of the front
// end's runs does it.
#include "dosvfont/run.h"

#include <cstring>
#include <initializer_list>
#include <strings.h>

#include "dosvfont/pipeline.h"
#include "dosvfont/say.h"

int chooseformat(options *o, const char *outpath, const fontinput *first) {
  if (!o->show) {
    o->format = formatof(o, outpath, first->data, first->n);
    return 0;
  }
  // An output named for another format is refused as -f naming it is.
  const char *dot = outpath ? strrchr(outpath, '.') : nullptr;
  if (!o->format && dot && !strchr(dot, '/')) {
    for (const char *ext : {".bdf", ".fnt", ".h", ".c"})
      if (!strcasecmp(dot, ext)) {
        say("--show draws a PNG picture: an output named %s does not take "
            "it",
            ext);
        return 2;
      }
  }
  if (o->format && o->format != FMTPNG) {
    say("--show draws a PNG picture: -f %s does not apply",
        o->format == FMTBDF ? "bdf"
        : o->format == FMTC ? "c"
                            : "fontx2");
    return 2;
  }
  o->format = FMTPNG;
  return 0;
}

int runinputs(const options *o, const fontinput *fonts, int n, bool *salvaged) {
  if (o->show) return runshow(o, fonts, n);
  if (o->info && o->reader) return runtargetinfo(o, fonts, n);
  return runfont(o, fonts[0].data, fonts[0].n, salvaged);
}
