// Code sets: what the codes of a font mean, their names (as users, iconv
// and X11 font names write them), and the mapping of single codes to and
// from Unicode through the C library's iconv. Shift_JIS and JIS X 0208
// meet by arithmetic (sjis.h), never through Unicode.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codes/cset.h"
#include <vector>

enum settype {
  SETSJIS,     // Shift_JIS as Windows and DOS/V use it (CP932)
  SETSJIS2004, // Shift_JIS-2004 (JIS X 0213, both planes)
  SETUNICODE,  // the codes are Unicode values (UCS-2 in a FONTX2 file)
  SETDBCS,     // another double-byte set iconv knows: CP936, BIG5, CP949...
  SETBYTE,     // single bytes of a charset iconv knows
  SETJIS,      // JIS X 0208 codes, row << 8 | cell
};

struct codeset {
  int type;
  char name[48]; // iconv's name, "" for SETUNICODE and SETJIS
};

// The double-byte set a -c value names: sjis, sjis2004 or unicode (in any
// case), else a name iconv knows. 0, or -1 when iconv does not know it.
int dbcsnamed(codeset *cs, const char *name);

// A code set's name as the options write it: sjis, sjis2004, unicode, or
// the name iconv knows it by.
const char *setname(const codeset *cs);

// The single-byte set a -e value names; a null name is the default, CP932's
// single bytes (ASCII and JIS X 0201 katakana). 0, or -1 when unknown.
int sbcsnamed(codeset *cs, const char *name);

// 1 when cs is CP932's single bytes, the charset of DOS/V fonts, under
// whatever name it was given.
int isdefaultsb(const codeset *cs);

// The X11 font registry of a single-byte set ("ISO8859-5", "KOI8-R",
// "IBM-CP437", "JISX0201.1976-0"...) into x11 (32 bytes); 0, or -1 when
// X11 has no name for it.
int x11name(const codeset *cs, char *x11);

// The code set of an X11 CHARSET_REGISTRY and CHARSET_ENCODING pair:
// ISO10646 is Unicode, JISX0208.* JIS, JISX0201.* the default single
// bytes, 8-bit registries the charset iconv knows by that name. 0, or -1
// when there is no mapping for it (JIS X 0212, say).
int fromx11(codeset *cs, const char *registry, const char *encoding);

// The single-byte charset a file's name names as a whole word, in any
// case, bounded by characters other than letters and digits: ISO8859-N
// (also ISO-8859-N, ISO_8859-N), KOI8-R, KOI8-U, the DOS code pages CP437
// to CP869 and the Windows ones CP1250 to CP1258. 0 with the set and its
// name as found; -1 when the name names none.
int charsetinname(const char *path, codeset *cs, char *found, size_t size);

// The distinct characters of UTF-8 text, sorted, control characters and
// a byte order mark aside, into out. Returns 0, or 1 + the offset of the
// first byte that is not UTF-8 (an overlong form, a surrogate, a code
// point past U+10FFFF, a sequence cut short).
size_t utf8chars(const unsigned char *s, size_t n, std::vector<uint32_t> *out);

// Every character of UTF-8 text in order, into out; 0, or 1 + the offset
// of the first byte that is not UTF-8.
size_t utf8decode(const unsigned char *s, size_t n, std::vector<uint32_t> *out);

// u (at most U+10FFFF) as UTF-8 in b; returns its length, 1 to 4.
size_t utf8encode(uint32_t u, unsigned char *b);

// 1 for the DOS code pages (CP437 ... CP869 but CP864) whose control
// bytes DOS draws as pictures.
int isdoscodepage(const char *name);

// A code set opened for mapping single codes.
struct mapper {
  codeset cs;
  cset *set; // the converter, null for Unicode
  // DOS code pages: the picture at each control byte (0x7F at [0]), -1
  // where the byte keeps its control character.
  int32_t pics[32];
  int dos;
  // Where the converter answers from arrays (cset.h's csdirect) and a
  // code is its bytes: what each code from `first` makes, and each code
  // point's code (wide: two bytes). Null otherwise.
  const uint32_t *dec;
  uint32_t first, ndec;
  const uint32_t *enc;
  int wide;
  int encodes; // 1: enc may be had from the converter; 2: it was asked
};

int mapopen(mapper *m, const codeset *cs);
void mapclose(mapper *m);

// The Unicode code point of a code (a byte for single-byte sets, lead <<
// 8 | trail for double-byte ones), or -1 when it has none or decodes to
// more than one code point. In a DOS code page, bytes 0x01-0x1F and 0x7F
// are the pictures DOS draws there (0x01 U+263A ... 0x7F U+2302), except
// where the code page has that character at another byte.
// Inline, from the mapper's arrays where it has them: it runs for every
// glyph of a font.
int32_t touniof(mapper *m, uint32_t code);
inline int32_t touni(mapper *m, uint32_t code) {
  uint32_t i = code - m->first;
  if (!m->dec || i >= m->ndec) return touniof(m, code);
  uint32_t v = m->dec[i] - 1; // none: past U+10FFFF
  return v <= 0x10FFFF ? static_cast<int32_t>(v) : -1;
}

// The code of code point u in the set, or -1 when the set has none of its
// width (a single-byte set answers bytes, the others double-byte codes).
int32_t fromuniof(mapper *m, uint32_t u);
inline int32_t fromuni(mapper *m, uint32_t u) {
  if (!m->enc || u > 0xFFFF) return fromuniof(m, u);
  uint32_t c = m->enc[u] - 1; // none: past 0xFFFF
  return c <= 0xFFFF && (c > 0xFF) == (m->wide != 0) ? static_cast<int32_t>(c)
                                                     : -1;
}
