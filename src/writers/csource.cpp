// FONTX2 fonts as C source: the FONTX2 writer's bytes, through a stream
// that spells each as a hexadecimal literal, twelve to a line.
#include "writers/csource.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "fontx/fontxset.h"

namespace {

struct spelled {
  outstream *out;
  size_t n; // bytes spelled so far
};

void spell(void *ctx, const char *data, size_t n) {
  spelled *s = static_cast<spelled *>(ctx);
  static const char hex[] = "0123456789abcdef";
  for (size_t i = 0; i < n; i++) {
    // xxd -i's shape: "  0x46, 0x4f," a line, no comma after the last.
    char *q = sroom(s->out, 10);
    if (s->n) *q++ = ',';
    if (s->n % 12 == 0) {
      if (s->n) *q++ = '\n';
      *q++ = ' ';
    }
    *q++ = ' ';
    unsigned char b = static_cast<unsigned char>(data[i]);
    *q++ = '0', *q++ = 'x', *q++ = hex[b >> 4], *q++ = hex[b & 15];
    sput(s->out, q);
    s->n++;
  }
}

// C's keywords to C23 and C++'s to C++23, alternative tokens included.
const char *const keywords[] = {"alignas",
                                "alignof",
                                "and",
                                "and_eq",
                                "asm",
                                "atomic_cancel",
                                "atomic_commit",
                                "atomic_noexcept",
                                "auto",
                                "bitand",
                                "bitor",
                                "bool",
                                "break",
                                "case",
                                "catch",
                                "char",
                                "char8_t",
                                "char16_t",
                                "char32_t",
                                "class",
                                "compl",
                                "concept",
                                "const",
                                "consteval",
                                "constexpr",
                                "constinit",
                                "const_cast",
                                "continue",
                                "co_await",
                                "co_return",
                                "co_yield",
                                "decltype",
                                "default",
                                "delete",
                                "do",
                                "double",
                                "dynamic_cast",
                                "else",
                                "enum",
                                "explicit",
                                "export",
                                "extern",
                                "false",
                                "float",
                                "for",
                                "friend",
                                "goto",
                                "if",
                                "inline",
                                "int",
                                "long",
                                "mutable",
                                "namespace",
                                "new",
                                "noexcept",
                                "not",
                                "not_eq",
                                "nullptr",
                                "operator",
                                "or",
                                "or_eq",
                                "private",
                                "protected",
                                "public",
                                "reflexpr",
                                "register",
                                "reinterpret_cast",
                                "requires",
                                "restrict",
                                "return",
                                "short",
                                "signed",
                                "sizeof",
                                "static",
                                "static_assert",
                                "static_cast",
                                "struct",
                                "switch",
                                "synchronized",
                                "template",
                                "this",
                                "thread_local",
                                "throw",
                                "true",
                                "try",
                                "typedef",
                                "typeid",
                                "typename",
                                "typeof",
                                "typeof_unqual",
                                "union",
                                "unsigned",
                                "using",
                                "virtual",
                                "void",
                                "volatile",
                                "wchar_t",
                                "while",
                                "xor",
                                "xor_eq"};

bool iskeyword(const char *text) {
  for (const char *k : keywords)
    if (!strcmp(text, k)) return true;
  return false;
}

} // namespace

void cwrite(const glyphset *gs, const copts *o, outstream *out) {
  std::string guard;
  for (const char *p = o->name; *p; p++)
    guard += static_cast<char>(toupper(static_cast<unsigned char>(*p)));
  guard += guard.back() == '_' ? "FONTX2_H" : "_FONTX2_H";
  std::string head = "#ifndef " + guard + "\n#define " + guard +
                     "\nstatic const unsigned char " + o->name + "[] = {\n";
  swrite(out, head.data(), head.size());
  // The FONTX2 writer's bytes, spelled as they come.
  std::unique_ptr<outstream> bytes(new outstream);
  spelled s = {out, 0};
  soutsink(bytes.get(), spell, &s);
  fontxwrite(gs, bytes.get());
  sflush(bytes.get());
  std::string tail = "\n};\nstatic const unsigned int " + std::string(o->name) +
                     "_size = " + std::to_string(s.n) + ";\n#endif\n";
  swrite(out, tail.data(), tail.size());
}

void cname(const char *text, int dropext, char *id, size_t size) {
  const char *base = text;
  for (const char *p = text; *p; p++)
    if (*p == '/') base = p + 1;
  size_t len = strlen(base);
  const char *dot = dropext ? strrchr(base, '.') : nullptr;
  if (dot && dot != base) len = static_cast<size_t>(dot - base);
  std::string n;
  for (size_t i = 0; i < len; i++) {
    unsigned char c = static_cast<unsigned char>(base[i]);
    char put = isalnum(c) && c < 0x80 ? static_cast<char>(c) : '_';
    if (put != '_' || (!n.empty() && n.back() != '_')) n += put;
  }
  // No name C reserves: no leading or doubled underscore, none at the end
  // for the include guard's sake.
  if (!n.empty() && n.back() == '_') n.pop_back();
  if (n.empty()) n = "font";
  if (isdigit(static_cast<unsigned char>(n[0]))) n = "font_" + n;
  if (iskeyword(n.c_str())) n += "_font";
  snprintf(id, size, "%s", n.c_str());
}

const char *cnamefault(const char *text) {
  if (!*text || isdigit(static_cast<unsigned char>(*text)))
    return "is not a C identifier";
  for (const char *p = text; *p; p++)
    if (!(isalnum(static_cast<unsigned char>(*p)) || *p == '_') ||
        static_cast<unsigned char>(*p) >= 0x80)
      return "is not a C identifier";
  if (iskeyword(text)) return "is a keyword of C or C++";
  // C reserves every name with a leading underscore at file scope, and
  // both languages any with two underscores or _ and a capital: _Bool,
  // _Atomic and their kin are such names.
  if (*text == '_' || strstr(text, "__"))
    return "is a name C and C++ reserve (a leading underscore, or two "
           "underscores)";
  if (strlen(text) > CNAMEMAX)
    return "is longer than 58 characters: C tells names apart by their "
           "first 63, and NAME_size adds 5";
  return nullptr;
}
