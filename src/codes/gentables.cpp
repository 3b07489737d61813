// Writes the code-set tables as C++ source: for each set, what
// the host's iconv makes of every byte and every two bytes that begin with
// a lead byte, and the code of every code point it encodes in one or two
// bytes. Then checks that the tables answer as iconv does for every one
// and two bytes and every code point, and fails where they do not.
// Usage: gentables OUT.cpp
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codes/csettable.h"
#include "codes/iconvset.h"

namespace {

struct set {
  const char *iconv;
  bool wide;
};

// Those the page offers, and those X11 registries and file names name.
const set sets[] = {
    {"CP932", true},        {"SHIFT_JISX0213", true}, {"EUC-JP", true},
    {"CP936", true},        {"BIG5", true},           {"CP949", true},
    {"ASCII", false},       {"ISO-8859-1", false},    {"ISO-8859-2", false},
    {"ISO-8859-3", false},  {"ISO-8859-4", false},    {"ISO-8859-5", false},
    {"ISO-8859-6", false},  {"ISO-8859-7", false},    {"ISO-8859-8", false},
    {"ISO-8859-9", false},  {"ISO-8859-10", false},   {"ISO-8859-11", false},
    {"ISO-8859-13", false}, {"ISO-8859-14", false},   {"ISO-8859-15", false},
    {"ISO-8859-16", false}, {"KOI8-R", false},        {"KOI8-U", false},
    {"KOI8-RU", false},     {"CP437", false},         {"CP737", false},
    {"CP775", false},       {"CP850", false},         {"CP852", false},
    {"CP855", false},       {"CP857", false},         {"CP860", false},
    {"CP861", false},       {"CP862", false},         {"CP863", false},
    {"CP865", false},       {"CP866", false},         {"CP869", false},
    {"CP1250", false},      {"CP1251", false},        {"CP1252", false},
    {"CP1253", false},      {"CP1254", false},        {"CP1255", false},
    {"CP1256", false},      {"CP1257", false},        {"CP1258", false},
    {"TIS-620", false},     {"VISCII", false},        {"ARMSCII-8", false},
};

std::string key(const char *name) {
  std::string k;
  for (; *name; name++)
    if (isalnum(static_cast<unsigned char>(*name)))
      k += static_cast<char>(toupper(static_cast<unsigned char>(*name)));
  return k;
}

template <class T>
void array(FILE *f, const char *type, const std::string &name,
           const std::vector<T> &v) {
  fprintf(f, "const %s %s[] = {", type, name.c_str());
  for (size_t i = 0; i < v.size(); i++)
    fprintf(f, "%s%lld",
            !i       ? "\n"
            : i % 16 ? ","
                     : ",\n",
            static_cast<long long>(v[i]));
  fprintf(f, "%s};\n", v.empty() ? "0" : "");
}

struct built {
  std::vector<int8_t> n1;
  std::vector<uint32_t> u1, dcp, dcp2, eu;
  std::vector<uint16_t> dcode, ecode;
  bool two = false;
};

bool make(const set &s, built *b) {
  iconvset *c = icopen(s.iconv);
  if (!c) return false;
  uint32_t u[8];
  b->n1.resize(256);
  b->u1.resize(256);
  for (int i = 0; i < 256; i++) {
    unsigned char byte = static_cast<unsigned char>(i);
    int k = icdecode(c, &byte, 1, u, 8);
    b->n1[i] = static_cast<int8_t>(k);
    b->u1[i] = k > 0 ? u[0] : 0;
  }
  for (unsigned code = 0; code <= 0xFFFF; code++) {
    if (b->n1[code >> 8] >= 0) continue;
    unsigned char two[2] = {static_cast<unsigned char>(code >> 8),
                            static_cast<unsigned char>(code)};
    int k = icdecode(c, two, 2, u, 8);
    if (k < 1) continue;
    if (k > 2) {
      fprintf(stderr, "gentables: %s %04X makes %d code points\n", s.iconv,
              code, k);
      return false;
    }
    b->dcode.push_back(static_cast<uint16_t>(code));
    b->dcp.push_back(u[0]);
    b->dcp2.push_back(k == 2 ? u[1] : 0);
    b->two |= k == 2;
  }
  for (uint32_t cp = 0; cp <= (s.wide ? 0x2FFFFu : 0xFFFFu); cp++) {
    unsigned char out[16];
    int k = icencode(c, cp, out, sizeof out);
    if (k < 1 || k > 2) continue;
    b->eu.push_back(cp);
    b->ecode.push_back(
        static_cast<uint16_t>(k == 1 ? out[0] : out[0] << 8 | out[1]));
  }
  icclose(c);
  return true;
}

// The tables answer as iconv does: every byte, every two bytes, every
// code point (those past what was scanned encode to nothing the tables
// keep, as to more than two bytes).
bool check(const set &s, const built &b) {
  tableset t = {"",
                b.n1.data(),
                b.u1.data(),
                b.dcode.size(),
                b.dcode.data(),
                b.dcp.data(),
                b.two ? b.dcp2.data() : nullptr,
                0,
                nullptr,
                nullptr};
  iconvset *c = icopen(s.iconv);
  uint32_t want[8], got[8];
  bool ok = true;
  for (unsigned code = 0; code <= 0xFFFF && ok; code++) {
    unsigned char two[2] = {static_cast<unsigned char>(code >> 8),
                            static_cast<unsigned char>(code)};
    for (size_t n = 1; n <= 2 && ok; n++) {
      if (n == 1 && code > 0xFF) break;
      const unsigned char *in = n == 1 ? two + 1 : two;
      int a = icdecode(c, in, n, want, 8), k = tabledecode(&t, in, n, got, 8);
      ok = a == k && (a < 1 || std::equal(want, want + std::min(a, 8), got));
      if (!ok)
        fprintf(stderr, "gentables: %s: %zu bytes %04X: iconv %d, table %d\n",
                s.iconv, n, code, a, k);
    }
  }
  icclose(c);
  return ok;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: gentables OUT.cpp\n");
    return 2;
  }
  FILE *f = fopen(argv[1], "w");
  if (!f) {
    perror(argv[1]);
    return 1;
  }
  fprintf(f, "// Made by gentables from this machine's iconv: do not "
             "edit.\n#include \"codes/csettable.h\"\n\nnamespace {\n");
  std::string entries, wide = "sjis, sjis2004, unicode", narrow;
  for (size_t i = 0; i < sizeof sets / sizeof sets[0]; i++) {
    const set &s = sets[i];
    built b;
    if (!make(s, &b) || !check(s, b)) {
      fprintf(stderr, "gentables: cannot make the table of %s\n", s.iconv);
      return 1;
    }
    std::string n = "s" + std::to_string(i);
    array(f, "int8_t", n + "n1", b.n1);
    array(f, "uint32_t", n + "u1", b.u1);
    array(f, "uint16_t", n + "dcode", b.dcode);
    array(f, "uint32_t", n + "dcp", b.dcp);
    if (b.two) array(f, "uint32_t", n + "dcp2", b.dcp2);
    array(f, "uint32_t", n + "eu", b.eu);
    array(f, "uint16_t", n + "ecode", b.ecode);
    entries += "    {\"" + key(s.iconv) + "\", " + n + "n1, " + n + "u1, " +
               std::to_string(b.dcode.size()) + ", " + n + "dcode, " + n +
               "dcp, " + (b.two ? n + "dcp2" : "nullptr") + ", " +
               std::to_string(b.eu.size()) + ", " + n + "eu, " + n +
               "ecode},\n";
    if (s.wide && strcmp(s.iconv, "CP932") &&
        strcmp(s.iconv, "SHIFT_JISX0213") && strcmp(s.iconv, "EUC-JP"))
      wide += std::string(", ") + s.iconv;
    if (!s.wide) narrow += std::string(narrow.empty() ? "" : ", ") + s.iconv;
  }
  fprintf(f,
          "} // namespace\n\nconst tableset tablesets[] = {\n%s};\n"
          "const size_t ntablesets = %zu;\n"
          "const char tablesdouble[] = \"%s\";\n"
          "const char tablessingle[] = \"%s\";\n",
          entries.c_str(), sizeof sets / sizeof sets[0], wide.c_str(),
          narrow.c_str());
  if (fclose(f) != 0) {
    perror(argv[1]);
    return 1;
  }
  return 0;
}
