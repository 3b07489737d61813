// BDF text: the foundry name, the headers, the glyph records, and the
// whole font as dosv2bdf writes it from a FONTX2 stream.
#include "writers/bdf.h"

#include <cstring>

#include "codes/sjis.h"
#include "io/stream.h"

void copyname(char *dst, const unsigned char *fontname) {
  int n = 0;
  for (int i = 0; i < 8 && fontname[i]; i++) {
    unsigned char c = fontname[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c == ' ' || c == '-' || c < 0x20 || c == 0x7F) continue;
    dst[n++] = static_cast<char>(c);
  }
  dst[n] = '\0';
  if (dst[0] >= 'a' && dst[0] <= 'z') dst[0] = static_cast<char>(dst[0] - 32);
}

static char *strprop(char *o, const char *name, const char *value) {
  o = putstr(o, name);
  o = putlit(o, " \"");
  o = putstr(o, value);
  return putlit(o, "\"\n");
}

// A string property whose value may hold double quotes: BDF writes each
// one twice.
static char *quotedprop(char *o, const char *name, const char *value) {
  o = putstr(o, name);
  o = putlit(o, " \"");
  for (const char *v = value; *v; v++) {
    if (*v == '"') *o++ = '"';
    *o++ = *v;
  }
  return putlit(o, "\"\n");
}

static char *intprop(char *o, const char *name, int32_t value) {
  o = putstr(o, name);
  *o++ = ' ';
  o = putd(o, value);
  *o++ = '\n';
  return o;
}

void bdfheader(int width, int height, int32_t defchar, const char *foundry,
               int codetype) {
  const char *registry =
      codetype == DOUBLEBYTE ? "JISX0208.1983" : "JISX0201.1976";
  int32_t w = width, h = height;
  char *o = sroom(&output, 2048);

  o = putlit(o, "STARTFONT 2.1\nCOMMENT\nFONT -");
  o = putstr(o, foundry);
  o = putlit(o, "-Fixed-Medium-R-Normal--");
  o = putd(o, h);
  *o++ = '-';
  o = putd(o, 10 * h - 10);
  o = putlit(o, "-75-75-C-");
  o = putd(o, 10 * w);
  *o++ = '-';
  o = putstr(o, registry);
  o = putlit(o, "-0\nSIZE ");
  o = putd(o, w);
  o = putlit(o, " 75 75\nFONTBOUNDINGBOX ");
  o = putd(o, w);
  *o++ = ' ';
  o = putd(o, h);
  o = putlit(o, " 0 -2\nSTARTPROPERTIES 18\n");

  o = strprop(o, "FONTNAME_REGISTRY", "");
  o = quotedprop(o, "FOUNDRY", foundry);
  o = strprop(o, "FAMILY_NAME", "Fixed");
  o = strprop(o, "WEIGHT_NAME", "Medium");
  o = strprop(o, "SLANT", "R");
  o = strprop(o, "SETWIDTH_NAME", "Normal");
  o = strprop(o, "ADD_STYLE_NAME", "");
  o = intprop(o, "PIXEL_SIZE", h);
  o = intprop(o, "POINT_SIZE", 10 * h - 10);
  o = intprop(o, "RESOLUTION_X", 75);
  o = intprop(o, "RESOLUTION_Y", 75);
  o = strprop(o, "SPACING", "C");
  o = intprop(o, "AVERAGE_WIDTH", 10 * w);
  o = strprop(o, "CHARSET_REGISTRY", registry);
  o = strprop(o, "CHARSET_ENCODING", "0");
  o = intprop(o, "DEFAULT_CHAR", defchar);
  o = intprop(o, "FONT_DESCENT", 2);
  o = intprop(o, "FONT_ASCENT", h - 2);
  o = putlit(o, "ENDPROPERTIES\n");
  sput(&output, o);
}

