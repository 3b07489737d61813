// FreeType and libpng loaded when a run first calls them, not when the
// program starts: a FONTX2 font made BDF, the commonest run, needs
// neither, and loading them (with zlib, brotli and their relocations)
// took longer than the conversion. Each function the program calls is
// defined here with the library's own prototype, so the compiler checks
// it, and forwards to the library's function, found with dlopen and
// dlsym at its first call. Linked into the dosvfont program only; the
// tests, the fuzzers and the web page link the libraries themselves.
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_BITMAP_H
#include FT_FONT_FORMATS_H
#include FT_GZIP_H
#include FT_MODULE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <png.h>

#include "io/files.h"

namespace {

// The libraries by their ABI names, which have stood for well over a
// decade: FreeType 2's, and libpng 1.6's.
const char *const names[] = {"libfreetype.so.6", "libpng16.so.16"};
enum { FREETYPE, LIBPNG };

// A library or one of its functions that cannot be had ends the run: the
// output being written is removed, as for any failure.
[[noreturn]] void fail(const char *what, const char *why) {
  char line[512];
  int n = snprintf(line, sizeof line, "dosvfont: cannot load %s: %s\n", what,
                   why ? why : "unknown error");
  if (n > 0) {
    size_t k = static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n)
                                                    : sizeof line - 1;
    if (write(2, line, k) < 0) {
    }
  }
  outdiscard();
  _exit(1);
}

void *symbol(int lib, const char *name) {
  static void *handles[2];
  if (!handles[lib] &&
      !(handles[lib] = dlopen(names[lib], RTLD_NOW | RTLD_LOCAL)))
    fail(names[lib], dlerror());
  void *f = dlsym(handles[lib], name);
  if (!f) fail(name, dlerror());
  return f;
}

} // namespace

// Defines name, forwarding to the library's. real is resolved once.
#define ONDEMAND(lib, ret, name, params, args)                                 \
  extern "C" ret name params {                                                 \
    static decltype(&name) real;                                               \
    if (!real) real = reinterpret_cast<decltype(&name)>(symbol(lib, #name));   \
    return real args;                                                          \
  }

ONDEMAND(FREETYPE, FT_Error, FT_New_Library, (FT_Memory m, FT_Library *l),
         (m, l))
ONDEMAND(FREETYPE, void, FT_Add_Default_Modules, (FT_Library l), (l))
ONDEMAND(FREETYPE, void, FT_Set_Default_Properties, (FT_Library l), (l))
ONDEMAND(FREETYPE, FT_Error, FT_New_Memory_Face,
         (FT_Library l, const FT_Byte *base, FT_Long size, FT_Long index,
          FT_Face *face),
         (l, base, size, index, face))
ONDEMAND(FREETYPE, FT_Error, FT_Done_Face, (FT_Face f), (f))
ONDEMAND(FREETYPE, FT_Error, FT_Get_BDF_Charset_ID,
         (FT_Face f, const char **encoding, const char **registry),
         (f, encoding, registry))
ONDEMAND(FREETYPE, FT_Error, FT_Get_BDF_Property,
         (FT_Face f, const char *name, BDF_PropertyRec *p), (f, name, p))
ONDEMAND(FREETYPE, FT_ULong, FT_Get_First_Char, (FT_Face f, FT_UInt *index),
         (f, index))
ONDEMAND(FREETYPE, FT_ULong, FT_Get_Next_Char,
         (FT_Face f, FT_ULong code, FT_UInt *index), (f, code, index))
ONDEMAND(FREETYPE, const char *, FT_Get_Font_Format, (FT_Face f), (f))
ONDEMAND(FREETYPE, void *, FT_Get_Sfnt_Table, (FT_Face f, FT_Sfnt_Tag tag),
         (f, tag))
ONDEMAND(FREETYPE, FT_Error, FT_Load_Glyph,
         (FT_Face f, FT_UInt index, FT_Int32 flags), (f, index, flags))
ONDEMAND(FREETYPE, FT_Error, FT_Select_Charmap, (FT_Face f, FT_Encoding e),
         (f, e))
ONDEMAND(FREETYPE, FT_Error, FT_Select_Size, (FT_Face f, FT_Int strike),
         (f, strike))
ONDEMAND(FREETYPE, FT_Error, FT_Set_Char_Size,
         (FT_Face f, FT_F26Dot6 w, FT_F26Dot6 h, FT_UInt x, FT_UInt y),
         (f, w, h, x, y))
ONDEMAND(FREETYPE, FT_Error, FT_Set_Charmap, (FT_Face f, FT_CharMap c), (f, c))
ONDEMAND(FREETYPE, FT_Error, FT_Set_Pixel_Sizes,
         (FT_Face f, FT_UInt w, FT_UInt h), (f, w, h))
ONDEMAND(FREETYPE, FT_Error, FT_Stream_OpenGzip, (FT_Stream s, FT_Stream src),
         (s, src))
ONDEMAND(FREETYPE, void, FT_Bitmap_Init, (FT_Bitmap * b), (b))
ONDEMAND(FREETYPE, FT_Error, FT_Bitmap_Convert,
         (FT_Library l, const FT_Bitmap *from, FT_Bitmap *to, FT_Int align),
         (l, from, to, align))
ONDEMAND(FREETYPE, FT_Error, FT_Bitmap_Done, (FT_Library l, FT_Bitmap *b),
         (l, b))
ONDEMAND(LIBPNG, int, png_image_write_to_memory,
         (png_imagep image, void *memory, png_alloc_size_t *bytes, int to8,
          const void *buffer, png_int_32 stride, const void *colormap),
         (image, memory, bytes, to8, buffer, stride, colormap))
ONDEMAND(FREETYPE, FT_Error, FT_Render_Glyph,
         (FT_GlyphSlot slot, FT_Render_Mode mode), (slot, mode))
ONDEMAND(FREETYPE, void, FT_Outline_Get_CBox, (const FT_Outline *o, FT_BBox *b),
         (o, b))
ONDEMAND(FREETYPE, void, FT_Outline_Translate,
         (const FT_Outline *o, FT_Pos x, FT_Pos y), (o, x, y))
ONDEMAND(FREETYPE, FT_Error, FT_Outline_Get_Bitmap,
         (FT_Library l, FT_Outline *o, const FT_Bitmap *b), (l, o, b))
ONDEMAND(FREETYPE, FT_Error, FT_Outline_EmboldenXY,
         (FT_Outline * o, FT_Pos x, FT_Pos y), (o, x, y))
ONDEMAND(FREETYPE, void, FT_Outline_Transform,
         (const FT_Outline *o, const FT_Matrix *m), (o, m))
ONDEMAND(FREETYPE, FT_Error, FT_Get_MM_Var, (FT_Face f, FT_MM_Var **mm),
         (f, mm))
ONDEMAND(FREETYPE, FT_Error, FT_Done_MM_Var, (FT_Library l, FT_MM_Var *mm),
         (l, mm))
ONDEMAND(FREETYPE, FT_Error, FT_Set_Named_Instance, (FT_Face f, FT_UInt i),
         (f, i))
ONDEMAND(FREETYPE, FT_Long, FT_MulFix, (FT_Long a, FT_Long b), (a, b))
