#include "codes.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// A charset name reduced to its upper-case letters and digits, so that
// "iso-8859-5", "ISO_8859-5" and "ISO8859-5" compare equal.
void norm(char *dst, size_t size, const char *s) {
  size_t n = 0;
  for (; *s && n + 1 < size; s++)
    if (isalnum(static_cast<unsigned char>(*s)))
      dst[n++] = static_cast<char>(toupper(static_cast<unsigned char>(*s)));
  dst[n] = '\0';
}

bool known(const char *iconvname) {
  iconv_t cd = iconv_open("UTF-32LE", iconvname);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

// How many characters a decoder makes of the bytes: 0 when they are not
// valid, -1 when they only begin a longer sequence. The first is put in *u.
int decodes(iconv_t cd, const char *in, size_t n, uint32_t *u) {
  unsigned char out[64];
  char *ip = const_cast<char *>(in), *op = reinterpret_cast<char *>(out);
  size_t il = n, ol = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  if (r == static_cast<size_t>(-1) && errno == EINVAL) return -1;
  if (r == static_cast<size_t>(-1) || il || ol == sizeof out) return 0;
  *u =
      out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
  return static_cast<int>((sizeof out - ol) / 4);
}

// A set iconv knows that a double-byte FONTX2 font can be coded in: "A"
// is the byte 0x41, and some two bytes 0x8140-0xFEFE make one character
// beyond those that two bytes of UTF-8 reach (U+0800 up: kana, hangul,
// ideographs), which keeps the encodings of Unicode out.
bool isdbcs(const char *iconvname) {
  iconv_t cd = iconv_open("UTF-32LE", iconvname);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  uint32_t u = 0;
  bool ok = decodes(cd, "A", 1, &u) == 1 && u == 'A', found = false;
  for (unsigned c = 0x8140; ok && !found && c <= 0xFEFE; c++) {
    char two[2] = {static_cast<char>(c >> 8), static_cast<char>(c)};
    found = decodes(cd, two, 2, &u) == 1 && u >= 0x800;
  }
  iconv_close(cd);
  return ok && found;
}

// A set iconv knows that a single-byte FONTX2 font can be coded in: "A"
// is the byte 0x41, and no byte makes more than one character or begins a
// longer sequence.
bool issbcs(const char *iconvname) {
  iconv_t cd = iconv_open("UTF-32LE", iconvname);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  uint32_t u = 0;
  bool ok = decodes(cd, "A", 1, &u) == 1 && u == 'A';
  for (int c = 0; ok && c < 256; c++) {
    char b = static_cast<char>(c);
    int k = decodes(cd, &b, 1, &u);
    ok = k == 0 || k == 1;
  }
  iconv_close(cd);
  return ok;
}

bool oneof(const char *n, const char *const *names) {
  for (; *names; names++)
    if (!strcmp(n, *names)) return true;
  return false;
}

// The number after a prefix, or -1.
int numberafter(const char *n, const char *prefix) {
  size_t k = strlen(prefix);
  if (strncmp(n, prefix, k) || !n[k] || strlen(n + k) > 4) return -1;
  for (const char *p = n + k; *p; p++)
    if (!isdigit(static_cast<unsigned char>(*p))) return -1;
  return atoi(n + k);
}

// Names of CP932's single bytes, the charset of DOS/V fonts. X11 calls
// them JIS X 0201; Shift_JIS differs from CP932 only in how it reads
// 0x5C and 0x7E, which X11's name does not tell apart either.
const char *const defaultnames[] = {"CP932",    "WINDOWS31J", "MS932",
                                    "MSKANJI",  "SJIS",       "SHIFTJIS",
                                    "JISX0201", "CSSHIFTJIS", nullptr};

// The X11 registry and the iconv name of a normalised single-byte charset
// name that X11 fonts use, or false. X11's encoding files name these.
bool x11set(const char *n, char *x11, char *iconvname) {
  static const struct {
    const char *norm, *x11, *iconv;
  } fixed[] = {
      {"KOI8R", "KOI8-R", "KOI8-R"},
      {"KOI8U", "KOI8-U", "KOI8-U"},
      {"KOI8RU", "KOI8-RU", "KOI8-RU"},
      {"ARMSCII8", "ARMSCII-8", "ARMSCII-8"},
      {"VISCII", "VISCII1.1-1", "VISCII"},
      {"VISCII111", "VISCII1.1-1", "VISCII"},
      {"TIS620", "TIS620-0", "TIS-620"},
      {"TIS6200", "TIS620-0", "TIS-620"},
      {"ASCII", "ASCII-0", "ASCII"},
      {"ASCII0", "ASCII-0", "ASCII"},
      {"USASCII", "ASCII-0", "ASCII"},
  };
  for (const auto &f : fixed)
    if (!strcmp(n, f.norm)) {
      strcpy(x11, f.x11);
      strcpy(iconvname, f.iconv);
      return true;
    }
  int k = numberafter(n, "ISO8859");
  if (k >= 1 && k <= 16 && k != 12) {
    sprintf(x11, "ISO8859-%d", k);
    sprintf(iconvname, "ISO-8859-%d", k);
    return true;
  }
  // Code pages: CP437, IBM437, 437, IBMCP437, WINDOWS1251, MICROSOFTCP1251.
  for (const char *prefix :
       {"MICROSOFTCP", "IBMCP", "WINDOWS", "CP", "IBM", ""}) {
    k = numberafter(n, prefix);
    if (k == 437 || k == 850 || k == 852 || k == 866) {
      sprintf(x11, "IBM-CP%d", k);
      sprintf(iconvname, "CP%d", k);
      return true;
    }
    if (k >= 1250 && k <= 1258) {
      sprintf(x11, "MICROSOFT-CP%d", k);
      sprintf(iconvname, "CP%d", k);
      return true;
    }
  }
  return false;
}

// 0, or -1 for a name too long to be one iconv knows.
int set(codeset *cs, int type, const char *name) {
  size_t n = strlen(name);
  if (n >= sizeof cs->name) return -1;
  cs->type = type;
  memcpy(cs->name, name, n + 1);
  return 0;
}

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

const iconv_t none = reinterpret_cast<iconv_t>(-1);

// Converts in (n bytes) with cd; flush asks for what an encoder holds back,
// waiting for a character to combine with (Shift_JIS-2004 does). Returns
// the bytes written to out, or -1, after which the state is reset.
long run(iconv_t cd, const unsigned char *in, size_t n, unsigned char *out,
         size_t size, bool flush) {
  char *ip = reinterpret_cast<char *>(const_cast<unsigned char *>(in));
  char *op = reinterpret_cast<char *>(out);
  size_t il = n, ol = size;
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il ||
      (flush &&
       iconv(cd, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1))) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return -1;
  }
  return static_cast<long>(size - ol);
}

} // namespace