void xlfdheader(const xlfd *x) {
  int32_t w = x->width, h = x->height;
  int32_t point = (1440 * h + 75) / 150; // 720 * h / 75, halves up
  char *o = sroom(&output, 2048);
  o = putlit(o, "STARTFONT 2.1\nFONT -");
  o = putstr(o, x->foundry);
  *o++ = '-';
  o = putstr(o, x->family);
  o = putlit(o, "-Medium-R-Normal--");
  o = putd(o, h);
  *o++ = '-';
  o = putd(o, point);
  o = putlit(o, "-75-75-C-");
  o = putd(o, 10 * w);
  *o++ = '-';
  o = putstr(o, x->registry);
  *o++ = '-';
  o = putstr(o, x->encoding);
  o = putlit(o, "\nSIZE ");
  o = putd(o, (point + 5) / 10);
  o = putlit(o, " 75 75\nFONTBOUNDINGBOX ");
  o = putd(o, w);
  *o++ = ' ';
  o = putd(o, h);
  o = putlit(o, " 0 ");
  o = putd(o, x->ascent - h);
  o = putlit(o, "\nSTARTPROPERTIES ");
  o = putd(o, x->hasdefault ? 17 : 16);
  *o++ = '\n';
  o = quotedprop(o, "FOUNDRY", x->foundry);
  o = quotedprop(o, "FAMILY_NAME", x->family);
  o = strprop(o, "WEIGHT_NAME", "Medium");
  o = strprop(o, "SLANT", "R");
  o = strprop(o, "SETWIDTH_NAME", "Normal");
  o = strprop(o, "ADD_STYLE_NAME", "");
  o = intprop(o, "PIXEL_SIZE", h);
  o = intprop(o, "POINT_SIZE", point);
  o = intprop(o, "RESOLUTION_X", 75);
  o = intprop(o, "RESOLUTION_Y", 75);
  o = strprop(o, "SPACING", "C");
  o = intprop(o, "AVERAGE_WIDTH", 10 * w);
  o = strprop(o, "CHARSET_REGISTRY", x->registry);
  o = strprop(o, "CHARSET_ENCODING", x->encoding);
  if (x->hasdefault) o = intprop(o, "DEFAULT_CHAR", x->defchar);
  o = intprop(o, "FONT_ASCENT", x->ascent);
  o = intprop(o, "FONT_DESCENT", h - x->ascent);
  o = putlit(o, "ENDPROPERTIES\n");
  sput(&output, o);
}

int32_t swidth(int width, int height) {
  if (height <= 0) return 0;
  return (2000 * width + height) / (2 * height); // halves round up
}

void shape(recshape *s, int width, int height, int descent) {
  s->width = width;
  s->height = height;
  s->rowbytes = (static_cast<size_t>(width) + 7) / 8;
  s->bytes = s->rowbytes * static_cast<size_t>(height);
  // STARTCHAR and ENCODING lines with the longest numbers, the tail, the
  // rows (2 digits a byte and a newline), ENDCHAR, and what a row
  // converter may write past its end.
  s->room =
      64 + sizeof s->tail + s->height * (2 * s->rowbytes + 1) + 16 + ROWSLACK;
  s->rows = rowconv(s->rowbytes, bestlevel());
  memset(s->tail, 0, sizeof s->tail);
  char *o = putlit(s->tail, "\nSWIDTH ");
  o = putd(o, swidth(width, height));
  o = putlit(o, " 0\nDWIDTH ");
  o = putd(o, width);
  o = putlit(o, " 0\nBBX ");
  o = putd(o, width);
  *o++ = ' ';
  o = putd(o, height);
  o = putlit(o, " 0 ");
  o = putd(o, -descent);
  o = putlit(o, "\nBITMAP\n");
  s->taillen = static_cast<size_t>(o - s->tail);
}

char *putrest(char *o, const recshape *s, int32_t enc,
              const unsigned char *bits) {
  o = putlit(o, "\nENCODING ");
  o = putd(o, enc);
  memcpy(o, s->tail, sizeof s->tail); // a fixed size copies fastest
  o += s->taillen;
  o = s->rows(o, bits, s->rowbytes, static_cast<size_t>(s->height));
  return putlit(o, "ENDCHAR\n");
}

