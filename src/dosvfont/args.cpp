// dosvfont's command line, as the program and the web page read it.
#include "dosvfont/args.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>
#include <strings.h>
#include <utility>

#include "codes/codes.h"
#include "display/targets.h"
#include "dosvfont/say.h"
#include "dosvfont/usage.h"
#include "dosvfont/values.h"
#include "io/stream.h"
#include "sources/source.h"
#include "writers/bdfset.h"
#include "writers/csource.h"

#ifndef DOSVFONT_VERSION
#define DOSVFONT_VERSION "unknown"
#endif

namespace {

// getopt_long's words for a long option that begins more than one: says
// which it could be. false when it is no such option.
bool ambiguous(const char *arg, const option *longs) {
  if (strncmp(arg, "--", 2)) return false;
  size_t n = strcspn(arg + 2, "=");
  char list[256] = "";
  int found = 0;
  for (const option *l = longs; l->name; l++)
    if (!strncmp(l->name, arg + 2, n) && found++ < 8)
      snprintf(list + strlen(list), sizeof list - strlen(list), "%s--%s",
               found > 1 ? ", " : "", l->name);
  if (found < 2) return false;
  say("option '%s' is ambiguous: %s (see --help)", arg, list);
  return true;
}

// The long option a letter stands for.
const char *longname(const option *longs, int ch) {
  static char name[40];
  for (const option *l = longs; l->name; l++)
    if (l->val == ch) return snprintf(name, sizeof name, "--%s", l->name), name;
  return "an option";
}

// --help and --version on the output stream, whose failures count too.
int print(const char *text) {
  swrite(&output, text, strlen(text));
  if (sflush(&output)) {
    say("cannot write standard output: %s", strerror(output.err));
    return 1;
  }
  return 0;
}

} // namespace

