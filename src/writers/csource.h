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
// underscore, and "font_" before a leading digit; "font" for an empty
// text. The extension of a file's name is dropped with dropext.
void cname(const char *text, int dropext, char *id, size_t size);

// Whether text is a C identifier: a letter or underscore, then letters,
// digits and underscores, and no keyword of C or C++.
int iscname(const char *text);
