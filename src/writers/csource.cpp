// FONTX2 fonts as C source: the FONTX2 writer's bytes, through a stream
// that spells each as a hexadecimal literal, twelve to a line.
#include "writers/csource.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

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

const char *const keywords[] = {
    "auto",     "break",     "case",     "char",          "const",
    "continue", "default",   "do",       "double",        "else",
    "enum",     "extern",    "float",    "for",           "goto",
    "if",       "inline",    "int",      "long",          "register",
    "restrict", "return",    "short",    "signed",        "sizeof",
    "static",   "struct",    "switch",   "typedef",       "union",
    "unsigned", "void",      "volatile", "while",         "bool",
    "class",    "delete",    "new",      "namespace",     "operator",
    "private",  "protected", "public",   "template",      "this",
    "throw",    "try",       "catch",    "typename",      "using",
    "virtual",  "true",      "false",    "friend",        "mutable",
    "explicit", "export",    "asm",      "wchar_t",       "nullptr",
    "decltype", "constexpr", "noexcept", "static_assert", "thread_local",
    "alignas",  "alignof",   "char16_t", "char32_t",      "and",
    "or",       "not",       "xor",      "bitand",        "bitor",
    "compl",    "and_eq",    "or_eq",    "xor_eq",        "not_eq"};

} // namespace

void cwrite(const glyphset *gs, const copts *o, outstream *out) {
  char guard[160];
  size_t k = 0;
  for (const char *p = o->name; *p && k + 10 < sizeof guard; p++)
    guard[k++] = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
  strcpy(guard + k, "_FONTX2_H");
  char head[512];
  int n = snprintf(head, sizeof head,
                   "#ifndef %s\n#define %s\nstatic const unsigned char %s[] "
                   "= {\n",
                   guard, guard, o->name);
  swrite(out, head, static_cast<size_t>(n));
  // The FONTX2 writer's bytes, spelled as they come.
  std::unique_ptr<outstream> bytes(new outstream);
  spelled s = {out, 0};
  soutsink(bytes.get(), spell, &s);
  fontxwrite(gs, bytes.get());
  sflush(bytes.get());
  n = snprintf(head, sizeof head,
               "\n};\nstatic const unsigned int %s_size = %zu;\n#endif\n",
               o->name, s.n);
  swrite(out, head, static_cast<size_t>(n));
}

void cname(const char *text, int dropext, char *id, size_t size) {
  const char *base = text;
  for (const char *p = text; *p; p++)
    if (*p == '/') base = p + 1;
  size_t len = strlen(base);
  const char *dot = dropext ? strrchr(base, '.') : nullptr;
  if (dot && dot != base) len = static_cast<size_t>(dot - base);
  size_t k = 0;
  if (len && isdigit(static_cast<unsigned char>(*base)))
    k = static_cast<size_t>(snprintf(id, size, "font_"));
  for (size_t i = 0; i < len && k + 1 < size; i++) {
    unsigned char c = static_cast<unsigned char>(base[i]);
    id[k++] = isalnum(c) && c < 0x80 ? static_cast<char>(c) : '_';
  }
  id[k] = '\0';
  if (!k) snprintf(id, size, "font");
  if (!iscname(id) && k + 6 < size) strcat(id, "_font"); // a keyword
}

int iscname(const char *text) {
  if (!*text || isdigit(static_cast<unsigned char>(*text))) return 0;
  for (const char *p = text; *p; p++)
    if (!(isalnum(static_cast<unsigned char>(*p)) || *p == '_') ||
        static_cast<unsigned char>(*p) >= 0x80)
      return 0;
  for (const char *k : keywords)
    if (!strcmp(text, k)) return 0;
  return 1;
}
