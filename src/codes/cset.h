// Character set converters: the bytes of a named set to Unicode code
// points and back, one short sequence at a time. The native programs use
// the C library's iconv (cset.cpp); the web page uses tables made at build
// time from the host's iconv (web/csettable.cpp), so that both give the
// same answers for the sets the page has.
#pragma once

#include <cstddef>
#include <cstdint>

struct cset;

// The set of that name, or null when there is none.
cset *csopen(const char *name);
void csclose(cset *c);

// How many code points the n bytes make, the first max of them in u: 0
// when they are not valid, -1 when they only begin a longer sequence.
// Characters a decoder holds back to combine with what follows (CP1258,
// Shift_JIS-2004) are taken as they stand.
int csdecode(cset *c, const unsigned char *in, size_t n, uint32_t *u, int max);

// The bytes of code point u, in out (size bytes); -1 when the set has
// none for it.
int csencode(cset *c, uint32_t u, unsigned char *out, size_t size);

// For sets answered from a table, arrays that answer at once (null for
// the others): what each byte makes (twobytes 0: 256 entries) or each two
// bytes from 0x8000 up (0x8000 entries, [code - 0x8000]): its one code
// point plus one, or 0 or a number past U+10FFFF + 1 where they make none
// or more than one or begin a longer sequence; and the code of each code
// point below 0x10000 plus one (a byte, or two bytes from 0x8000 up), 0
// where there is none.
const uint32_t *csdirect(cset *c, int twobytes);
const uint32_t *csdirectenc(cset *c);

// For a message refusing a set's name: the sets there are, as " (...)",
// where that is a short list (the web page); "" where it is whatever the
// C library knows.
const char *setsknown(int doublebyte);
