// FreeType as the reader of what the programs write: a font in memory, and
// the glyph of a code drawn into a cell as FONTX2 lays bitmaps out.
#pragma once

#include <cstdint>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

struct ftfont {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  std::string data; // FreeType reads from it while the face lives
  ftfont() = default;
  ftfont(const ftfont &) = delete;
  ~ftfont();
};

// Opens the font in data, its first strike (or for an outline font, the
// pixel size given) and first character map selected. false when FreeType
// cannot.
bool ftload(ftfont *f, const std::string &data, int pixels = 0);

// Sets an outline font's size: x and y pixels per em.
bool ftppem(ftfont *f, int x, int y);

// The glyph FreeType gives for code, drawn in a w x h cell with its origin
// at column origin and the baseline ascent rows below the top: height rows
// of (w + 7) / 8 bytes. "" when the code has no glyph.
std::string ftcell(ftfont *f, uint32_t code, int w, int h, int ascent,
                   int origin = 0);