int parseargs(int argc, char **argv, cmdline *c) {
  *c = cmdline();
  options &o = c->o;
  o.numbering = NUMUNICODE;
  o.kind = ANYKIND;
  o.last = 0xFFFF;
  o.screenw = 320, o.screenh = 240;
  o.fg[0] = o.fg[1] = o.fg[2] = 0xFF; // white on black, as a display is
  static const option longs[] = {
      {"output", required_argument, nullptr, 'o'},
      {"format", required_argument, nullptr, 'f'},
      {"registry", required_argument, nullptr, 'r'},
      {"codes", required_argument, nullptr, 'c'},
      {"charset", required_argument, nullptr, 'e'},
      {"kind", required_argument, nullptr, 'k'},
      {"width", required_argument, nullptr, 'w'},
      {"size", required_argument, nullptr, 's'},
      {"name", required_argument, nullptr, 'n'},
      {"scale", required_argument, nullptr, 'S'},
      {"range", required_argument, nullptr, 'R'},
      {"fit", required_argument, nullptr, 'F'},
      {"info", no_argument, nullptr, 'I'},
      {"salvage", no_argument, nullptr, 'X'},
      {"foundry", required_argument, nullptr, 'D'},
      {"encoded-only", no_argument, nullptr, 'U'},
      {"text", required_argument, nullptr, 'T'},
      {"face", required_argument, nullptr, 'A'},
      {"from", required_argument, nullptr, 'M'},
      {"bold", no_argument, nullptr, 'B'},
      {"italic", no_argument, nullptr, 'L'},
      {"underline", no_argument, nullptr, 'N'},
      {"strikeout", no_argument, nullptr, 'K'},
      {"control-pictures", no_argument, nullptr, 'P'},
      {"show", required_argument, nullptr, 'Y'},
      {"target", required_argument, nullptr, 'G'},
      {"screen", required_argument, nullptr, 'Z'},
      {"colors", required_argument, nullptr, 'C'},
      {"c-name", required_argument, nullptr, 'Q'},
      {"patch", required_argument, nullptr, 'J'},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {nullptr, 0, nullptr, 0}};
  static const char *const formats[] = {"bdf", "fontx2", "png", "c", nullptr};
  static const char *const registries[] = {"unicode", "native", nullptr};
  static const char *const kinds[] = {"single", "double", nullptr};
  static const char *const fits[] = {"line", "em", nullptr};
  // Each option's bit in options::given (the short letter, or the
  // letter getopt_long returns for a long-only option).
  static const std::pair<int, unsigned> gave[] = {
      {'f', GAVEFORMAT},   {'r', GAVEREGISTRY}, {'c', GAVECODES},
      {'e', GAVECHARSET},  {'k', GAVEKIND},     {'w', GAVEWIDTH},
      {'s', GAVESIZE},     {'n', GAVENAME},     {'S', GAVESCALE},
      {'R', GAVERANGE},    {'F', GAVEFIT},      {'X', GAVESALVAGE},
      {'D', GAVEFOUNDRY},  {'U', GAVEENCODED},  {'T', GAVETEXT},
      {'A', GAVEFACE},     {'M', GAVEFROM},     {'B', GAVEBOLD},
      {'L', GAVEITALIC},   {'N', GAVEUNDER},    {'K', GAVESTRIKE},
      {'P', GAVEPICTURES}, {'Y', GAVESHOW},     {'G', GAVETARGET},
      {'Z', GAVESCREEN},   {'C', GAVECOLORS},   {'Q', GAVECNAME},
      {'J', GAVEPATCH}};
  // Options that choose what is written and cannot be given twice: a
  // second would silently replace the first.
  const unsigned once = GAVERANGE | GAVETEXT | GAVEFROM | GAVESHOW |
                        GAVETARGET | GAVESCREEN | GAVECOLORS | GAVECNAME |
                        GAVEPATCH;
  opterr = 0; // our own messages, each beginning with the program's name
  optind = 0; // a new parse: glibc and musl both start again from 0
  int ch;
  while ((ch = getopt_long(argc, argv, ":o:f:r:c:e:k:w:s:n:hV", longs,
                           nullptr)) != -1) {
    codeset cs;
    int v;
    for (const auto &g : gave) {
      if (g.first != ch) continue;
      if (o.given & g.second & once)
        return say("%s given twice", longname(longs, ch)), 2;
      o.given |= g.second;
    }
    switch (ch) {
    case 'o': // - is standard output, as for the font
      c->outpath = strcmp(optarg, "-") ? optarg : nullptr;
      break;
    case 'B':
      o.bold = 1;
      break;
    case 'L':
      o.italic = 1;
      break;
    case 'N':
      o.underline = 1;
      break;
    case 'K':
      o.strikeout = 1;
      break;
    case 'P':
      o.pictures = 1;
      break;
    case 'Y':
      c->showpath = optarg;
      o.show = 1;
      break;
    case 'G':
      if (!strcmp(optarg, "list")) {
        c->done = 1;
        return print(targetlist().c_str());
      }
      if (!(o.reader = findtarget(optarg)))
        return say("--target: unknown target '%s' (known: %s; --target list "
                   "tells their rules)",
                   optarg, targetnames()),
               2;
      break;
    case 'Z':
      if (!screenof(optarg, &o.screenw, &o.screenh))
        return say("--screen: '%s' is not WIDTHxHEIGHT, each 1 to 4096",
                   optarg),
               2;
      break;
    case 'C':
      if (!colors(optarg, o.fg, o.bg))
        return say("--colors: '%s' is not two hex colours FG,BG such as "
                   "FFFFFF,000000",
                   optarg),
               2;
      break;
    case 'Q':
      if (const char *why = cnamefault(optarg))
        return say("--c-name: '%s' %s", optarg, why), 2;
      o.cname = optarg;
      break;
    case 'M':
      if (dbcsnamed(&cs, optarg) && sbcsnamed(&cs, optarg))
        return say("--from: unknown set '%s'%s", optarg, setsknown(1)), 2;
      o.from = optarg;
      break;
    case 'A': {
      long face = number(optarg, optarg + strlen(optarg), 10, 0xFFFF);
      if (face < 0)
        return say("--face: '%s' is not a number from 0 to 65535", optarg), 2;
      o.face = static_cast<int>(face);
      break;
    }
    case 'f':
      if ((v = wordof("-f", optarg, formats)) < 0) return 2;
      o.format = FMTBDF + v;
      break;
    case 'r':
      if ((v = wordof("-r", optarg, registries)) < 0) return 2;
      o.numbering = v ? NUMNATIVE : NUMUNICODE;
      break;
    case 'c':
      if (dbcsnamed(&cs, optarg))
        return say("-c: unknown code set '%s'%s", optarg, setsknown(1)), 2;
      o.codes = optarg;
      break;
    case 'e':
      if (sbcsnamed(&cs, optarg))
        return say("-e: unknown character set '%s'%s", optarg, setsknown(0)), 2;
      o.charset = optarg;
      break;
    case 'k':
      if ((o.kind = wordof("-k", optarg, kinds)) < 0) return 2;
      break;
    case 'w':
      if ((o.width = pixels("-w", optarg)) < 0) return 2;
      break;
    case 's':
      if ((o.size = pixels("-s", optarg)) < 0) return 2;
      break;
    case 'n': // checked once the output's format is known
      o.name = optarg;
      break;
    case 'D':
      o.foundry = optarg;
      break;
    case 'U':
      o.encodedonly = 1;
      break;
    case 'T':
      c->textpath = optarg;
      break;
    case 'J':
      c->patchpath = optarg;
      break;
    case 'S':
      if ((o.scale = pixels("--scale", optarg, 16)) < 0) return 2;
      break;
    case 'R':
      if (!rangeof(optarg, &o.first, &o.last))
        return say("--range: '%s' is not FIRST-LAST, two hex codes 0-FFFF "
                   "in order",
                   optarg),
               2;
      break;
    case 'X':
      o.salvage = 1;
      break;
    case 'F':
      if ((v = wordof("--fit", optarg, fits)) < 0) return 2;
      o.fit = FITLINE + v;
      break;
    case 'I':
      o.info = 1;
      break;
    case 'h':
      c->done = 1;
      return print(usage);
    case 'V':
      c->done = 1;
      return print("dosvfont " DOSVFONT_VERSION "\n");
    case ':':
      say("option '%s' needs a value (see --help)", argv[optind - 1]);
      return 2;
    default:
      if (optopt)
        say("unknown option '-%c' (see --help)", optopt);
      else if (!ambiguous(argv[optind - 1], longs))
        say("unknown option '%s' (see --help)", argv[optind - 1]);
      return 2;
    }
  }
  if (o.reader && o.reader->singleonly && o.kind == DOUBLEBYTE) {
    say("-k double: %s draws with a single-byte font only", o.reader->name);
    return 2;
  }
  // Two fonts make a pair for a display: drawn, or checked for a reader.
  int most = o.show || (o.info && o.reader) ? 2 : 1;
  if (argc - optind > most) {
    if (most == 2)
      say("two fonts at most: '%s' is extra", argv[optind + 2]);
    else if (argc - optind == 2)
      say("one font at a time (two only with --show or --info --target): "
          "'%s' is extra",
          argv[optind + 1]);
    else
      say("one font at a time: '%s' is extra", argv[optind + 1]);
    return 2;
  }
  c->npaths = argc > optind ? argc - optind : 1;
  for (int i = 0; i < c->npaths; i++)
    c->paths[i] = optind + i < argc && strcmp(argv[optind + i], "-")
                      ? argv[optind + i]
                      : nullptr;
  // Standard input is read once, whatever reads it.
  int stdins = (c->textpath && !strcmp(c->textpath, "-")) +
               (c->showpath && !strcmp(c->showpath, "-")) +
               (c->patchpath && !strcmp(c->patchpath, "-"));
  for (int i = 0; i < c->npaths; i++) stdins += !c->paths[i];
  if (stdins > 1) {
    say("standard input can be read once: give files for all but one of the "
        "fonts, --text, --show and --patch");
    return 2;
  }
  o.nfonts = c->npaths;
  c->path = c->paths[0];
  o.path = c->path;
  o.label = c->path ? c->path : "standard input";
  o.outlabel = c->outpath ? c->outpath : "standard output";
  return 0;
}
