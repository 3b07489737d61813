// The fuzz targets' reading of the text they check: a line at a time.
#pragma once

#include <string>

struct lines {
  const std::string &text;
  size_t pos = 0;
  explicit lines(const std::string &t) : text(t) {}
  // The next line without its line feed; false when none is left.
  bool next(std::string *line) {
    size_t e = text.find('\n', pos);
    if (e == std::string::npos) return false;
    line->assign(text, pos, e - pos);
    pos = e + 1;
    return true;
  }
};
