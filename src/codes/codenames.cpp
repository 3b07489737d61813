// Code sets by name: what -c, -e, X11 registries and file names call
// them, checked against what iconv knows.
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

// A charset name reduced to its upper-case letters and digits, so that
// "iso-8859-5", "ISO_8859-5" and "ISO8859-5" compare equal.
void norm(char *dst, size_t size, const char *s) {
  size_t n = 0;
  for (; *s && n + 1 < size; s++)
    if (isalnum(static_cast<unsigned char>(*s)))
      dst[n++] = static_cast<char>(toupper(static_cast<unsigned char>(*s)));
  dst[n] = '\0';
}

bool known(const char *name) {
  cset *c = csopen(name);
  csclose(c);
  return c != nullptr;
}

// A set that a double-byte FONTX2 font can be coded in: "A" is the byte
// 0x41, and some two bytes 0x8140-0xFEFE make one character beyond those
// that two bytes of UTF-8 reach (U+0800 up: kana, hangul, ideographs),
// which keeps the encodings of Unicode out.
bool isdbcs(const char *name) {
  cset *c = csopen(name);
  if (!c) return false;
  uint32_t u = 0;
  const unsigned char a = 'A';
  bool ok = csdecode(c, &a, 1, &u, 1) == 1 && u == 'A', found = false;
  for (unsigned code = 0x8140; ok && !found && code <= 0xFEFE; code++) {
    unsigned char two[2] = {static_cast<unsigned char>(code >> 8),
                            static_cast<unsigned char>(code)};
    found = csdecode(c, two, 2, &u, 1) == 1 && u >= 0x800;
  }
  csclose(c);
  return ok && found;
}

// A set that a single-byte FONTX2 font can be coded in: "A" is the byte
// 0x41, and no byte makes more than one character or begins a longer
// sequence.
bool issbcs(const char *name) {
  cset *c = csopen(name);
  if (!c) return false;
  uint32_t u = 0;
  const unsigned char a = 'A';
  bool ok = csdecode(c, &a, 1, &u, 1) == 1 && u == 'A';
  for (int b = 0; ok && b < 256; b++) {
    unsigned char byte = static_cast<unsigned char>(b);
    int k = csdecode(c, &byte, 1, &u, 1);
    ok = k == 0 || k == 1;
  }
  csclose(c);
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

// The DOS code pages whose control bytes DOS draws as those pictures
// (CP864, Arabic, draws others), and the Windows ones.
const int dospages[] = {437, 737, 775, 850, 852, 855, 857,
                        860, 861, 862, 863, 865, 866, 869};
const int winpages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

bool oneofpages(int n, const int *first, const int *last) {
  return std::any_of(first, last, [&](int page) { return n == page; });
}

} // namespace

int isdoscodepage(const char *name) {
  static const char *const prefixes[] = {"IBMCP", "CP", "IBM", ""};
  char n[64];
  norm(n, sizeof n, name);
  return std::any_of(
      std::begin(prefixes), std::end(prefixes), [&](const char *prefix) {
        return oneofpages(numberafter(n, prefix), std::begin(dospages),
                          std::end(dospages));
      });
}

namespace {

// Case-insensitive: the text at s begins with the word w.
bool startsword(const char *s, const char *w) {
  for (; *w; s++, w++)
    if (toupper(static_cast<unsigned char>(*s)) != *w) return false;
  return true;
}

bool boundary(char c) {
  return !isalnum(static_cast<unsigned char>(c));
}

// The digits at s, at most most of them, as a number; their count in *k.
int digitsat(const char *s, int most, int *k) {
  int n = 0;
  for (*k = 0; *k < most && isdigit(static_cast<unsigned char>(s[*k])); ++*k)
    n = 10 * n + (s[*k] - '0');
  return n;
}

// The charset named at s, ending at a boundary: its canonical name in out.
bool charsetat(const char *s, char *out, size_t size) {
  int k, n;
  for (const char *p : {"ISO8859-", "ISO-8859-", "ISO_8859-"}) {
    if (!startsword(s, p)) continue;
    const char *d = s + strlen(p);
    n = digitsat(d, 2, &k);
    if (!k || !boundary(d[k]) || n < 1 || n > 16) return false;
    snprintf(out, size, "ISO-8859-%d", n);
    return true;
  }
  for (const char *p : {"KOI8-R", "KOI8-U"}) {
    if (!startsword(s, p) || !boundary(s[strlen(p)])) continue;
    snprintf(out, size, "%s", p);
    return true;
  }
  if (!startsword(s, "CP")) return false;
  n = digitsat(s + 2, 4, &k);
  if (!boundary(s[2 + k]) ||
      !(oneofpages(n, std::begin(dospages), std::end(dospages)) ||
        oneofpages(n, std::begin(winpages), std::end(winpages))))
    return false;
  snprintf(out, size, "CP%d", n);
  return true;
}

} // namespace

int charsetinname(const char *path, codeset *cs, char *found, size_t size) {
  if (!path) return -1;
  const char *base = strrchr(path, '/');
  base = base ? base + 1 : path;
  for (const char *s = base; *s; s++)
    if ((s == base || boundary(s[-1])) && charsetat(s, found, size) &&
        !sbcsnamed(cs, found))
      return 0;
  return -1;
}

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

const char *setname(const codeset *cs) {
  switch (cs->type) {
  case SETSJIS:
    return "sjis";
  case SETSJIS2004:
    return "sjis2004";
  case SETUNICODE:
    return "unicode";
  case SETJIS:
    return "JIS X 0208";
  default:
    return cs->name;
  }
}
