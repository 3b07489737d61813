// Which options apply to a run: each option's condition, as its message
// states it, and the values -n and --foundry may take in each format.
#include "dosvfont/checks.h"

#include <cstring>

#include "dosvfont/say.h"

namespace {

bool printable(const char *s, size_t most, const char *banned) {
  size_t n = strlen(s);
  if (!n || n > most) return false;
  for (; *s; s++)
    if (*s < 0x20 || *s > 0x7E || strchr(banned, *s)) return false;
  return true;
}

const struct {
  unsigned bit;
  const char *name;
} names[] = {
    {GAVEFORMAT, "-f"},
    {GAVEREGISTRY, "-r"},
    {GAVECODES, "-c"},
    {GAVECHARSET, "-e"},
    {GAVEKIND, "-k"},
    {GAVEWIDTH, "-w"},
    {GAVESIZE, "-s"},
    {GAVEFIT, "--fit"},
    {GAVENAME, "-n"},
    {GAVEFOUNDRY, "--foundry"},
    {GAVEENCODED, "--encoded-only"},
    {GAVESCALE, "--scale"},
    {GAVERANGE, "--range"},
    {GAVETEXT, "--text"},
    {GAVESALVAGE, "--salvage"},
    {GAVEFACE, "--face"},
    {GAVEFROM, "--from"},
    {GAVEBOLD, "--bold"},
    {GAVEITALIC, "--italic"},
    {GAVEUNDER, "--underline"},
    {GAVESTRIKE, "--strikeout"},
    {GAVEPICTURES, "--control-pictures"},
    {GAVESHOW, "--show"},
    {GAVETARGET, "--target"},
    {GAVESCREEN, "--screen"},
    {GAVECOLORS, "--colors"},
    {GAVECNAME, "--c-name"},
};

// When the option of bit applies, as its message says it; null when it
// applies to this job.
const char *applieswhen(unsigned bit, const options *o, const job *s) {
  bool bdf = o->format == FMTBDF, fontx2 = fontxout(o->format);
  const char *jis = "does not apply to dosv2bdf's text (-r native of a "
                    "Shift_JIS or JIS X 0201 font)";
  if (o->info) {
    unsigned takes = GAVECODES | GAVECHARSET | GAVETEXT | GAVEFROM | GAVEBOLD |
                     GAVEITALIC | GAVEUNDER | GAVESTRIKE | GAVEPICTURES |
                     GAVERANGE | GAVETARGET;
    if (!s->fontx2)
      takes |= GAVESIZE | GAVEFIT | GAVEKIND | GAVEWIDTH | GAVEFACE;
    if (!(takes & bit)) return "does not apply to --info";
  }
  switch (bit) {
  case GAVEREGISTRY:
    return bdf ? nullptr : "applies when BDF is written";
  case GAVECODES:
    return s->kind != 0 ? nullptr : "applies to double-byte fonts";
  case GAVECHARSET:
    return s->kind != 1 ? nullptr : "applies to single-byte fonts";
  case GAVEKIND:
  case GAVEWIDTH:
    return s->recoded || o->info ? nullptr : "applies when FONTX2 is written";
  case GAVESIZE:
  case GAVEFACE:
    return !s->fontx2 ? nullptr : "applies to fonts other than FONTX2";
  case GAVEFIT:
    return s->rendered ? nullptr : "applies when an outline font is rendered";
  case GAVENAME:
    if (s->jistext) return jis;
    return bdf || fontx2 || o->info
               ? nullptr
               : "applies when BDF, FONTX2 or C source is written";
  case GAVEFOUNDRY:
  case GAVEENCODED:
    if (s->jistext) return jis;
    return bdf ? nullptr : "applies when BDF is written";
  case GAVESCALE:
    return o->format == FMTPNG
               ? nullptr
               : "applies when a PNG picture is written (a proof sheet, "
                 "--show)";
  case GAVETARGET:
    return o->show || o->info || o->keep || fontx2
               ? nullptr
               : "applies to --show, --info and "
                 "FONTX2 or C source written";
  case GAVESCREEN:
  case GAVECOLORS:
    return o->show ? nullptr : "applies to --show";
  case GAVECNAME:
    return o->format == FMTC ? nullptr : "applies when C source is written";
  case GAVERANGE:
  case GAVETEXT:
  case GAVEBOLD:
  case GAVEITALIC:
  case GAVEUNDER:
  case GAVESTRIKE:
    return s->jistext ? jis : nullptr;
  case GAVEPICTURES:
    if (s->jistext) return jis;
    // --show and --info --target apply it to the single-byte font of a
    // pair; they say so when no font takes it.
    return s->cp932 || o->info || o->keep
               ? nullptr
               : "applies to single-byte fonts written in CP932's "
                 "single bytes (the default; not with -e)";
  case GAVESALVAGE:
  case GAVEFROM:
    return s->fontx2 ? nullptr : "applies to FONTX2 input";
  default:
    return nullptr;
  }
}

} // namespace

int checkoptions(const options *o, const job *s) {
  for (const auto &n : names) {
    const char *w = (o->given & n.bit) ? applieswhen(n.bit, o, s) : nullptr;
    if (w) {
      say("%s %s", n.name, w);
      return 2;
    }
  }
  if (o->info) return 0;
  // A FONTX2 name is 8 bytes of printable ASCII; a BDF family or foundry
  // is a field of the font's XLFD name and a quoted property.
  if (o->name && fontxout(o->format) && !printable(o->name, 8, "")) {
    say("-n: '%s' is not 1 to 8 printable ASCII characters", o->name);
    return 2;
  }
  const char *bad = o->format != FMTBDF                           ? nullptr
                    : o->name && !printable(o->name, 31, "-*?\"") ? "-n"
                    : o->foundry && !printable(o->foundry, 31, "-*?\"")
                        ? "--foundry"
                        : nullptr;
  if (bad) {
    say("%s: '%s' is not 1 to 31 printable ASCII characters without - * ? "
        "or \"",
        bad, bad[1] == 'n' ? o->name : o->foundry);
    return 2;
  }
  return 0;
}
