// Single codes of a code set to and from Unicode, through the set's
// converter (cset.h), with the pictures DOS draws at the control bytes of
// its code pages, which no converter knows.
#include "codes/codes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>

namespace {

const char *iconvof(const codeset *cs) {
  switch (cs->type) {
  case SETSJIS:
    return "CP932";
  case SETSJIS2004:
    return "SHIFT_JISX0213";
  case SETJIS:
    return "EUC-JP"; // JIS X 0208 with the high bits set
  case SETUNICODE:
    return nullptr;
  default:
    return cs->name;
  }
}

// The pictures DOS draws at the control bytes of its OEM code pages, as
// Unicode maps the IBM PC's graphics: [0] for 0x7F, [b] for byte b. The
// one mapping table the project keeps itself: iconv maps these bytes to
// control characters.
const uint16_t dospictures[32] = {
    0x2302, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};

} // namespace

int mapopen(mapper *m, const codeset *cs) {
  *m = mapper();
  m->cs = *cs;
  const char *name = iconvof(cs);
  if (!name) return 0;
  if (!(m->set = csopen(name))) return -1;
  if (cs->type == SETBYTE && isdoscodepage(cs->name)) {
    // A picture the code page has at another byte (CP850's ¶ and § at
    // 0xF4, 0xF5) stays there; its control byte keeps no character.
    for (int i = 0; i < 32; i++)
      m->pics[i] = fromuni(m, dospictures[i]) < 0 ? dospictures[i] : -1;
    m->dos = 1;
  }
  // The arrays, where a code is its bytes: not for JIS X 0208 (EUC-JP's
  // bytes), nor where DOS's pictures stand in for control bytes.
  m->wide = cs->type != SETBYTE;
  if (cs->type != SETJIS && !m->dos) {
    m->dec = csdirect(m->set, m->wide);
    m->first = m->wide ? 0x8000 : 0;
    m->ndec = m->wide ? 0x8000 : 0x100;
    m->encodes = 1; // its array made at the first encoding
  }
  return 0;
}

void mapclose(mapper *m) {
  csclose(m->set);
  m->set = nullptr;
}

int32_t touniof(mapper *m, uint32_t code) {
  unsigned char in[2];
  size_t n = 2;
  switch (m->cs.type) {
  case SETUNICODE:
    return code <= 0x10FFFF ? static_cast<int32_t>(code) : -1;
  case SETBYTE:
    if (code > 0xFF) return -1;
    if (m->dos && code && (code < 0x20 || code == 0x7F) &&
        m->pics[code == 0x7F ? 0 : code] >= 0)
      return m->pics[code == 0x7F ? 0 : code];
    in[0] = static_cast<unsigned char>(code);
    n = 1;
    break;
  case SETJIS: {
    unsigned row = code >> 8, cell = code & 0xFF;
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) return -1;
    in[0] = static_cast<unsigned char>(row | 0x80);
    in[1] = static_cast<unsigned char>(cell | 0x80);
    break;
  }
  default:
    if (code > 0xFFFF) return -1;
    in[0] = static_cast<unsigned char>(code >> 8);
    in[1] = static_cast<unsigned char>(code);
  }
  uint32_t u;
  if (csdecode(m->set, in, n, &u, 1) != 1 || u > 0x10FFFF) return -1;
  return static_cast<int32_t>(u);
}

int32_t fromuniof(mapper *m, uint32_t u) {
  if (m->encodes == 1) {
    m->encodes = 2;
    if ((m->enc = csdirectenc(m->set)) && u <= 0xFFFF) return fromuni(m, u);
  }
  if (m->cs.type == SETUNICODE)
    return u <= 0xFFFF ? static_cast<int32_t>(u) : -1;
  unsigned char out[16];
  int n = csencode(m->set, u, out, sizeof out);
  if (m->cs.type == SETBYTE && m->dos) {
    // The control bytes that hold pictures hold no control character.
    if (n == 1 && (out[0] < 0x20 || out[0] == 0x7F) && out[0] &&
        m->pics[out[0] == 0x7F ? 0 : out[0]] >= 0)
      return -1;
    if (n != 1)
      for (int i = 0; i < 32; i++)
        if (m->pics[i] == static_cast<int32_t>(u)) return i ? i : 0x7F;
  }
  if (m->cs.type == SETBYTE) return n == 1 ? out[0] : -1;
  if (n != 2) return -1;
  if (m->cs.type == SETJIS) {
    // EUC-JP also writes 0x8E and a byte for halfwidth katakana.
    if (out[0] < 0xA1 || out[1] < 0xA1) return -1;
    return (out[0] & 0x7F) << 8 | (out[1] & 0x7F);
  }
  return out[0] << 8 | out[1];
}
