// The warnings of a run: glyphs that lost ink to the cell, characters of
// --text a font lacks, characters the set written cannot hold.
#include "dosvfont/report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codes/blocks.h"
#include "codes/codes.h"
#include "display/targets.h"
#include "dosvfont/say.h"

namespace {

// A character as UTF-8, into c (at least 5 bytes).
void utf8(char *c, uint32_t u) {
  unsigned char *p = reinterpret_cast<unsigned char *>(c);
  if (u < 0x80)
    p[0] = static_cast<unsigned char>(u), p[1] = 0;
  else if (u < 0x800)
    p[0] = 0xC0 | u >> 6, p[1] = 0x80 | (u & 63), p[2] = 0;
  else if (u < 0x10000)
    p[0] = 0xE0 | u >> 12, p[1] = 0x80 | (u >> 6 & 63), p[2] = 0x80 | (u & 63),
    p[3] = 0;
  else
    p[0] = 0xF0 | u >> 18, p[1] = 0x80 | (u >> 12 & 63),
    p[2] = 0x80 | (u >> 6 & 63), p[3] = 0x80 | (u & 63), p[4] = 0;
}

} // namespace

void charlist(char *out, size_t size, const uint32_t *u, size_t named,
              size_t all) {
  size_t k = 0;
  out[0] = '\0';
  for (size_t i = 0; i < named && i < 8 && k < size; i++) {
    char c[8];
    utf8(c, u[i]);
    k += static_cast<size_t>(
        snprintf(out + k, size - k, "%sU+%04X (%s)", i ? ", " : "", u[i], c));
  }
  if (all > named && k < size)
    snprintf(out + k, size - k, " and %zu more", all - named);
}

void warnlacking(const options *o, size_t lacking, const uint32_t *lacked,
                 size_t other, const uint32_t *otheru, int kind) {
  // In a pair the other font holds them: nothing is lost.
  if (other && !o->inpair) {
    // The characters themselves, as a user reads them: "2 5 space".
    // A space among them is named, last.
    char list[200] = "";
    size_t k = 0, named = std::min<size_t>(other, 8);
    bool space = false;
    for (size_t i = 0; i < named && k < sizeof list; i++) {
      char c[8] = "";
      if (otheru[i] == ' ') {
        space = true;
        continue;
      }
      utf8(c, otheru[i]);
      k += static_cast<size_t>(
          snprintf(list + k, sizeof list - k, "%s%s", k ? " " : "", c));
    }
    if (space && k < sizeof list)
      k += static_cast<size_t>(
          snprintf(list + k, sizeof list - k, "%sspace", k ? " " : ""));
    if (other > 8 && k < sizeof list)
      snprintf(list + k, sizeof list - k, " and %zu more", other - 8);
    if (o->reader && o->reader->singleonly && !kind)
      say("warning: %s: %zu character%s of the text %s cannot draw: it draws "
          "single-byte fonts only: %s",
          o->label, other, plural(other), o->reader->name, list);
    else
      say("warning: %s: %zu character%s belong%s in the %s font: %s", o->label,
          other, plural(other), other == 1 ? "s" : "",
          kind ? "single-byte" : "double-byte", list);
  }
  if (!lacking) return;
  char list[300];
  charlist(list, sizeof list, lacked, lacking < 8 ? lacking : 8, lacking);
  say("warning: %s: %zu of the text's %zu character%s %s not in the font: %s",
      o->label, lacking, o->ntext, o->ntext == 1 ? "" : "s",
      lacking == 1 ? "is" : "are", list);
}

// Says which glyphs lost ink to the cell, where, and what would keep it.
// Up to 8 glyphs by their output code and character: "0x8150 (U+FFE3),
// 0x41 (U+0041) and 3 more".
void glyphnames(char *names, size_t size, const glyphset *out,
                const uint32_t *code, const int32_t *uni, size_t named,
                size_t all) {
  size_t k = 0;
  names[0] = '\0';
  for (size_t i = 0; i < named && k < size; i++) {
    k += static_cast<size_t>(snprintf(names + k, size - k,
                                      out->kind ? "%s0x%04X" : "%s0x%02X",
                                      i ? ", " : "", code[i]));
    if (uni[i] >= 0 && k < size)
      k += static_cast<size_t>(
          snprintf(names + k, size - k, " (U+%04X)", uni[i]));
  }
  if (all > named && k < size)
    snprintf(names + k, size - k, " and %zu more", all - named);
}

void warnfailed(const options *o, const glyphset *out, const recodefacts *f) {
  if (!f->failed) return;
  char names[200];
  glyphnames(names, sizeof names, out, f->failcode, f->failuni,
             std::min<size_t>(f->failed, 8), f->failed);
  say("warning: %s: %zu glyph%s FreeType could not load, left blank: %s",
      o->label, f->failed, plural(f->failed), names);
}

