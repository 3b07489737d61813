// The warnings of a run: glyphs that lost ink to the cell, characters of
// --text a font lacks, characters the set written cannot hold.
#include "dosvfont/report.h"

#include <algorithm>
#include <cstdio>

#include "codes/codes.h"
#include "dosvfont/say.h"

namespace {

// "U+XXXX (c), ..." for up to 8 characters, and how many more.
void charlist(char *out, size_t size, const uint32_t *u, size_t named,
              size_t all) {
  size_t k = 0;
  out[0] = '\0';
  for (size_t i = 0; i < named && i < 8 && k < size; i++) {
    unsigned char utf8[5] = {0};
    uint32_t c = u[i];
    if (c < 0x80)
      utf8[0] = static_cast<unsigned char>(c);
    else if (c < 0x800)
      utf8[0] = 0xC0 | c >> 6, utf8[1] = 0x80 | (c & 63);
    else if (c < 0x10000)
      utf8[0] = 0xE0 | c >> 12, utf8[1] = 0x80 | (c >> 6 & 63),
      utf8[2] = 0x80 | (c & 63);
    else
      utf8[0] = 0xF0 | c >> 18, utf8[1] = 0x80 | (c >> 12 & 63),
      utf8[2] = 0x80 | (c >> 6 & 63), utf8[3] = 0x80 | (c & 63);
    k += static_cast<size_t>(
        snprintf(out + k, size - k, "%sU+%04X (%s)", i ? ", " : "", c, utf8));
  }
  if (all > named && k < size)
    snprintf(out + k, size - k, " and %zu more", all - named);
}

} // namespace

void warnlacking(const options *o, size_t lacking, const uint32_t *lacked) {
  if (!lacking) return;
  char list[300];
  charlist(list, sizeof list, lacked, lacking < 8 ? lacking : 8, lacking);
  say("warning: %s: %zu of the text's %zu characters are not in the font: %s",
      o->label, lacking, o->ntext, list);
}

// Says which glyphs lost ink to the cell, where, and what would keep it.
void warncut(const options *o, const source *s, const glyphset *out,
             const recodefacts *f) {
  char names[200] = "";
  size_t k = 0;
  for (size_t i = 0; i < f->named && k < sizeof names; i++) {
    k += static_cast<size_t>(snprintf(names + k, sizeof names - k,
                                      out->kind ? "%s0x%04X" : "%s0x%02X",
                                      i ? ", " : "", f->code[i]));
    if (f->uni[i] >= 0 && k < sizeof names)
      k += static_cast<size_t>(
          snprintf(names + k, sizeof names - k, " (U+%04X)", f->uni[i]));
  }
  if (f->cut > f->named && k < sizeof names)
    snprintf(names + k, sizeof names - k, " and %zu more", f->cut - f->named);
  // Without -w the width already holds the widest ink: what is cut at
  // the sides then reaches left of the origin, and no option keeps it.
  char hint[80] = "";
  if ((f->where & CUTSIDES) && o->width)
    snprintf(hint, sizeof hint, "; -w %d keeps them", std::min(f->right, 255));
  else if (!(f->where & CUTSIDES) && s->outline && s->fit == FITEM)
    snprintf(hint, sizeof hint,
             "; --fit line fits the font's line height to the cell");
  say("warning: %s: %zu glyphs lost pixels outside the %dx%d cell %s: %s%s",
      o->label, f->cut, out->width, out->height,
      f->where == CUTSIDES  ? "at the sides"
      : f->where == CUTENDS ? "at the top and bottom"
                            : "at the sides and at the top and bottom",
      names, hint);
}

// The characters of a font with a charset of its own that the set
// written cannot hold.
void warnlost(const options *o, const glyphset *out, const recodefacts *f) {
  if (!f->lost) return;
  char list[300];
  charlist(list, sizeof list, f->lostu, f->lost < 8 ? f->lost : 8, f->lost);
  say("warning: %s: %zu characters of the font have no code in %s: %s; %s "
      "chooses another set",
      o->label, f->lost, out->kind ? setname(&out->codes) : out->codes.name,
      list, out->kind ? "-c" : "-e");
}

void saynone(const options *o, size_t lacking) {
  say("%s: no glyph is in the --range or --text given", o->label);
  bool text = o->given & GAVETEXT, range = o->given & GAVERANGE;
  if (text && !o->ntext)
    say("%s: %s", o->textlabel,
        o->textbytes ? "the text holds only control characters"
                     : "the text is empty");
  else if (text && lacking >= o->ntext)
    say("%s: none of the text's %zu character%s is in the font", o->textlabel,
        o->ntext, o->ntext == 1 ? "" : "s");
  else if (range)
    say("--range %04X-%04X holds none of the %s", o->first, o->last,
        text ? "text's characters" : "font's codes");
}
