// --show and --info --target. The fonts are made by the pipeline exactly
// as -f fontx2 would make them, but kept in memory; a FONTX2 font is taken
// as it stands, as its reader will have it. One font that yields both
// kinds (a CJK font) makes the pair a Japanese display loads, as the two
// -k runs would.
#include "dosvfont/show.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codes/codes.h"
#include "display/layout.h"
#include "display/reader.h"
#include "display/rules.h"
#include "display/screen.h"
#include "dosvfont/info.h"
#include "dosvfont/make.h"
#include "dosvfont/pipeline.h"
#include "dosvfont/report.h"
#include "dosvfont/say.h"
#include "fontx/fontxset.h"
#include "io/stream.h"

namespace {

// The fonts' glyph sets, made; k holds them. Returns the exit status.
int makeall(const options *o, const fontinput *fonts, int n, keeper *k) {
  // Without --text or --range, only the glyphs the text reaches are drawn,
  // in the cells the whole font has: the picture is the same, made in a
  // fraction of the time. The box stands for a character a reader lacks.
  std::vector<uint32_t> reached;
  if (o->show && !(o->given & (GAVETEXT | GAVERANGE))) {
    utf8decode(o->showtext, o->showbytes, &reached);
    reached.push_back(0x25A1);
    std::sort(reached.begin(), reached.end());
    reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
  }
  for (int i = 0; i < n; i++) {
    options m = *o;
    m.path = fonts[i].path, m.label = fonts[i].label;
    m.keep = k, m.info = 0, m.format = FMTPNG;
    bool fontx2 = fonts[i].n >= 6 && !memcmp(fonts[i].data, "FONTX2", 6);
    if (!reached.empty() && !fontx2)
      m.showonly = 1, m.text = reached.data(), m.ntext = reached.size();
    // Of a FONTX2 pair, -c names the double-byte font's set and -e the
    // single-byte font's, --from the set of the font of its kind.
    if (n == 2 && fontx2 && fonts[i].n > 16) {
      bool dbl = fonts[i].data[16] == 1;
      if (dbl) m.charset = nullptr, m.given &= ~GAVECHARSET;
      if (!dbl) m.codes = nullptr, m.given &= ~GAVECODES;
      codeset cs;
      if (m.from && (dbl ? dbcsnamed(&cs, m.from) : sbcsnamed(&cs, m.from)))
        m.from = nullptr, m.given &= ~GAVEFROM;
    }
    // A CJK font makes the pair a reader of pairs (or none) loads.
    m.pairs = n == 1 && !fontx2 && o->kind == ANYKIND &&
              (!o->reader || o->reader->pair);
    if (int status = runfont(&m, fonts[i].data, fonts[i].n)) return status;
  }
  bool cp932 = false;
  for (int i = 0; i < k->n; i++)
    cp932 |= !k->sets[i].kind && isdefaultsb(&k->sets[i].codes);
  if (o->pictures && !cp932) {
    say("--control-pictures applies to single-byte fonts written in CP932's "
        "single bytes (the default; not with -e)");
    return 2;
  }
  if (k->n == 2 && k->sets[0].kind == k->sets[1].kind) {
    say("two %s fonts: give a single-byte and a double-byte one",
        k->sets[0].kind ? "double-byte" : "single-byte");
    return 2;
  }
  return 0;
}

// Up to 16 characters, each as itself where it prints, a space between,
// and an ellipsis with the count where there are more.
std::string charsof(const std::vector<uint32_t> &u) {
  std::string s;
  for (size_t i = 0; i < u.size() && i < 16; i++) {
    char c[16];
    if (u[i] < 0x20 || (u[i] >= 0x7F && u[i] < 0xA0))
      snprintf(c, sizeof c, "U+%04X", u[i]);
    else
      c[utf8encode(u[i], reinterpret_cast<unsigned char *>(c))] = '\0';
    s += (i ? " " : "") + std::string(c);
  }
  if (u.size() > 16) s += " ... (" + std::to_string(u.size()) + " in all)";
  return s;
}

// The readers that draw double-byte fonts, for a reader that draws none.
std::string pairreaders() {
  std::string s;
  for (const target *t = targets; t->name; t++)
    if (t->pair) s += (s.empty() ? "" : ", ") + std::string(t->name);
  return s;
}

// Every character the reader cannot draw, why and what it draws instead,
// and what else it did that the picture does not make plain, in one note.
void readernote(const target *t, const readerfacts *f, const char *label) {
  std::string what;
  auto add = [&](const std::string &part) {
    what += (what.empty() ? "" : "; ") + part;
  };
  char part[200];
  const auto &wrong = f->faulty[FAULTWRONG];
  if (!wrong.empty()) {
    snprintf(part, sizeof part, " not drawable (drawn as %zu wrong glyph%s)",
             f->wrongglyphs, plural(f->wrongglyphs));
    add((t->text == TEXTBYTES ? "each byte of the text is a single-byte "
                                "code: "
                              : "drawn as other characters: ") +
        charsof(wrong) + part);
  }
  const auto &lost = f->faulty[FAULTLOST];
  if (!lost.empty())
    add(charsof(lost) +
        (t->text == TEXTSHIFTJIS ? " not in Shift_JIS: a program's string "
                                   "cannot hold them"
         : t->text == TEXTTABLE  ? " not in its Unicode to Shift_JIS table: "
                                   "skipped"
                                 : " lost by its UTF-8 conversion"));
  const auto &missing = f->faulty[FAULTMISSING];
  if (!missing.empty())
    add(charsof(missing) + " in no font it looks them up in" +
        (t->missing == PENMINUSONE ? " (the pen goes to x = 65535: the rest "
                                     "of the line overdraws its start)"
         : t->missing == PENTOZERO ? " (the pen goes back to x = 0)"
         : t->missing == PENUNSET  ? " (the column then advances by a width "
                                     "it never set: the rest of the line is "
                                     "undefined)"
                                   : " (skipped)"));
  if (!f->faulty[FAULTTOFU].empty())
    add(charsof(f->faulty[FAULTTOFU]) +
        " in no font: drawn as 0x81A0's glyph (the box)");
  auto count = [&](size_t n, const char *fmt) {
    if (!n) return;
    snprintf(part, sizeof part, fmt, n, plural(n));
    add(part);
  };
  count(f->dropped - std::min(f->dropped, f->times[FAULTLOST]),
        "%zu more character%s damaged by its UTF-8 conversion");
  count(f->cut, "%zu line%s cut short");
  count(f->overflows, "%zu glyph%s larger than its glyph buffer");
  count(f->stopped, "%zu line%s stopped at the screen's edge");
  count(f->hidden, "%zu line%s below the screen");
  if (what.empty()) return;
  if (!t->pair && !wrong.empty())
    what += "; " + pairreaders() + " draw double-byte fonts";
  say("note: %s: as %s draws it: %s", label, t->name, what.c_str());
}

} // namespace

