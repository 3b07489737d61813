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
  if (t->singleonly && gs->kind)
    add(facts, FACTBREAKS, "kind",
        "a double-byte font: %s draws with a single-byte font only; use -k "
        "single",
        t->name);
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
  if ((t->maxwidth && w > t->maxwidth) || (t->maxheight && h > t->maxheight))
    add(facts, FACTBREAKS, "cell",
        "%dx%d: %s draws %dx%d at most; use -s %d or less%s", w, h, t->name,
        t->maxwidth, t->maxheight, t->maxheight,
        t->maxwidth && w > t->maxwidth ? " and -w 16 or less" : "");
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
        t->pen == PENMINUSONE ? "sends the pen off the line" : "is not drawn");
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
  if (t->maxwidth)
    add(facts, FACTNOTE, "cell",
        "%dx%d at most, %d rows drawn, the pen in whole %d-pixel columns: "
        "widths 8 and 16",
        t->maxwidth, t->maxheight, t->drawrows, t->column);
  if (t->sizebits)
    add(facts, FACTNOTE, "glyphs",
        "a glyph's byte size kept in a byte: over 255 bytes the glyphs are "
        "read at the wrong places");
  if (t->pixelbuffer)
    add(facts, FACTNOTE, "pixel buffer",
        "HAGL_CHAR_BUFFER_SIZE bytes (default %d) must hold width x height x 2",
        t->pixelbuffer);
  add(facts, FACTNOTE, "text", "%s",
      t->text == TEXTSJIS
          ? "UTF-8 to Shift_JIS by String2SJIS: a 2-byte UTF-8 character "
            "(Latin-1, Greek, Cyrillic) is dropped and damages the next "
            "character; what iconv cannot convert is code 0; 64 characters a "
            "call at most; the length in a uint8_t (a line over 255 bytes is "
            "cut to its length mod 256)"
      : t->text == TEXTBYTES
          ? "each byte of the text a code of the font: no UTF-8"
          : "each character by its Unicode value; a line feed, and a "
            "carriage return alike, goes back to x = 0 one cell lower");
  add(facts, FACTNOTE, "missing", "%s",
      t->pen == PENMINUSONE
          ? "a code neither font has returns -1 into the pen's uint16_t: the "
            "rest of the line overdraws its start"
      : t->pen == PENTOZERO ? "a glyph it cannot draw sends the pen back to "
                              "x = 0"
                            : "a code the font lacks is skipped, the pen "
                              "stays");
}
