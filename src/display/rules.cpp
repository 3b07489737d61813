// A font checked against a reader: each rule as a line that says whether
// the font meets it and, where it does not, the option that would make it.
#include "display/rules.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "codes/codes.h"

namespace {

__attribute__((format(printf, 4, 5))) void add(std::vector<factline> *facts,
                                               int state, const char *key,
                                               const char *fmt, ...) {
  factline f;
  f.state = state;
  snprintf(f.key, sizeof f.key, "%s", key);
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(f.text, sizeof f.text, fmt, ap);
  va_end(ap);
  facts->push_back(f);
}

bool sameset(const codeset &a, const char *name, int dbcs) {
  codeset want;
  if (!name || (dbcs ? dbcsnamed(&want, name) : sbcsnamed(&want, name)))
    return true;
  if (!dbcs && isdefaultsb(&a) && isdefaultsb(&want)) return true;
  return a.type == want.type && !strcasecmp(setname(&a), setname(&want));
}

// The widths below and above w that a (w+4)/8 reader reads right.
void rowremedy(int w, char *out, size_t size) {
  int down = w - w % 8, up = down + 4;
  if (down)
    snprintf(out, size, "use -w %d or -w %d", down, up);
  else
    snprintf(out, size, "use -w %d", up);
}

void checkone(const target *t, const glyphset *gs,
              std::vector<factline> *facts) {
  const char *kind = gs->kind ? "double-byte" : "single-byte";
  int w = gs->width, h = gs->height;
  size_t bytes = gs->glyphbytes;
  int stored = (w + 7) / 8, read = (w + 4) / 8;
  if (t->singleonly && gs->kind) {
    add(facts, FACTBREAKS, "kind",
        "a double-byte font: %s draws with a single-byte font only; use -k "
        "single",
        t->name);
    // Its codes, cell and glyphs are read by no one.
    for (const char *rule : {"codes", "cell width", "glyph bytes"})
      add(facts, FACTNOTE, rule, "does not apply: %s reads no double-byte font",
          t->name);
    return;
  }
  const char *want = gs->kind ? t->dbcs : t->sbcs;
  if (!sameset(gs->codes, want, gs->kind))
    add(facts, FACTBREAKS, "codes",
        "%s font in %s: %s looks %s glyphs up by %s codes; use %s %s", kind,
        setname(&gs->codes), t->name, kind, want, gs->kind ? "-c" : "-e", want);
  else
    add(facts, FACTMET, "codes", "%s font in %s, as %s looks them up", kind,
        setname(&gs->codes), t->name);
  if (!readsrows(t, w)) {
    char remedy[64];
    rowremedy(w, remedy, sizeof remedy);
    if (!read)
      add(facts, FACTBREAKS, "cell width",
          "%d: this reader reads (w+4)/8 = no byte of each row and draws "
          "nothing; %s",
          w, remedy);
    else
      add(facts, FACTBREAKS, "cell width",
          "%d: this reader reads %d byte%s of each row's %d; %s", w, read,
          read == 1 ? "" : "s", stored, remedy);
  } else if (t->column > 1 && w % t->column) {
    add(facts, FACTBREAKS, "cell width",
        "%d: the pen advances in whole %d-pixel columns; use -w %d", w,
        t->column, (w + t->column - 1) / t->column * t->column);
  } else {
    add(facts, FACTMET, "cell width", "%d: rows of %d byte%s, read right", w,
        stored, stored == 1 ? "" : "s");
  }
  char cellfix[64];
  if (t->maxheight && h > t->maxheight)
    snprintf(cellfix, sizeof cellfix, "-s %d or less%s", t->maxheight,
             t->maxwidth && w > t->maxwidth ? " and -w 16 or less" : "");
  else
    snprintf(cellfix, sizeof cellfix, "-w %d or less: a wider glyph hangs it",
             t->maxwidth);
  if ((t->maxwidth && w > t->maxwidth) || (t->maxheight && h > t->maxheight))
    add(facts, FACTBREAKS, "cell", "%dx%d: %s draws %dx%d at most; use %s", w,
        h, t->name, t->maxwidth ? t->maxwidth : 255,
        t->maxheight ? t->maxheight : 255, cellfix);
  if (t->drawrows && h < t->drawrows)
    add(facts, FACTBREAKS, "cell height",
        "%d: %s draws %d rows of every glyph, those below a shorter one as "
        "its buffer held them; use -s %d",
        h, t->name, t->drawrows, t->drawrows);
  if (t->maxglyph && bytes > static_cast<size_t>(t->maxglyph))
    add(facts, FACTBREAKS, "glyph bytes",
        "%zu: %s refuses a font of glyphs over %d bytes (32x32) and draws "
        "nothing of it; use a smaller -s or -w",
        bytes, t->name, t->maxglyph);
  else if (t->buffer && bytes > static_cast<size_t>(t->buffer))
    add(facts, t->bufferof ? FACTNOTE : FACTBREAKS, "glyph bytes",
        "%zu: the glyph buffer of %s holds %d bytes and overflows; use a "
        "smaller -s or -w",
        bytes, t->bufferof ? t->bufferof : t->name, t->buffer);
  else if (t->sizebits && bytes >= size_t{1} << t->sizebits)
    add(facts, FACTBREAKS, "glyph bytes",
        "%zu: %s keeps a glyph's size in a byte and reads the glyphs at the "
        "wrong places; use a smaller -s or -w",
        bytes, t->name);
  else
    add(facts, FACTMET, "glyph bytes", "%zu", bytes);
  if (t->pixelbuffer) {
    long need = 2L * w * h;
    if (need > t->pixelbuffer)
      add(facts, FACTNOTE, "pixel buffer",
          "%dx%d takes %ld bytes: define HAGL_CHAR_BUFFER_SIZE as %ld or "
          "more (the default %d is too small)",
          w, h, need, need, t->pixelbuffer);
    else
      add(facts, FACTMET, "pixel buffer",
          "%dx%d takes %ld bytes, within the default HAGL_CHAR_BUFFER_SIZE "
          "of %d",
          w, h, need, t->pixelbuffer);
  }
}

const char *textof(int text) {
  switch (text) {
  case TEXTSJIS:
    return "UTF-8 to Shift_JIS by String2SJIS: a 2-byte UTF-8 character "
           "(Latin-1, Greek, Cyrillic) is dropped and damages the next "
           "character; what iconv cannot convert is code 0; 64 characters a "
           "call at most; the length in a uint8_t (a line over 255 bytes is "
           "cut to its length mod 256)";
  case TEXTBYTES:
    return "each byte of the text a code of the font: no UTF-8, so a "
           "character of more than one byte is drawn as several wrong glyphs";
  case TEXTUNICODE:
    return "each character by its Unicode value; a line feed, and a "
           "carriage return alike, goes back to x = 0 one cell lower; a call "
           "with an empty text draws code 0's glyph";
  case TEXTTABLE:
    return "UTF-8 decoded, below 0x80 the character's own code, the rest "
           "through its Unicode to Shift_JIS table (Shift_JIS but for U+00A5, "
           "U+203E, U+FF3C, U+FFE0, U+FFE1 and U+FFE2); a character without a "
           "code is skipped";
  default:
    return "the program's strings in Shift_JIS: a lead byte (81-9F, E0-FC) "
           "and the next one double-byte code, any other byte a single-byte "
           "code; a character Shift_JIS lacks cannot be written";
  }
}

const char *missingrule(const target *t) {
  switch (t->missing) {
  case PENMINUSONE:
    return "a code neither font has returns -1 into the pen's uint16_t: the "
           "rest of the line overdraws its start";
  case PENTOZERO:
    return "a glyph it cannot draw sends the pen back to x = 0";
  case PENUNSET:
    return "at a code its fonts lack the column advances by a width it "
           "never set: what follows on the line is undefined";
  case PENTOFU:
    return "a double-byte code the font lacks is drawn as 0x81A0's glyph "
           "(the box); a font without it, or no double-byte font, crashes "
           "the reader";
  default:
    return "a code the font lacks is skipped, the pen stays";
  }
}

const char *penof(int pen) {
  switch (pen) {
  case PENUINT16:
    return "the pen in a uint16_t: past x = 65535 it wraps to 0";
  case PENINT16:
    return "the pen in an int16_t: past x = 32767 it goes negative";
  case PENINT16TO0:
    return "the pen in an int16_t made 0 when negative: past x = 32767 it "
           "goes back to 0";
  default:
    return "the pen in an int";
  }
}

const char *edgeof(int edge) {
  switch (edge) {
  case EDGEWRAP:
    return "a glyph that would pass the right edge starts a row lower at "
           "x = 0";
  case EDGESTOP:
    return "the call stops at a character whose x or y is past the screen";
  default:
    return "what passes the screen's edge is clipped by the panel";
  }
}

} // namespace

