// A FONTX2 font as C source, the way firmware embeds a font: its bytes as
// an array that a C or C++ file includes.
//
//   #ifndef NAME_FONTX2_H
//   #define NAME_FONTX2_H
//   static const unsigned char NAME[] = {
//     0x46, 0x4f, 0x4e, 0x54, 0x58, 0x32, ...     (12 bytes a line)
//   };
//   static const unsigned int NAME_size = 4113;
//   #endif
//
// The array holds exactly the bytes the FONTX2 writer writes. It compiles
// as C99 and as C++ with every warning, included once or twice.
#pragma once

#include <cstddef>

#include "fontx/glyphs.h"
#include "io/stream.h"

struct copts {
  const char *name; // a C identifier (cname makes one)
};

// Writes gs as C source to out.
void cwrite(const glyphset *gs, const copts *o, outstream *out);

// A C identifier made of text (a file's base name, a font's name) into id
// (size bytes): its letters, digits and underscores, any other byte an
// underscore, runs of underscores one, and "font_" before a leading digit
// or underscore; "font" for an empty text, "_font" after a keyword. The
// extension of a file's name is dropped with dropext. It may still be
// too long (cnamefault says).
void cname(const char *text, int dropext, char *id, size_t size);

// The longest name: C tells identifiers apart by their first 63
// characters (C99 and later), and NAME_size adds 5.
const size_t CNAMEMAX = 58;

// Why text cannot name the array ("is a keyword of C or C++"), or null
// where it can: a letter or underscore, then letters, digits and
// underscores; no keyword of C (to C23) or C++ (to C++23); no name C and
// C++ reserve (a leading underscore, two underscores); at most CNAMEMAX
// characters.
const char *cnamefault(const char *text);
inline int iscname(const char *text) {
  return !cnamefault(text);
}
