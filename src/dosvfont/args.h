// dosvfont's command line, parsed the one way for the program and for the
// web page: options into an options record, the paths it names.
#pragma once

#include "dosvfont/options.h"

struct cmdline {
  options o;
  const char *outpath;   // -o, or null
  const char *path;      // the (first) font, null for standard input
  const char *paths[2];  // the fonts, null for standard input
  int npaths;            // how many: 1, or 2 with --show or --info --target
  const char *showpath;  // --show, or null ("-": standard input)
  const char *textpath;  // --text, or null ("-": standard input)
  const char *patchpath; // --patch, or null ("-": standard input)
  int done;              // --help or --version was printed: nothing more
};

// Parses argv as dosvfont does, getopt's state reset first so that it can
// run again in one process. Returns 0 to go on; else the exit status, 2
// after saying what is wrong, or --help's and --version's (with done
// set), whose text went to the output stream.
int parseargs(int argc, char **argv, cmdline *c);
