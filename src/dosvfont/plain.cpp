// Plain words for a failure, from the input's first bytes and the line the
// program said: the kinds of file people drop by mistake named as such.
#include "dosvfont/plain.h"

#include <cstring>

namespace {

const struct {
  const char *magic;
  size_t n;
  const char *what;
} kinds[] = {
    {"\xFF\xD8\xFF", 3, "a JPEG picture"},
    {"\x89PNG", 4, "a PNG picture"},
    {"GIF8", 4, "a GIF picture"},
    {"%PDF", 4, "a PDF document"},
    {"PK\x03\x04", 4, "a ZIP archive"},
    {"RIFF", 4, "a RIFF file (a WebP picture, a WAV sound)"},
    {"\x7F"
     "ELF",
     4, "a program"},
    {"BM", 2, "a BMP picture"},
    {"<", 1, "a web page or XML"},
    {"\x1F\x8B", 2, "a gzip file that holds no font"},
};

// The line that says why the run failed: the last that is no warning or
// note, without the program's name.
std::string failureline(const std::string &messages) {
  std::string last;
  size_t at = 0;
  while (at < messages.size()) {
    size_t end = messages.find('\n', at);
    if (end == std::string::npos) end = messages.size();
    std::string line = messages.substr(at, end - at);
    if (!line.compare(0, 10, "dosvfont: ")) line = line.substr(10);
    if (line.compare(0, 8, "warning:") && line.compare(0, 5, "note:") &&
        !line.empty())
      last = line;
    at = end + 1;
  }
  return last;
}

bool has(const std::string &line, const char *words) {
  return line.find(words) != std::string::npos;
}

} // namespace

std::string plainwords(int status, const unsigned char *data, size_t n,
                       const std::string &messages) {
  if (!status) return "";
  std::string line = failureline(messages);
  if (status == 2) return "An option does not fit this font: " + line + ".";
  if (has(line, "out of memory"))
    return "The browser ran out of memory for this conversion: try a smaller "
           "size or a subset.";
  if (!n) return "This file is empty: there is no font in it.";
  // The edits' own faults: the font and the edits stay on the page.
  if (has(line, "--patch takes"))
    return "The edits are not a BDF font: " + line + ".";
  if (has(line, "reaches outside the"))
    return "An edited glyph does not fit the font's cell: " + line +
           ". Your edits are kept: move or clear its ink.";
  if (has(line, "has no code in"))
    return "An edited character has no place in the font: " + line +
           ". Your edits are kept: revert it.";
  if (has(line, "not a font"))
    for (const auto &k : kinds)
      if (n >= k.n && !memcmp(data, k.magic, k.n))
        return std::string("This file is not a font: it begins like ") +
               k.what + ".";
  if (has(line, "not a font"))
    return "This file is not a font dosvfont reads: it is neither a FONTX2 "
           "font nor a BDF, PCF, TrueType or OpenType font.";
  if (has(line, "the header ends"))
    return "This file is only the start of a FONTX2 font: it ends inside the "
           "17-byte header, so there is no font in it to read or salvage.";
  if (has(line, "truncated"))
    return "This FONTX2 font is cut short: the file ends before its last "
           "glyph. Salvage writes what it has, the missing bytes as 0xFF.";
  if (has(line, "larger than"))
    return "This file is larger than dosvfont reads.";
  if (has(line, "-s"))
    return "This font is drawn from outlines or has several sizes: choose a "
           "pixel size.";
  if (has(line, "no glyph") || has(line, "holds none") ||
      has(line, "none of the text"))
    return "Nothing is left to write: the font has no glyph of the kind, "
           "codes or characters asked for.";
  if (has(line, "not UTF-8") || has(line, "text larger"))
    return "The text cannot be used: " + line + ".";
  return "The font could not be converted: " + line + ".";
}
