// Which glyph each code of a FONTX2 font being made gets: codes copied
// one to one, or every code of the output's set through Unicode; the
// subset asked for; and the code blocks the codes make.
#pragma once

#include <cstdint>
#include <vector>

#include "codes/codes.h"
#include "fontx/fontx.h"
#include "recode/recode.h"
#include "sources/source.h"

// A glyph to write: its code in the output, the source's code and glyph.
struct pick {
  int32_t code;
  uint32_t from, handle;
};

// 1 when codes go one to one: the same set, or JIS X 0208 to Shift_JIS by
// arithmetic; never through Unicode.
bool direct(const codeset &src, const codeset &dst);

// The source's codes copied (direct sets).
std::vector<pick> copied(const source *s, const codeset &dst);

// Through Unicode: every code of the output's set that decodes to a
// character the source has, with that character's glyph.
std::vector<pick> throughunicode(const source *s, mapper *src, mapper *dst,
                                 int kind);

// Keeps the picks in the range and the text asked for; counts the text's
// characters that none has and, with lostchars, the source's that no
// code of the output holds.
void subset(const source *s, const recodeopts *o, mapper *src, mapper *dst,
            std::vector<pick> *m, recodefacts *f);

// Maximal runs of consecutive codes (sorted, distinct); more than 255 are
// joined where the gaps are smallest, the gaps to be filled with blanks.
std::vector<codeblock> runsof(const std::vector<pick> &m, recodefacts *f);
