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
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "bdfset.h"
#include "codes.h"
#include "files.h"
#include "pipeline.h"
#include "source.h"
#include "stream.h"

#ifndef DOSVFONT_VERSION
#define DOSVFONT_VERSION "unknown"
#endif

namespace {

const char usage[] =
    "usage: dosvfont [OPTIONS] [FONT]\n"
    "Converts FONT (standard input when absent or -): FONTX2 to BDF, any\n"
    "font FreeType reads (BDF, PCF, OpenType, TrueType) to FONTX2, any font\n"
    "to a PNG proof sheet.\n"
    "\n"
    "  -o, --output=FILE     write FILE (replaced only on success)\n"
    "  -f, --format=FORMAT   bdf, fontx2 or png (a proof sheet); default\n"
    "                        from FILE's extension, else bdf for FONTX2\n"
    "                        input, fontx2 for others\n"
    "  -c, --codes=SET       double-byte codes: sjis, sjis2004, unicode or an\n"
    "                        iconv name (FONTX2 read: guessed; written: sjis)\n"
    "  -e, --charset=NAME    single-byte charset, an iconv name; default\n"
    "                        CP932: ASCII and JIS X 0201 katakana\n"
    "  -r, --registry=R      BDF numbering: unicode (default) or native\n"
    "  -k, --kind=KIND       FONTX2 written: single or double; default from\n"
    "                        the font\n"
    "  -w, --width=N         FONTX2 written: the cell width, 1-255\n"
    "  -s, --size=N          the strike of N pixels, or render an outline\n"
    "                        font N pixels high\n"
    "      --fit=RULE        an outline scaled into the cell: line (the\n"
    "                        Windows line height fills it; default for\n"
    "                        Japanese, Chinese, Korean fonts) or em (the\n"
    "                        em square fills it; default for others)\n"
    "  -n, --name=NAME       FONTX2 written: its name, 1-8 characters;\n"
    "                        BDF: its family, 1-31 characters\n"
    "      --foundry=NAME    BDF: its foundry, 1-31 characters\n"
    "      --encoded-only    BDF: only the glyphs that have a code point\n"
    "      --scale=N         PNG: each pixel as N x N (1-16)\n"
    "      --range=A-B       only the codes A to B (hexadecimal): a FONTX2\n"
    "                        input's own, else those of the FONTX2 written\n"
    "      --text=FILE       only the characters of a UTF-8 text (- for\n"
    "                        standard input)\n"
    "      --info            describe FONT instead of converting it\n"
    "      --salvage         write what a truncated FONTX2 font still has\n"
    "                        (missing bytes as 0xFF), and exit 1\n"
    "  -h, --help            show this help\n"
    "  -V, --version         show the version\n";

// A usage error: the line has been said; status 2.
#define USAGE(...) (say(__VA_ARGS__), exit(2))

int pick(const char *opt, const char *value, const char *const *words) {
  for (int i = 0; words[i]; i++)
    if (!strcasecmp(value, words[i])) return i;
  USAGE("%s: unknown value '%s' (see --help)", opt, value);
}

// A number written in digits of the base and nothing else (no sign, no
// space, no prefix), at most max; -1 otherwise.
long number(const char *s, const char *e, int base, long max) {
  long v = 0;
  if (s == e) return -1;
  for (; s < e; s++) {
    int d = isdigit(static_cast<unsigned char>(*s)) ? *s - '0'
            : base == 16 && isxdigit(static_cast<unsigned char>(*s))
                ? (tolower(static_cast<unsigned char>(*s)) - 'a' + 10)
                : -1;
    if (d < 0 || (v = v * base + d) > max) return -1;
  }
  return v;
}

// A whole number of pixels from 1 to max (255, the range of a FONTX2 cell).
int pixels(const char *opt, const char *value, int max = 255) {
  long v = number(value, value + strlen(value), 10, max);
  if (v < 1) USAGE("%s: '%s' is not a number from 1 to %d", opt, value, max);
  return static_cast<int>(v);
}

// The distinct characters of a UTF-8 text, control characters aside. 0,
// or 1 after saying why it cannot be read.
int readtext(const char *path, std::vector<uint32_t> *chars) {
  const char *label = path ? path : "standard input";
  inbuf t;
  if (int err = sload(path, &t, MAXINPUT)) {
    say("cannot read %s: %s", label, strerror(err));
    return 1;
  }
  size_t bad = utf8chars(t.data, t.n, chars);
  sunload(&t);
  if (bad) {
    say("%s: not UTF-8 text (byte %zu)", label, bad - 1);
    return 1;
  }
  return 0;
}

// Standard output for --help and --version, whose failures count too.
int print(const char *text) {
  fputs(text, stdout);
  if (fflush(stdout) || ferror(stdout)) {
    say("cannot write standard output: %s", strerror(errno));
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  options o = {};
  o.numbering = UNICODE;
  o.kind = -1;
  o.last = 0xFFFF;
  const char *outpath = nullptr;
  static const option longs[] = {{"output", required_argument, nullptr, 'o'},
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
                                 {"help", no_argument, nullptr, 'h'},
                                 {"version", no_argument, nullptr, 'V'},
                                 {nullptr, 0, nullptr, 0}};
  static const char *const formats[] = {"bdf", "fontx2", "png", nullptr};
  static const char *const registries[] = {"unicode", "native", nullptr};
  static const char *const kinds[] = {"single", "double", nullptr};
  static const char *const fits[] = {"line", "em", nullptr};
  opterr = 0; // our own messages, each beginning with the program's name
  const char *textpath = nullptr;
  int c;
  while ((c = getopt_long(argc, argv, ":o:f:r:c:e:k:w:s:n:hV", longs,
                          nullptr)) != -1) {
    codeset cs;
    o.given |= c == 'f'   ? GAVEF
               : c == 'r' ? GAVER
               : c == 'c' ? GAVEC
               : c == 'e' ? GAVEE
               : c == 'k' ? GAVEK
               : c == 'w' ? GAVEW
               : c == 's' ? GAVES
               : c == 'n' ? GAVEN
               : c == 'S' ? GAVESCALE
               : c == 'R' ? GAVERANGE
               : c == 'F' ? GAVEFIT
               : c == 'X' ? GAVESALVAGE
               : c == 'D' ? GAVEFOUNDRY
               : c == 'U' ? GAVEENCODED
               : c == 'T' ? GAVETEXT
                          : 0u;
    switch (c) {
    case 'o':
      outpath = optarg;
      break;
    case 'f':
      o.format = FMTBDF + pick("-f", optarg, formats);
      break;
    case 'r':
      o.numbering = pick("-r", optarg, registries) ? NATIVE : UNICODE;
      break;
    case 'c':
      if (dbcsnamed(&cs, optarg)) USAGE("-c: unknown code set '%s'", optarg);
      o.codes = optarg;
      break;
    case 'e':
      if (sbcsnamed(&cs, optarg))
        USAGE("-e: unknown character set '%s'", optarg);
      o.charset = optarg;
      break;
    case 'k':
      o.kind = pick("-k", optarg, kinds);
      break;
    case 'w':
      o.width = pixels("-w", optarg);
      break;
    case 's':
      o.size = pixels("-s", optarg);
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
      textpath = optarg;
      break;
    case 'S':
      o.scale = pixels("--scale", optarg, 16);
      break;
    case 'R': {
      const char *dash = strchr(optarg, '-');
      long first = dash ? number(optarg, dash, 16, 0xFFFF) : -1;
      long last = dash ? number(dash + 1, dash + strlen(dash), 16, 0xFFFF) : -1;
      if (first < 0 || last < first)
        USAGE("--range: '%s' is not FIRST-LAST, two hex codes 0-FFFF in "
              "order",
              optarg);
      o.first = static_cast<unsigned>(first);
      o.last = static_cast<unsigned>(last);
      break;
    }
    case 'X':
      o.salvage = 1;
      break;
    case 'F':
      o.fit = FITLINE + pick("--fit", optarg, fits);
      break;
    case 'I':
      o.info = 1;
      break;
    case 'h':
      return print(usage);
    case 'V':
      return print("dosvfont " DOSVFONT_VERSION "\n");
    case ':':
      USAGE("option '%s' needs a value (see --help)", argv[optind - 1]);
    default:
      if (optopt) USAGE("unknown option '-%c' (see --help)", optopt);
      USAGE("unknown option '%s' (see --help)", argv[optind - 1]);
    }
  }
  if (argc - optind > 1)
    USAGE("one font at a time: '%s' is extra", argv[optind + 1]);
  const char *path =
      optind < argc && strcmp(argv[optind], "-") ? argv[optind] : nullptr;
  if (!path && isatty(0))
    USAGE("no font given and standard input is a terminal (see --help)");
  o.path = path;
  o.label = path ? path : "standard input";
  o.outlabel = outpath ? outpath : "standard output";
  std::vector<uint32_t> text;
  if (textpath) {
    bool fromstdin = !strcmp(textpath, "-");
    if (fromstdin && !path)
      USAGE("--text -: standard input is the font; give the font a file");
    if (int st = readtext(fromstdin ? nullptr : textpath, &text)) return st;
    o.text = text.data();
    o.ntext = text.size();
  }

  inbuf in;
  int err = sload(path, &in, MAXINPUT);
  if (err == EFBIG) {
    say("%s: larger than %zu MiB, the most dosvfont reads", o.label,
        size_t{MAXINPUT} >> 20);
    return 1;
  }
  if (err) {
    say("cannot read %s: %s", o.label, strerror(err));
    return 1;
  }
  o.format = formatof(&o, outpath, in.data, in.n);
  if (o.format != FMTBDF && !o.info && !outpath && isatty(1))
    USAGE("will not write a binary font to a terminal; use -o FILE or a "
          "redirection");

  outfile out;
  if ((err = outopen(&out, outpath))) {
    say("cannot write %s: %s", o.outlabel, strerror(err));
    sunload(&in);
    return 1;
  }
  soutfd(&output, out.fd);
  bool keep = false;
  int status = runfont(&o, in.data, in.n, &keep);
  sunload(&in);
  if ((err = outdone(&out, status == 0 || keep))) {
    say("cannot write %s: %s", o.outlabel, strerror(err));
    status = 1;
  }
  return status;
}
