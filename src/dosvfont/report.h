// What a run says besides its output: warnings, one line each, about the
// glyphs that lost ink to the cell and the characters a font written
// lacks or cannot hold.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dosvfont/options.h"
#include "fontx/glyphs.h"
#include "recode/recode.h"
#include "sources/source.h"

// "U+XXXX (c), ..." for up to 8 of the named characters u, and how many
// more of all there are, into out.
void charlist(char *out, size_t size, const uint32_t *u, size_t named,
              size_t all);

// The characters of --text that belong in the other kind of font (other,
// the first 8 in otheru; kind: the kind written), and those the font
// written lacks (lacked: the first 8 of them).
void warnlacking(const options *o, size_t lacking, const uint32_t *lacked,
                 size_t other, const uint32_t *otheru, int kind);

// A selection left empty by --range or --text: the one message, and a
// line on why (lacking: how many of the text's characters the font lacks,
// other: how many belong in the other kind of font than kind).
void saynone(const options *o, size_t lacking, size_t other, int kind);

// Up to 8 glyphs by their output code and character ("0x8150 (U+FFE3),
// 0x41 (U+0041) and 3 more"; uni -1 for none), of all there are.
void glyphnames(char *names, size_t size, const glyphset *out,
                const uint32_t *code, const int32_t *uni, size_t named,
                size_t all);

// The glyphs at source codes that mean no character (off a JIS font's
// grid), left out, named.
void warnnocode(const options *o, const source *s, const recodefacts *f);

// The glyphs the source could not load, left blank, named.
void warnfailed(const options *o, const glyphset *out, const recodefacts *f);

// Which glyphs lost ink to the cell, where, and what would keep it (s:
// the source, or null for a FONTX2 font restyled).
void warncut(const options *o, const source *s, const glyphset *out,
             const recodefacts *f);

// The characters of the source that the set written cannot hold, by
// Unicode block, with what would keep them.
void warnlost(const options *o, const source *s, const glyphset *out,
              const recodefacts *f);

// The blocks of the characters lost, "Hangul Syllables 11,172, ...".
void blocklist(char *out, size_t size, const recodefacts *f);

// The pictures f names as lacking, "• (U+2022), ◘ (U+25D8)", into list.
void picturelist(const recodefacts *f, char *list, size_t size);

// The control-byte pictures the source has no character for.
void warnpictures(const options *o, const recodefacts *f);