int dbcsnamed(codeset *cs, const char *name) {
  char n[64];
  norm(n, sizeof n, name);
  if (!strcmp(n, "SJIS")) return set(cs, SETSJIS, "");
  if (!strcmp(n, "SJIS2004")) return set(cs, SETSJIS2004, "");
  if (!strcmp(n, "UNICODE")) return set(cs, SETUNICODE, "");
  return *name && isdbcs(name) ? set(cs, SETDBCS, name) : -1;
}

int sbcsnamed(codeset *cs, const char *name) {
  if (!name) name = "CP932";
  char n[64], x11[32], iconvname[32];
  norm(n, sizeof n, name);
  if (oneof(n, defaultnames))
    return set(cs, SETBYTE, "CP932"); // its double bytes are not ours
  if (x11set(n, x11, iconvname) && known(iconvname)) name = iconvname;
  return *name && issbcs(name) ? set(cs, SETBYTE, name) : -1;
}

int isdefaultsb(const codeset *cs) {
  return cs->type == SETBYTE && !strcmp(cs->name, "CP932");
}

int x11name(const codeset *cs, char *x11) {
  char n[64], iconvname[32];
  if (cs->type != SETBYTE) return -1;
  if (isdefaultsb(cs)) return strcpy(x11, "JISX0201.1976-0"), 0;
  norm(n, sizeof n, cs->name);
  return x11set(n, x11, iconvname) ? 0 : -1;
}

int fromx11(codeset *cs, const char *registry, const char *encoding) {
  char both[96], n[96], x11[32], iconvname[32];
  snprintf(both, sizeof both, "%s-%s", registry, encoding);
  norm(n, sizeof n, both);
  if (!strncmp(n, "ISO10646", 8)) return set(cs, SETUNICODE, "");
  if (!strncmp(n, "JISX0208", 8)) return set(cs, SETJIS, "");
  if (!strncmp(n, "JISX0201", 8)) return sbcsnamed(cs, nullptr);
  if (x11set(n, x11, iconvname) && known(iconvname))
    return set(cs, SETBYTE, iconvname);
  // A registry iconv knows under its X11 name (ISO8859-5 is one).
  if (strncmp(n, "JISX", 4) && known(both)) return set(cs, SETBYTE, both);
  return -1;
}

int mapopen(mapper *m, const codeset *cs) {
  m->cs = *cs;
  m->dec = m->enc = none;
  const char *name = iconvof(cs);
  if (!name) return 0;
  m->dec = iconv_open("UTF-32LE", name);
  m->enc = iconv_open(name, "UTF-32LE");
  if (m->dec != none && m->enc != none) return 0;
  mapclose(m);
  return -1;
}

void mapclose(mapper *m) {
  if (m->dec != none) iconv_close(m->dec);
  if (m->enc != none) iconv_close(m->enc);
  m->dec = m->enc = none;
}

int32_t touni(mapper *m, uint32_t code) {
  unsigned char in[2], out[16];
  size_t n = 2;
  switch (m->cs.type) {
  case SETUNICODE:
    return code <= 0x10FFFF ? static_cast<int32_t>(code) : -1;
  case SETBYTE:
    if (code > 0xFF) return -1;
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
  if (run(m->dec, in, n, out, sizeof out, false) != 4) return -1;
  return static_cast<int32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                              static_cast<uint32_t>(out[3]) << 24);
}

int32_t fromuni(mapper *m, uint32_t u) {
  if (m->cs.type == SETUNICODE)
    return u <= 0xFFFF ? static_cast<int32_t>(u) : -1;
  unsigned char in[4] = {
      static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
      static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  unsigned char out[16];
  long n = run(m->enc, in, 4, out, sizeof out, true);
  if (m->cs.type == SETBYTE) return n == 1 ? out[0] : -1;
  if (n != 2) return -1;
  if (m->cs.type == SETJIS) {
    // EUC-JP also writes 0x8E and a byte for halfwidth katakana.
    if (out[0] < 0xA1 || out[1] < 0xA1) return -1;
    return (out[0] & 0x7F) << 8 | (out[1] & 0x7F);
  }
  return out[0] << 8 | out[1];
}
