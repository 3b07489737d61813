// Which glyph each code of a FONTX2 font being made gets: codes copied
// one to one, or every code of the output's set through Unicode; the
// subset asked for; and the code blocks the codes make. Also the re-coding
// stage's own records: what it is asked for and what it found.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "codes/codes.h"
#include "fontx/fontx.h"
#include "recode/blit.h"
#include "recode/style.h"
#include "sources/source.h"

// Which of the source's characters that the set written cannot hold are
// counted: all (a FONTX2 font's, or a font's in a charset of its own,
// every glyph drawn on purpose), or the full-width ones (kana, CJK,
// Hangul) when a double-byte font is written.
enum { LOSTNONE, LOSTALL, LOSTWIDE };

struct recodeopts {
  int kind;             // fontkind; ANYKIND: from the font
  const char *codes;    // -c, a double-byte output's code set; null: sjis
  const char *charset;  // -e, a single-byte output's; null: CP932's bytes
  int width;            // the cell width; 0 from the font
  const char *name;     // the FONTX2 name; null from the font
  uint32_t first, last; // only the output's codes first to last
  int bytext;           // only the characters of text (sorted; maybe none)
  const uint32_t *text;
  size_t ntext;
  // Only the glyphs a text reaches (text and ntext: its characters,
  // sorted), those its characters are written as included, in a cell as
  // wide as the whole font's: a picture of the text, drawn quickly.
  int drawtext;
  int lostchars; // LOSTALL, LOSTWIDE: count the source's characters that
                 // the set written cannot hold
  // Called now and then while glyphs are drawn (the web page's progress
  // bar); may be null.
  void (*progress)(size_t done, size_t total);
  styleopts style; // bitmap bold and italic, lines, pictures
  // Where no width is given: the width the cell gets instead of the one
  // its glyphs need (a display reader's rule), or null.
  int (*widthfor)(const void *rule, int natural);
  const void *widthrule;
};

// Whether u (a code's character, or -1) is one of o's text's, and whether
// an output code with that character is in o's selection: --range's codes
// and, with bytext, the text's characters.
inline bool intext(const recodeopts *o, int32_t u) {
  return u >= 0 && std::binary_search(o->text, o->text + o->ntext,
                                      static_cast<uint32_t>(u));
}
inline bool chosen(const recodeopts *o, uint32_t code, int32_t u) {
  return code >= o->first && code <= o->last && (!o->bytext || intext(o, u));
}

// Which lines a font places itself; the others by the bitmap rule.
enum { UNDERBYFONT = 1, STRIKEBYFONT = 2 };

struct recodefacts {
  size_t cut;   // glyphs that lost ink outside the cell
  int where;    // CUTSIDES, CUTENDS: where they lost it, over all
  int right;    // the width that would keep the ink at the sides
  size_t named; // the first cut glyphs, up to 8: output code, character
  uint32_t code[8];
  int32_t uni[8]; // -1 where the source's code has no Unicode value
  size_t lacking; // characters of the text that no glyph written has
  uint32_t lacked[8];
  size_t lost; // with lostchars: the source's characters left out, the
               // blocks that hold the most of them (their first code
               // point), and how many in each; largest first
  size_t nblocks;
  uint32_t block[6];
  size_t inblock[6];
  size_t other; // characters of the text that the other kind's set holds
  uint32_t otheru[8];
  int kind;      // the kind written, once decided
  size_t runs;   // runs of consecutive codes (double-byte output)
  size_t blanks; // blank glyphs that fill the gaps of joined runs
  int none;      // the range and text left no glyph
  int empty;     // no glyph was left to make (of the kind, or chosen)
  size_t nopics; // pictures the source has no character for
  uint32_t nopic[24];
  int linesbyfont;      // UNDERBYFONT | STRIKEBYFONT: lines the font places
  size_t failed;        // glyphs the source could not load, left blank: the
  uint32_t failcode[8]; // first 8, output code and character
  int32_t failuni[8];
  size_t nocode;       // glyphs of source codes that mean no character, left
  uint32_t nocodes[8]; // out: the first 8 codes
};

// A character of the text the font lacks, counted (the first 8 named):
// among those the other kind's font holds where elsewhere.
inline void lacks(recodefacts *f, uint32_t u, bool elsewhere) {
  size_t *n = elsewhere ? &f->other : &f->lacking;
  uint32_t *first = elsewhere ? f->otheru : f->lacked;
  if (*n < 8) first[*n] = u;
  ++*n;
}

// A glyph to write: its code in the output, the source's code and glyph.
struct outglyph {
  int32_t code;
  uint32_t from, handle;
};

// 1 when codes go one to one: the same set, or JIS X 0208 to Shift_JIS by
// arithmetic; never through Unicode.
bool direct(const codeset &src, const codeset &dst);

// The source's codes copied (direct sets).
std::vector<outglyph> copied(const source *s, const codeset &dst);

// Through Unicode: every code of the output's set that decodes to a
// character the source has, with that character's glyph.
std::vector<outglyph> throughunicode(const source *s, mapper *src, mapper *dst,
                                     int kind);

// Keeps the glyphs in the range and the text asked for; counts the text's
// characters that none has (those that other, the other kind's set,
// holds apart, where the font has them) and, with lostchars, the source's
// that no code of the output holds.
void subset(const source *s, const recodeopts *o, mapper *src, mapper *dst,
            mapper *other, std::vector<outglyph> *m, recodefacts *f);

// Kana, CJK ideographs and Hangul: the characters of double-byte fonts.
bool fullwidth(int32_t u);

// Maximal runs of consecutive codes (sorted, distinct); more than 255 are
// joined where the gaps are smallest, the gaps to be filled with blanks.
std::vector<codeblock> runsof(const std::vector<outglyph> &m, recodefacts *f);
