// The values dosvfont's options take, each read strictly: what is not
// exactly a value of the option's kind is refused, not guessed at.
#pragma once

#include <string>

// The index of value among words (null-terminated, in any case), or -1
// after saying it is none of them.
int wordof(const char *opt, const char *value, const char *const *words);

// A number written in digits of the base and nothing else (no sign, no
// space, no prefix) from s to e, at most max; -1 otherwise.
long number(const char *s, const char *e, int base, long max);

// A whole number of pixels from 1 to max (255, the range of a FONTX2
// cell); -1 after saying why not.
int pixels(const char *opt, const char *value, int max = 255);

// --range: FIRST-LAST, two hexadecimal codes 0-FFFF in order.
bool rangeof(const char *s, unsigned *first, unsigned *last);

// --screen: WIDTHxHEIGHT, each 1 to 4096.
bool screenof(const char *s, int *w, int *h);

// --colors: "RRGGBB,RRGGBB" (a # before each allowed) into fg and bg.
bool colors(const char *s, unsigned char *fg, unsigned char *bg);

// --target list: each reader and its rules, a line each.
std::string targetlist();