// A glyph that the end of input cuts short: what is there, then 0xFF
// bytes, so the record keeps its shape. Apart from the hot path, whose
// frame it would otherwise enlarge.
static __attribute__((noinline)) char *
cutshort(char *o, const recshape *s, int32_t enc, size_t have, instream *in) {
  unsigned char cut[32 * 255]; // the largest glyph
  memcpy(cut, in->p, have);
  memset(cut + have, 0xFF, s->bytes - have);
  in->p += have;
  in->ended = 1;
  return putrest(o, s, enc, cut);
}

// One glyph record named by code (hex) with ENCODING enc, its bitmap read
// from in. A byte missing at the end of input is written as ff, so the
// record keeps its shape. Inlined in the loops that call it: the call
// costs a fifth of a record's work.
static inline __attribute__((always_inline)) void
tobdf(const recshape *s, int32_t code, int32_t enc, instream *in) {
  char *o = sroom(&output, s->room);
  o = putlit(o, "STARTCHAR ");
  o = putx4(o, static_cast<uint32_t>(code));
  size_t have = static_cast<size_t>(in->e - in->p);
  if (have < s->bytes) {
    have = sneed(in, s->bytes); // may move the bytes at hand
    if (have < s->bytes) {
      sput(&output, cutshort(o, s, enc, have, in));
      return;
    }
  }
  o = putrest(o, s, enc, in->p);
  in->p += s->bytes;
  sput(&output, o);
}

static void charsline(int32_t n) {
  char *o = sroom(&output, 64);
  o = putlit(o, "CHARS ");
  o = putd(o, n);
  *o++ = '\n';
  sput(&output, o);
}

// The JIS code of the table's first Shift_JIS code, a block's start even
// of an empty block: the default glyph; with none, 0 (as for single-byte
// fonts) points at none.
static int32_t defaultglyph(const codeblock *tbl, int n) {
  for (int i = 0; i < n; i++) {
    int32_t c = tbl[i].start;
    while (!issjis(static_cast<uint16_t>(c)) && c < tbl[i].end) c++;
    if (issjis(static_cast<uint16_t>(c))) return stoj(static_cast<uint16_t>(c));
  }
  return 0;
}

void jisbdf(const fontheader *h, const codeblock *tbl, int n, instream *in) {
  char foundry[9];
  copyname(foundry, h->fontname);
  recshape s;
  shape(&s, h->width, h->height, 2);
  if (h->codetype != 1) {
    // 256 glyphs for the byte codes 0-255, in file order.
    bdfheader(h->width, h->height, 0, foundry, h->codetype);
    charsline(256);
    for (int c = 0; c < 256 && !output.err; c++) tobdf(&s, c, c, in);
  } else {
    bdfheader(h->width, h->height, defaultglyph(tbl, n), foundry, 1);
    charsline(nchars(n, tbl));
    // Every value of a block has a glyph in the file, Shift_JIS or not, so
    // each is walked in file order; the counter is wider than 16 bits so a
    // block ending at 0xFFFF stops. Values that are not Shift_JIS codes
    // would share their JIS code with a real glyph (0x7F maps like 0x80),
    // so they are written unencoded, named by their own code: readers keep
    // the first glyph of a code and the real one would lose it.
    for (int i = 0; i < n && !output.err; i++) {
      for (int32_t c = tbl[i].start; c <= tbl[i].end && !output.err; c++) {
        uint16_t code = static_cast<uint16_t>(c);
        int32_t jis = stoj(code);
        bool sjis = issjis(code);
        tobdf(&s, sjis ? jis : code, sjis ? jis : -1, in);
      }
    }
  }
  char *o = sroom(&output, 16);
  sput(&output, putlit(o, "ENDFONT\n"));
}