void warnnocode(const options *o, const source *s, const recodefacts *f) {
  if (!f->nocode) return;
  char names[160] = "";
  size_t k = 0;
  for (size_t i = 0; i < std::min<size_t>(f->nocode, 8) && k < sizeof names;
       i++)
    k += static_cast<size_t>(snprintf(names + k, sizeof names - k, "%s0x%04X",
                                      i ? ", " : "", f->nocodes[i]));
  if (f->nocode > 8 && k < sizeof names)
    snprintf(names + k, sizeof names - k, " and %zu more", f->nocode - 8);
  say("warning: %s: %zu glyph%s left out, at codes that are no character "
      "of %s: %s",
      o->label, f->nocode, plural(f->nocode), setname(&s->cs), names);
}

void warncut(const options *o, const source *s, const glyphset *out,
             const recodefacts *f) {
  char names[200];
  glyphnames(names, sizeof names, out, f->code, f->uni, f->named, f->cut);
  // Without -w the width already holds the widest ink: what is cut at
  // the sides then reaches left of the origin, or is a style's, and no
  // option keeps it.
  char hint[80] = "";
  if ((f->where & CUTSIDES) && o->width)
    snprintf(hint, sizeof hint, "; -w %d keeps them", std::min(f->right, 255));
  else if (!(f->where & CUTSIDES) && s && s->outline && s->fit == FITEM)
    snprintf(hint, sizeof hint,
             "; --fit line fits the font's line height to the cell");
  say("warning: %s: %zu glyph%s lost pixels outside the %dx%d cell %s: %s%s",
      o->label, f->cut, plural(f->cut), out->width, out->height,
      f->where == CUTSIDES  ? "at the sides"
      : f->where == CUTENDS ? "at the top and bottom"
                            : "at the sides and at the top and bottom",
      names, hint);
}

// The characters of a font with a charset of its own that the set
// written cannot hold.
void blocklist(char *out, size_t size, const recodefacts *f) {
  size_t k = 0, named = 0;
  out[0] = '\0';
  for (size_t i = 0; i < f->nblocks && k < size; i++) {
    const unicodeblock *b = blockof(f->block[i]);
    char n[32];
    thousands(n, sizeof n, f->inblock[i]);
    named += f->inblock[i];
    k += static_cast<size_t>(snprintf(out + k, size - k, "%s%s %s",
                                      i ? ", " : "", b ? b->name : "unassigned",
                                      n));
  }
  if (f->lost > named && k < size) {
    char n[32];
    thousands(n, sizeof n, f->lost - named);
    snprintf(out + k, size - k, ", others %s", n);
  }
}

void warnlost(const options *o, const source *s, const glyphset *out,
              const recodefacts *f) {
  if (!f->lost) return;
  char n[32], blocks[300];
  thousands(n, sizeof n, f->lost);
  blocklist(blocks, sizeof blocks, f);
  const char *set = out->kind ? setname(&out->codes) : out->codes.name;
  // What keeps them: Unicode codes for a double-byte font, whose codes
  // stop at U+FFFF; the font's own charset for a single-byte one.
  char remedy[96];
  if (out->kind && out->codes.type != SETUNICODE)
    snprintf(remedy, sizeof remedy, "-c unicode keeps them");
  else if (out->kind)
    snprintf(remedy, sizeof remedy, "FONTX2's codes stop at U+FFFF");
  else if (s->cs.type == SETBYTE && strcmp(s->cs.name, out->codes.name))
    snprintf(remedy, sizeof remedy, "without -e, the font's own %s keeps them",
             s->cs.name);
  else
    snprintf(remedy, sizeof remedy, "-e chooses another set");
  say("warning: %s: %s character%s not in %s (%s): %s", o->label, n,
      f->lost == 1 ? "" : "s", set, blocks, remedy);
}

void saynone(const options *o, size_t lacking, size_t other, int kind) {
  say("%s: no glyph is in the --range or --text given", o->label);
  bool text = o->given & GAVETEXT, range = o->given & GAVERANGE;
  if (text && !o->ntext)
    say("%s: %s", o->textlabel,
        o->textbytes ? "the text holds only control characters"
                     : "the text is empty");
  else if (text && other && other + lacking >= o->ntext)
    say("%s: %s %zu character%s belong%s in the %s font", o->textlabel,
        lacking ? "of the text's, only" : "the text's", other,
        other == 1 ? "" : "s", other == 1 ? "s" : "",
        kind ? "single-byte" : "double-byte");
  else if (text && lacking >= o->ntext)
    say("%s: none of the text's %zu character%s is in the font", o->textlabel,
        o->ntext, o->ntext == 1 ? "" : "s");
  else if (range)
    say("--range %04X-%04X holds none of the %s", o->first, o->last,
        text ? "text's characters" : "font's codes");
}

void picturelist(const recodefacts *f, char *list, size_t size) {
  size_t k = 0;
  *list = '\0';
  for (size_t i = 0; i < f->nopics && i < 24 && k < size; i++) {
    char c[8];
    utf8(c, f->nopic[i]);
    k += static_cast<size_t>(snprintf(list + k, size - k, "%s%s (U+%04X)",
                                      i ? ", " : "", c, f->nopic[i]));
  }
}

void warnpictures(const options *o, const recodefacts *f) {
  if (!f->nopics) return;
  char list[300];
  picturelist(f, list, sizeof list);
  say("warning: %s: %zu control-byte picture%s not in the font, left blank: "
      "%s",
      o->label, f->nopics, plural(f->nopics), list);
}