int runshow(const options *o, const fontinput *fonts, int n) {
  keeper k = keeper();
  int status = makeall(o, fonts, n, &k);
  if (!status && o->reader && !o->reader->pair && k.n > 1) {
    say("%s draws a text with one font: give one", o->reader->name);
    status = 2;
  }
  if (status) {
    keepfree(&k);
    return status;
  }
  drawfont df[2];
  const drawfont *single = nullptr, *dbl = nullptr;
  int height = 0;
  for (int i = 0; i < k.n; i++) {
    fontopen(&df[i], &k.sets[i]);
    (k.sets[i].kind ? dbl : single) = &df[i];
    height = std::max(height, k.sets[i].height);
  }
  screen sc;
  screenopen(&sc, o->screenw, o->screenh);
  const char *label = o->showlabel;
  if (o->reader) {
    const target *t = o->reader;
    readerfonts rf = {single, dbl, height};
    readerfacts f = readerfacts();
    readertext(t, &rf, o->showtext, o->showbytes, &sc, &f);
    readernote(t, &f, label);
  } else {
    layoutfacts f;
    layouttext(single, dbl, o->showtext, o->showbytes, &sc, &f);
    if (f.missing) {
      char list[400];
      charlist(list, sizeof list, f.missed.data(), f.missed.size(), f.kinds);
      say("warning: %s: %zu character%s in neither font, drawn as empty "
          "cells: %s",
          label, f.kinds, plural(f.kinds), list);
    }
    if (f.left)
      say("note: %s: %zu of %zu line%s do not fit the %dx%d screen: left out",
          label, f.left, f.lines, plural(f.lines), o->screenw, o->screenh);
  }
  char why[160];
  if (screenpng(&sc, o->scale ? o->scale : 1, o->fg, o->bg, why, sizeof why)) {
    say("%s: %s", label, why);
    status = 1;
  }
  keepfree(&k);
  if (!status && sflush(&output)) {
    say("cannot write %s: %s", o->outlabel, strerror(output.err));
    status = 1;
  }
  return status;
}

int runtargetinfo(const options *o, const fontinput *fonts, int n) {
  keeper k = keeper();
  int status = makeall(o, fonts, n, &k);
  if (!status) {
    const glyphset *sets[2] = {&k.sets[0], &k.sets[1]};
    for (int i = 0; i < k.n; i++) {
      const glyphset &gs = k.sets[i];
      fact("font: %s", k.labels[i]);
      fact("written: %s FONTX2 in %s, %dx%d, %zu glyph%s",
           gs.kind ? "double-byte" : "single-byte", setname(&gs.codes),
           gs.width, gs.height, gs.glyphs, plural(gs.glyphs));
      fact("bytes: %zu", fontxbytes(&gs));
    }
    std::vector<factline> facts;
    checkfonts(o->reader, sets, k.n, &facts);
    for (const auto &f : facts)
      fact("%s: %s%s", f.key,
           f.state == FACTMET      ? "ok: "
           : f.state == FACTBREAKS ? "fails: "
                                   : "",
           f.text);
    keepfree(&k);
    if (sflush(&output)) {
      say("cannot write %s: %s", o->outlabel, strerror(output.err));
      return 1;
    }
    // A script checks a font before flashing it by the status.
    return std::any_of(facts.begin(), facts.end(),
                       [](const factline &f) { return f.state == FACTBREAKS; });
  }
  keepfree(&k);
  return status;
}
