// A glyph set as a BDF font: code points claimed so that none is claimed
// twice, glyph names, and the records in file order.
#include "writers/bdfset.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "codes/sjis.h"
#include "io/stream.h"
#include "writers/bdf.h"

namespace {

// Code points a BDF font must not be encoded with: controls, surrogates,
// and the two that are not characters at all.
bool encodable(int32_t u) {
  return u > 0x1F && (u < 0x7F || u > 0x9F) && (u < 0xD800 || u > 0xDFFF) &&
         u != 0xFFFE && u != 0xFFFF;
}

// What each glyph is encoded with: its code's code point, for the first
// glyph of a code that has one of its own, such that none is claimed
// twice; else -1. A code that the reverse mapping gives back (CP932 maps
// both 0x81E0 and its NEC duplicate 0x8790 to U+2252, and U+2252 back to
// 0x81E0) claims first; then the others, in file order, where their code
// point is still free. repeats: whether some code comes more than once.
std::vector<int32_t> claims(const glyphset *gs, mapper *m, bool *repeats) {
  std::vector<int32_t> cp(gs->glyphs, -1);
  std::vector<uint64_t> seen(gs->kind ? 0x10000 / 64 : 0x100 / 64);
  std::vector<size_t> others; // glyphs whose code point is not given back
  size_t i = 0;
  *repeats = false;
  eachcode(gs, [&](uint32_t c) {
    uint64_t bit = uint64_t{1} << (c & 63);
    if (seen[c >> 6] & bit) {
      *repeats = true;
    } else {
      seen[c >> 6] |= bit;
      int32_t u = touni(m, c);
      if (encodable(u)) {
        cp[i] = u;
        if (fromuni(m, static_cast<uint32_t>(u)) != static_cast<int32_t>(c))
          others.push_back(i);
      }
    }
    i++;
    return true;
  });
  if (others.empty()) return cp;
  // The code points claimed: a bit each in the BMP, a sorted list above.
  std::vector<uint64_t> bmp(0x10000 / 64);
  std::vector<int32_t> astral;
  auto claim = [&](int32_t u) {
    if (u <= 0xFFFF) {
      uint64_t bit = uint64_t{1} << (u & 63);
      bool had = bmp[u >> 6] & bit;
      bmp[u >> 6] |= bit;
      return !had;
    }
    auto at = std::lower_bound(astral.begin(), astral.end(), u);
    if (at != astral.end() && *at == u) return false;
    astral.insert(at, u);
    return true;
  };
  for (size_t g = 0, k = 0; g < cp.size(); g++) {
    if (k < others.size() && others[k] == g)
      k++;
    else if (cp[g] >= 0)
      claim(cp[g]);
  }
  for (size_t g : others)
    if (!claim(cp[g])) cp[g] = -1;
  return cp;
}

// Four or more upper-case hex digits, two at a time.
struct upperpairs {
  char d[512];
  constexpr upperpairs() : d() {
    for (int i = 0; i < 256; i++) {
      d[2 * i] = "0123456789ABCDEF"[i >> 4];
      d[2 * i + 1] = "0123456789ABCDEF"[i & 15];
    }
  }
};
constexpr upperpairs upper{};

char *upperhex(char *o, uint32_t v, int digits) {
  if (digits & 1) *o++ = "0123456789ABCDEF"[(v >> (4 * --digits)) & 15];
  for (; digits; digits -= 2, o += 2)
    memcpy(o, upper.d + 2 * ((v >> (4 * (digits - 2))) & 0xFF), 2);
  return o;
}

// uniXXXX in the Basic Multilingual Plane, uXXXXX above it; a glyph with no
// code point of its own fxXXXX after its code, .1, .2 ... for repeats.
char *glyphname(char *o, int32_t u, uint32_t code, uint32_t repeat) {
  if (u >= 0 && u <= 0xFFFF) return upperhex(putlit(o, "uni"), u, 4);
  if (u > 0xFFFF) return upperhex(putlit(o, "u"), u, u > 0xFFFFF ? 6 : 5);
  o = upperhex(putlit(o, "fx"), code, 4);
  if (repeat) {
    *o++ = '.';
    o = putd(o, static_cast<int32_t>(repeat));
  }
  return o;
}

// Shift_JIS and DOS/V single-byte fonts go the way dosv2bdf takes them, the
// glyphs read from the set's bitmap buffer as from a file.
void jis(const glyphset *gs) {
  fontheader h;
  memcpy(h.signature, "FONTX2", 6);
  memcpy(h.fontname, gs->name, 8);
  h.width = static_cast<unsigned char>(gs->width);
  h.height = static_cast<unsigned char>(gs->height);
  h.codetype = static_cast<unsigned char>(gs->kind);
  instream in;
  sinmem(&in, gs->bits, gs->whole * gs->glyphbytes + gs->partial);
  jisbdf(&h, gs->blocks, gs->nblocks, &in);
}

} // namespace

