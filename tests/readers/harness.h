// What every reader's harness shares: the command line, the text split into
// lines as an application hands them to a reader's string function one at
// a time, the display's memory, and the picture written as a plain PBM
// (1 where a pixel holds any colour but the background's 0).
//
//   harness OUT.pbm WIDTH HEIGHT TEXT FONT [FONT...]
//
// Each line is drawn at x = 0, line i in the rows i*h to i*h+h-1, h the
// tallest font's height; a line whose first row is below the screen is not
// drawn at all, as an application stops at the bottom.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct harness {
  std::string out;
  int width = 0, height = 0;
  std::vector<std::string> lines;
  std::vector<std::string> fonts; // paths
  std::vector<std::string> data;  // their bytes
  int lineheight = 0;
  std::vector<uint16_t> px; // the panel's memory, a word a pixel
};

inline std::string slurp(const char *path) {
  std::string s;
  FILE *f = fopen(path, "rb");
  if (!f) {
    fprintf(stderr, "cannot read %s\n", path);
    exit(1);
  }
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

inline void harnessopen(harness *h, int argc, char **argv) {
  if (argc < 6) {
    fprintf(stderr, "usage: harness OUT.pbm WIDTH HEIGHT TEXT FONT...\n");
    exit(2);
  }
  h->out = argv[1];
  h->width = atoi(argv[2]), h->height = atoi(argv[3]);
  std::string text = slurp(argv[4]);
  for (size_t start = 0; start < text.size();) {
    size_t lf = text.find('\n', start);
    size_t stop = lf == std::string::npos ? text.size() : lf;
    std::string line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    h->lines.push_back(line);
    start = stop + 1;
  }
  for (int i = 5; i < argc; i++) {
    h->fonts.push_back(argv[i]);
    h->data.push_back(slurp(argv[i]));
    std::string &d = h->data.back();
    int fh = d.size() > 15 ? static_cast<unsigned char>(d[15]) : 0;
    // Zeros past the font, for a reader that reads glyphs where it has
    // none: what a device has there is anyone's guess.
    d.append(65536, '\0');
    if (fh > h->lineheight) h->lineheight = fh;
  }
  h->px.assign(static_cast<size_t>(h->width) * h->height, 0);
}

// The rows line i takes, or -1 where it lies below the screen.
inline long linetop(const harness *h, size_t i) {
  long top = static_cast<long>(i) * h->lineheight;
  return top < h->height ? top : -1;
}

inline void harnessclose(const harness *h) {
  FILE *f = fopen(h->out.c_str(), "wb");
  if (!f) exit(1);
  fprintf(f, "P1\n%d %d\n", h->width, h->height);
  for (int y = 0; y < h->height; y++) {
    for (int x = 0; x < h->width; x++)
      fputc(h->px[static_cast<size_t>(y) * h->width + x] ? '1' : '0', f);
    fputc('\n', f);
  }
  if (fclose(f)) exit(1);
}

// A display controller driven by MIPI DCS commands, as the ILI9341 and
// ST7789 are: a command byte with D/C low, its parameters with D/C high;
// 0x2A and 0x2B set the column and page window, 0x2C writes 16-bit pixels
// into it left to right, top to bottom; 0x36 (MADCTL) orders the rows
// bottom to top where its MY bit is set and the columns right to left
// where MX is: the glass as the driver sets the panel up. Addresses
// outside the panel are dropped, as the controller's memory ends there.
struct dcs {
  harness *h = nullptr;
  int dc = 0; // the D/C line: 0 command, 1 data
  int cmd = -1;
  std::vector<uint8_t> params;
  unsigned x1 = 0, x2 = 0, y1 = 0, y2 = 0, cx = 0, cy = 0;
  int half = -1; // a pixel's first byte, waiting for its second
  int madctl = 0;

  void byte(uint8_t b) {
    if (!dc) {
      cmd = b, params.clear(), half = -1;
      if (cmd == 0x2C) cx = x1, cy = y1;
      return;
    }
    if (cmd == 0x2C) {
      if (half < 0) {
        half = b;
        return;
      }
      uint16_t colour = static_cast<uint16_t>(half << 8 | b);
      half = -1;
      if (cx < static_cast<unsigned>(h->width) &&
          cy < static_cast<unsigned>(h->height)) {
        unsigned x = madctl & 0x40 ? h->width - 1 - cx : cx;
        unsigned y = madctl & 0x80 ? h->height - 1 - cy : cy;
        h->px[static_cast<size_t>(y) * h->width + x] = colour;
      }
      if (++cx > x2) cx = x1, cy++;
      return;
    }
    params.push_back(b);
    if (cmd == 0x36) madctl = b;
    if (params.size() == 4 && (cmd == 0x2A || cmd == 0x2B)) {
      unsigned a = params[0] << 8 | params[1], z = params[2] << 8 | params[3];
      if (cmd == 0x2A)
        x1 = a, x2 = z;
      else
        y1 = a, y2 = z;
    }
  }
};
