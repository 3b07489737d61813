// FreeType's library, made once with the program's rules for memory, and
// gzipped fonts inflated whole.
#include <cstdlib>
#include <cstring>
#include <new>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GZIP_H
#include FT_MODULE_H

#include "sources/ftload.h"
#include "sources/source.h"

namespace {

// FreeType's memory, failing as the program's containers fail: through
// the new-handler the program set (it ends the run with a message).
void *nomemory() {
  if (std::new_handler h = std::get_new_handler()) h();
  return nullptr;
}
void *ftalloc(FT_Memory, long n) {
  void *p = malloc(static_cast<size_t>(n));
  if (!p && n > 0) return nomemory();
  return p;
}
void ftfree(FT_Memory, void *p) {
  free(p);
}
void *ftrealloc(FT_Memory, long, long n, void *p) {
  void *q = realloc(p, static_cast<size_t>(n));
  if (!q && n > 0) return nomemory();
  return q;
}
FT_MemoryRec_ memory = {nullptr, ftalloc, ftfree, ftrealloc};

} // namespace

int ftgunzip(const unsigned char *data, size_t n, unsigned char **out,
             size_t *size) {
  FT_StreamRec src = FT_StreamRec(), gz = FT_StreamRec();
  src.base = const_cast<unsigned char *>(data);
  src.size = n;
  src.memory = &memory;
  *out = nullptr;
  // FreeType reads a .pcf.gz in place only by inflating it again from the
  // start at every backward seek: minutes for a large font. And the length
  // the gzip trailer claims is never trusted: the buffer grows with what
  // really comes out.
  if (FT_Stream_OpenGzip(&gz, &src)) return 1;
  // FreeType inflates a small font at once, and then has checked its size.
  size_t room = !gz.read ? gz.size : 1 << 20, got = 0;
  unsigned char *buf = static_cast<unsigned char *>(malloc(room ? room : 1));
  int r = buf ? 0 : -1;
  if (buf && !gz.read) {
    memcpy(buf, gz.base, gz.size);
    got = gz.size;
  }
  while (!r && gz.read) {
    if (got == room) {
      if (room >= GZMAX) {
        r = 2;
        break;
      }
      void *more = realloc(buf, 2 * room);
      if (!more) {
        r = -1;
        break;
      }
      buf = static_cast<unsigned char *>(more);
      room *= 2;
    }
    unsigned long k = gz.read(&gz, got, buf + got, room - got);
    if (!k) break;
    got += k;
  }
  // A full buffer at the limit: one byte more tells whether it goes on.
  unsigned char probe;
  if (!r && gz.read && got == GZMAX && gz.read(&gz, got, &probe, 1)) r = 2;
  if (gz.close) gz.close(&gz);
  if (r) {
    free(buf);
    return r;
  }
  *out = buf;
  *size = got;
  return 0;
}

FT_Error ftlibrary(FT_Library *lib) {
  // FreeType's modules are set up once; a fuzzer opens fonts by the
  // thousand.
  static FT_Library made;
  FT_Error e = 0;
  if (!made && !(e = FT_New_Library(&memory, &made))) {
    FT_Add_Default_Modules(made);
    FT_Set_Default_Properties(made);
  }
  *lib = made;
  return e;
}
