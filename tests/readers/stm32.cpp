// nemuisan's FONTX2 driver drawing a text on an emulated controller: its
// own InitFont_Ank, InitFont_Kanji and Display_Puts_If (transparent), the
// fonts in memory as the driver takes them from flash, each line turned
// into the Shift_JIS string a program would hold (iconv's SHIFT_JIS; a
// character it lacks cannot be in the string) and drawn at x = 0 with y
// its top row.
#include <cstring>
#include <iconv.h>

#include "harness.h"

extern "C" {
#include "display_if_support.h"
}

int panel_width, panel_height;

namespace {
harness h;
uint32_t wx1, wx2, wy1, wy2, cx, cy;

// The program's Shift_JIS string: each character converted alone.
std::string shiftjis(const std::string &utf8) {
  std::string out;
  iconv_t cd = iconv_open("SHIFT_JIS", "UTF-8");
  for (size_t i = 0; i < utf8.size();) {
    unsigned b = static_cast<unsigned char>(utf8[i]);
    size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (b < 0x80) { // the program's ASCII, 0x5C and 0x7E as they are
      out += static_cast<char>(b);
      i++;
      continue;
    }
    char in[4], buf[8];
    memcpy(in, &utf8[i], len);
    char *ip = in, *op = buf;
    size_t il = len, ol = sizeof buf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1))
      out.append(buf, static_cast<size_t>(op - buf));
    i += len;
  }
  iconv_close(cd);
  return out;
}
} // namespace

extern "C" {
void Display_rect_if(uint32_t xs, uint32_t xe, uint32_t ys, uint32_t ye) {
  wx1 = xs, wx2 = xe, wy1 = ys, wy2 = ye, cx = xs, cy = ys;
}
void Display_clear_if(void) {
  h.px.assign(h.px.size(), 0);
}
void Display_wr_dat_if(uint16_t colour) {
  if (cx < static_cast<uint32_t>(h.width) &&
      cy < static_cast<uint32_t>(h.height))
    h.px[static_cast<size_t>(cy) * h.width + cx] = colour;
  if (++cx > wx2) cx = wx1, cy++;
}
}

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  panel_width = h.width, panel_height = h.height;
  static FontX_Ank ank;
  static FontX_Kanji kanji;
  for (const std::string &d : h.data) {
    if (d.size() > 16 && d[16] == 0) {
      InitFont_Ank(&ank, d.data());
      ChangeCurrentAnk(&ank);
    } else {
      InitFont_Kanji(&kanji, d.data());
      ChangeCurrentKanji(&kanji);
    }
  }
  Display_ChrCol(0xFFFF, 0x0000);
  for (size_t i = 0; i < h.lines.size(); i++) {
    long top = linetop(&h, i);
    if (top < 0) break;
    std::string s = shiftjis(h.lines[i]);
    Display_Puts_If(0, static_cast<uint16_t>(top),
                    reinterpret_cast<uint8_t *>(&s[0]), TRANSPARENT);
  }
  harnessclose(&h);
  return 0;
}
