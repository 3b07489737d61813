// Whole FONTX2 files to and from glyph sets: the layout read with the
// stream reader of fontx.h, the block count repaired where it overflowed,
// and the file written back from a set.
#include "fontx/fontxset.h"

#include <cstdlib>
#include <cstring>

#include "fontx/fontx.h"
#include "io/stream.h"

// Entry i of the table of a file in memory; a byte past the end reads as
// 0xFF, as it does from the stream.
static codeblock entry(const unsigned char *data, size_t n, size_t i) {
  size_t at = 18 + 4 * i;
  auto byte = [&](size_t k) -> unsigned { return k < n ? data[k] : 0xFF; };
  codeblock b;
  b.start = static_cast<uint16_t>(byte(at) | byte(at + 1) << 8);
  b.end = static_cast<uint16_t>(byte(at + 2) | byte(at + 3) << 8);
  return b;
}

static size_t count(codeblock b) {
  return b.end >= b.start ? b.end - b.start + 1u : 0;
}

int fontxload(const unsigned char *data, size_t n, glyphset *gs,
              fontxfacts *facts) {
  instream in;
  fontheader h;
  sinmem(&in, data, n);
  memset(gs, 0, sizeof *gs);
  memset(facts, 0, sizeof *facts);
  if (readheader(&in, &h)) return 1;
  gs->width = h.width;
  gs->height = h.height;
  gs->ascent = h.height - 2; // FONTX2 says nothing; DOS/V fonts sit so
  gs->kind = h.codetype == 1;
  memcpy(gs->name, h.fontname, 8);
  // A NUL ends the name; what follows it is not part of it.
  for (int i = 0, end = 0; i < 8; i++) {
    end |= !gs->name[i];
    if (end) gs->name[i] = ' ';
  }
  gs->glyphbytes = static_cast<size_t>((h.width + 7) / 8) * h.height;
  gs->glyphs = 256;
  size_t start = 17;
  if (gs->kind) {
    size_t stored = n > 17 ? data[17] : 0xFF, nb = stored, glyphs = 0;
    facts->stored = static_cast<int>(stored);
    for (size_t i = 0; i < stored; i++) glyphs += count(entry(data, n, i));
    size_t gb = gs->glyphbytes;
    // More than 255 blocks overflow the count byte. Read on through the
    // table for a count of stored + 256 k that makes the file end exactly
    // with its last glyph.
    if (18 + 4 * stored + glyphs * gb != n && gb) {
      size_t more = glyphs;
      for (size_t i = stored; 18 + 4 * (i + 1) <= n; i++) {
        more += count(entry(data, n, i));
        if ((i + 1 - stored) % 256 == 0 && 18 + 4 * (i + 1) + more * gb == n) {
          nb = i + 1, glyphs = more;
          facts->repaired = 1;
          break;
        }
      }
    }
    gs->blocks =
        static_cast<codeblock *>(calloc(nb ? nb : 1, sizeof *gs->blocks));
    if (!gs->blocks) return -1;
    for (size_t i = 0; i < nb; i++) gs->blocks[i] = entry(data, n, i);
    gs->nblocks = static_cast<int>(nb);
    gs->glyphs = glyphs;
    start = 18 + 4 * nb;
  }
  facts->header = n < 17 ? n : 17;
  facts->glyphdata = start < n ? start : n;
  facts->truncated = start > n;
  size_t have = n - facts->glyphdata, want = gs->glyphs * gs->glyphbytes;
  gs->bits = data + facts->glyphdata;
  if (have >= want) {
    gs->whole = gs->glyphs;
    facts->trailing = have - want;
  } else {
    gs->whole = have / gs->glyphbytes;
    gs->partial = have % gs->glyphbytes;
    facts->truncated = 1;
  }
  return 0;
}

size_t fontxbytes(const glyphset *gs) {
  return (gs->kind ? 18 + 4 * static_cast<size_t>(gs->nblocks) : 17) +
         gs->glyphs * gs->glyphbytes;
}

void fontxwrite(const glyphset *gs, outstream *out) {
  unsigned char head[18];
  memcpy(head, "FONTX2", 6);
  memcpy(head + 6, gs->name, 8);
  head[14] = static_cast<unsigned char>(gs->width);
  head[15] = static_cast<unsigned char>(gs->height);
  head[16] = static_cast<unsigned char>(gs->kind);
  head[17] = static_cast<unsigned char>(gs->nblocks);
  swrite(out, head, gs->kind ? 18 : 17);
  for (int i = 0; i < gs->nblocks; i++) {
    const codeblock &b = gs->blocks[i];
    unsigned char e[4] = {static_cast<unsigned char>(b.start),
                          static_cast<unsigned char>(b.start >> 8),
                          static_cast<unsigned char>(b.end),
                          static_cast<unsigned char>(b.end >> 8)};
    swrite(out, e, 4);
  }
  swrite(out, gs->bits, gs->glyphs * gs->glyphbytes);
}