void checkfonts(const target *t, const glyphset *const *fonts, int n,
                std::vector<factline> *facts) {
  add(facts, FACTNOTE, "target", "%s: %s (%s)", t->name, t->project, t->file);
  if (t->pair && n == 1)
    add(facts, FACTNOTE, "fonts",
        "one %s font: %s also reads a %s one for %s codes, and a code the "
        "font lacks %s",
        fonts[0]->kind ? "double-byte" : "single-byte", t->name,
        fonts[0]->kind ? "single-byte" : "double-byte",
        fonts[0]->kind ? "ASCII and katakana" : "the other",
        t->missing == PENMINUSONE ? "sends the pen off the line"
        : t->missing == PENTOFU   ? "is drawn as 0x81A0's glyph, or crashes "
                                    "the reader where it has no double-byte "
                                    "font"
                                  : "is not drawn");
  if (!t->pair && n > 1)
    add(facts, FACTBREAKS, "fonts", "%s draws a text with one font, not two",
        t->name);
  for (int i = 0; i < n; i++) checkone(t, fonts[i], facts);
}

void describetarget(const target *t, std::vector<factline> *facts) {
  add(facts, FACTNOTE, "target", "%s: %s (%s)", t->name, t->project, t->file);
  add(facts, FACTNOTE, "fonts", "%s",
      t->pair         ? "a single-byte font (codes below 0x100) and a "
                        "double-byte one"
      : t->singleonly ? "one single-byte font"
                      : "one font, single-byte or double-byte");
  if (t->dbcs || t->sbcs)
    add(facts, FACTNOTE, "codes", "%s%s%s%s", t->dbcs ? "double-byte " : "",
        t->dbcs ? t->dbcs : "", t->dbcs && t->sbcs ? ", single-byte " : "",
        t->sbcs ? t->sbcs : "");
  add(facts, FACTNOTE, "rows", "%s",
      t->rows == ROWSPLUS4 ? "(w+4)/8 bytes of each row read: widths whose w "
                             "mod 8 is 1, 2 or 3 come out as garbage, 1-3 "
                             "draw nothing"
                           : "(w+7)/8 bytes of each row, as stored");
  if (t->maxglyph)
    add(facts, FACTNOTE, "glyphs",
        "%d bytes at most (32x32): a font of larger glyphs is refused",
        t->maxglyph);
  if (t->buffer)
    add(facts, FACTNOTE, "glyphs",
        "a glyph buffer of %d bytes%s%s; a larger glyph overflows it",
        t->buffer, t->bufferof ? " in " : "", t->bufferof ? t->bufferof : "");
  if (t->drawrows)
    add(facts, FACTNOTE, "cell",
        "%dx%d at most, %d rows drawn, the pen in whole %d-pixel columns: "
        "widths 8 and 16",
        t->maxwidth, t->maxheight, t->drawrows, t->column);
  else if (t->maxwidth)
    add(facts, FACTNOTE, "cell",
        "%d pixels wide at most: a wider glyph never ends drawing",
        t->maxwidth);
  if (t->sizebits)
    add(facts, FACTNOTE, "glyphs",
        "a glyph's byte size kept in a byte: over 255 bytes the glyphs are "
        "read at the wrong places");
  if (t->pixelbuffer)
    add(facts, FACTNOTE, "pixel buffer",
        "HAGL_CHAR_BUFFER_SIZE bytes (default %d) must hold width x height x 2",
        t->pixelbuffer);
  add(facts, FACTNOTE, "text", "%s", textof(t->text));
  add(facts, FACTNOTE, "missing", "%s", missingrule(t));
  add(facts, FACTNOTE, "pen", "%s; %s", penof(t->pen), edgeof(t->edge));
  add(facts, FACTNOTE, "y", "%s", t->origin);
  add(facts, FACTNOTE, "source", "%s (commit %s)", t->file, t->commit);
}