int isjistext(const glyphset *gs, int numbering) {
  const codeset *cs = &gs->codes;
  return numbering == NUMNATIVE &&
         ((gs->kind && cs->type == SETSJIS) || (!gs->kind && isdefaultsb(cs)));
}

int setbdf(const glyphset *gs, const bdfopts *b, char *why, size_t size) {
  const codeset *cs = &gs->codes;
  char reg[32] = "ISO10646", enc[16] = "1";
  bool bycode = false;
  if (b->numbering == NUMNATIVE && cs->type != SETUNICODE) {
    if (isjistext(gs, b->numbering)) {
      jis(gs);
      return 0;
    }
    char x11[32];
    if (x11name(cs, x11)) {
      snprintf(why, size,
               "%s has no X11 registry for native numbering; use -r unicode",
               cs->type == SETSJIS2004 ? "Shift_JIS-2004"
               : cs->type == SETJIS    ? "JIS X 0208"
                                       : cs->name);
      return -1;
    }
    // X11 names end in -ENCODING: ISO8859-5, IBM-CP437, VISCII1.1-1.
    const char *dash = strrchr(x11, '-');
    snprintf(reg, sizeof reg, "%.*s", static_cast<int>(dash - x11), x11);
    snprintf(enc, sizeof enc, "%s", dash + 1);
    bycode = true;
  }

  mapper m;
  if (mapopen(&m, cs)) {
    snprintf(why, size, "iconv cannot map %s", cs->name);
    return -1;
  }
  bool repeats;
  std::vector<int32_t> cp = claims(gs, &m, &repeats);
  mapclose(&m);

  char family[9];
  copyname(family, gs->name);
  // The glyphs written: those chosen, and with encodedonly those encoded;
  // all of them when neither is asked for.
  std::vector<bool> written;
  size_t count = gs->glyphs;
  if (b->chosen || (b->encodedonly && !bycode)) {
    count = 0;
    for (size_t i = 0; i < gs->glyphs; i++) {
      bool w = (!b->chosen || b->chosen[i]) &&
               (!b->encodedonly || bycode || cp[i] >= 0);
      written.push_back(w);
      count += w;
    }
  }
  auto iswritten = [&](size_t i) { return written.empty() || written[i]; };
  xlfd x = {b->foundry ? b->foundry : "Misc",
            b->family   ? b->family
            : family[0] ? family
                        : "Unnamed",
            reg,
            enc,
            gs->width,
            gs->height,
            gs->ascent,
            0,
            0};
  size_t i = 0;
  eachcode(gs, [&](uint32_t c) {
    if (!iswritten(i) || (!bycode && cp[i] < 0)) return i++, true;
    x.defchar = bycode ? static_cast<int32_t>(c) : cp[i];
    x.hasdefault = 1;
    return false;
  });
  xlfdheader(&x);
  char *o = sroom(&output, 64);
  o = putlit(o, "CHARS ");
  sput(&output, putlit(putd(o, static_cast<int32_t>(count)), "\n"));

  recshape s;
  shape(&s, gs->width, gs->height, gs->height - gs->ascent);
  // How many times each code came before, where codes repeat: a glyph
  // with no code point is named after its code and that.
  std::vector<uint32_t> before(!repeats ? 0 : gs->kind ? 0x10000 : 0x100);
  std::vector<unsigned char> scratch(gs->glyphbytes);
  i = 0;
  eachcode(gs, [&](uint32_t c) {
    uint32_t k = repeats ? before[c]++ : 0;
    size_t g = i++;
    if (!iswritten(g)) return true;
    int32_t u = cp[g]; // -1 for a repeated code's later glyphs
    char *p = putlit(sroom(&output, s.room + 32), "STARTCHAR ");
    p = glyphname(p, u, c, k);
    p = putrest(p, &s, bycode ? static_cast<int32_t>(c) : u,
                glyphbits(gs, g, scratch.data()));
    sput(&output, p);
    return !output.err;
  });
  o = sroom(&output, 16);
  sput(&output, putlit(o, "ENDFONT\n"));
  return 0;
}
