#include "ftcell.h"

ftfont::~ftfont() {
  if (face) FT_Done_Face(face);
  if (lib) FT_Done_FreeType(lib);
}

bool ftload(ftfont *f, const std::string &data, int pixels) {
  f->data = data;
  if (!f->lib && FT_Init_FreeType(&f->lib)) return false;
  if (FT_New_Memory_Face(f->lib,
                         reinterpret_cast<const FT_Byte *>(f->data.data()),
                         static_cast<FT_Long>(f->data.size()), 0, &f->face))
    return false;
  if (f->face->num_fixed_sizes && FT_Select_Size(f->face, 0)) return false;
  if (!f->face->num_fixed_sizes && pixels &&
      FT_Set_Pixel_Sizes(f->face, 0, static_cast<FT_UInt>(pixels)))
    return false;
  return f->face->num_charmaps &&
         !FT_Set_Charmap(f->face, f->face->charmaps[0]);
}

bool ftppem(ftfont *f, int x, int y) {
  return !FT_Set_Char_Size(f->face, x * 64, y * 64, 72, 72);
}

std::string ftcell(ftfont *f, uint32_t code, int w, int h, int ascent,
                   int origin) {
  FT_UInt index = FT_Get_Char_Index(f->face, code);
  if (!index || FT_Load_Glyph(f->face, index, FT_LOAD_TARGET_MONO) ||
      FT_Render_Glyph(f->face->glyph, FT_RENDER_MODE_MONO))
    return "";
  const FT_GlyphSlot g = f->face->glyph;
  const FT_Bitmap &bm = g->bitmap;
  size_t rb = (w + 7) / 8;
  std::string cell(rb * h, '\0');
  for (unsigned y = 0; y < bm.rows; y++)
    for (unsigned x = 0; x < bm.width; x++) {
      int cx = origin + g->bitmap_left + static_cast<int>(x);
      int cy = ascent - g->bitmap_top + static_cast<int>(y);
      if (cx < 0 || cx >= w || cy < 0 || cy >= h) continue;
      if (bm.buffer[y * bm.pitch + x / 8] & (0x80 >> x % 8))
        cell[cy * rb + cx / 8] =
            static_cast<char>(cell[cy * rb + cx / 8] | 0x80 >> cx % 8);
    }
  return cell;
}
