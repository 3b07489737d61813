// TrueType fonts made in code, for tests and fuzz seeds: glyphs of
// straight-edged contours, a Unicode character map, and the metrics that
// the fitting, the styles and the readers' checks read (OS/2's Windows
// and typographic heights and strikeout, post's underline). The smallest
// font FreeType takes: no hinting instructions, no names.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct ttfglyph {
  int advance;
  std::vector<std::vector<std::pair<int, int>>> contours; // on-curve points
  int component = -1; // a composite of this one glyph, where not -1
};

struct ttfplan {
  int upem = 1000;
  int ascender = 800, descender = -200;  // hhea and OS/2 typographic
  int winascent = 800, windescent = 200; // OS/2 usWin*
  bool os2 = true, post = true;
  int strikeoutsize = 50, strikeoutpos = 250;
  int underlinepos = -100, underlinethickness = 50;
  int macstyle = 0;                  // head: 1 bold, 2 italic
  std::vector<ttfglyph> glyphs;      // glyph 0 is .notdef
  std::map<uint32_t, uint16_t> cmap; // BMP characters to glyphs
  int componentdepth = 0;            // maxp's maxComponentDepth
};

namespace ttfdetail {

inline void u16(std::string &s, int v) {
  s += static_cast<char>((v >> 8) & 0xFF);
  s += static_cast<char>(v & 0xFF);
}
inline void u32(std::string &s, uint32_t v) {
  u16(s, static_cast<int>(v >> 16));
  u16(s, static_cast<int>(v & 0xFFFF));
}

} // namespace ttfdetail

// A rectangle from (x0, y0) to (x1, y1), clockwise as TrueType wants ink.
inline std::vector<std::pair<int, int>> ttfbox(int x0, int y0, int x1, int y1) {
  return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

inline std::string ttf(const ttfplan &f) {
  using namespace ttfdetail;
  std::map<std::string, std::string> t;
  int xmin = 0, ymin = 0, xmax = 0, ymax = 0, maxpts = 0, maxcont = 0;
  std::string glyf, loca;
  for (const auto &g : f.glyphs) {
    u32(loca, static_cast<uint32_t>(glyf.size()));
    if (g.component >= 0) {
      // One component, placed by x and y offsets of a byte each.
      std::string d;
      u16(d, -1), u16(d, 0), u16(d, 0), u16(d, 100), u16(d, 100);
      u16(d, 0x0002), u16(d, g.component), u16(d, 0);
      glyf += d;
      continue;
    }
    if (g.contours.empty()) continue;
    int gx0 = 1 << 30, gy0 = 1 << 30, gx1 = -(1 << 30), gy1 = -(1 << 30);
    int points = 0;
    for (const auto &c : g.contours)
      for (const auto &p : c) {
        gx0 = std::min(gx0, p.first), gx1 = std::max(gx1, p.first);
        gy0 = std::min(gy0, p.second), gy1 = std::max(gy1, p.second);
        points++;
      }
    xmin = std::min(xmin, gx0), ymin = std::min(ymin, gy0);
    xmax = std::max(xmax, gx1), ymax = std::max(ymax, gy1);
    maxpts = std::max(maxpts, points);
    maxcont = std::max(maxcont, static_cast<int>(g.contours.size()));
    std::string d;
    u16(d, static_cast<int>(g.contours.size()));
    u16(d, gx0), u16(d, gy0), u16(d, gx1), u16(d, gy1);
    int end = -1;
    for (const auto &c : g.contours) u16(d, end += static_cast<int>(c.size()));
    u16(d, 0);                                    // no instructions
    for (int i = 0; i < points; i++) d += '\x01'; // on curve, 16-bit deltas
    int last = 0;
    for (const auto &c : g.contours)
      for (const auto &p : c) u16(d, p.first - last), last = p.first;
    last = 0;
    for (const auto &c : g.contours)
      for (const auto &p : c) u16(d, p.second - last), last = p.second;
    if (d.size() % 4) d.append(4 - d.size() % 4, '\0');
    glyf += d;
  }
  u32(loca, static_cast<uint32_t>(glyf.size()));
  int n = static_cast<int>(f.glyphs.size());

  std::string &head = t["head"];
  u32(head, 0x00010000), u32(head, 0x00010000), u32(head, 0);
  u32(head, 0x5F0F3CF5), u16(head, 0x000B), u16(head, f.upem);
  head.append(16, '\0'); // created, modified
  u16(head, xmin), u16(head, ymin), u16(head, xmax), u16(head, ymax);
  u16(head, f.macstyle), u16(head, 8), u16(head, 2), u16(head, 1), u16(head, 0);

  int maxadv = 0;
  for (const auto &g : f.glyphs) maxadv = std::max(maxadv, g.advance);
  std::string &hhea = t["hhea"];
  u32(hhea, 0x00010000), u16(hhea, f.ascender), u16(hhea, f.descender);
  u16(hhea, 0), u16(hhea, maxadv), u16(hhea, xmin), u16(hhea, 0);
  u16(hhea, xmax), u16(hhea, 1), u16(hhea, 0), u16(hhea, 0);
  hhea.append(8, '\0');
  u16(hhea, 0), u16(hhea, n);

  std::string &maxp = t["maxp"];
  u32(maxp, 0x00010000), u16(maxp, n), u16(maxp, maxpts), u16(maxp, maxcont);
  u16(maxp, 0), u16(maxp, 0), u16(maxp, 2);
  for (int i = 0; i < 7; i++) u16(maxp, 0);
  u16(maxp, f.componentdepth);

  std::string &hmtx = t["hmtx"];
  for (const auto &g : f.glyphs) u16(hmtx, g.advance), u16(hmtx, 0);

  // A format 4 subtable: a segment a character, and the final FFFF one.
  std::string sub;
  int segs = static_cast<int>(f.cmap.size()) + 1;
  u16(sub, 4), u16(sub, 16 + 8 * segs), u16(sub, 0), u16(sub, 2 * segs);
  int pow2 = 1, log2 = 0;
  while (pow2 * 2 <= segs) pow2 *= 2, log2++;
  u16(sub, 2 * pow2), u16(sub, log2), u16(sub, 2 * segs - 2 * pow2);
  for (const auto &c : f.cmap) u16(sub, static_cast<int>(c.first));
  u16(sub, 0xFFFF), u16(sub, 0);
  for (const auto &c : f.cmap) u16(sub, static_cast<int>(c.first));
  u16(sub, 0xFFFF);
  for (const auto &c : f.cmap)
    u16(sub, (c.second - static_cast<int>(c.first)) & 0xFFFF);
  u16(sub, 1);
  for (int i = 0; i < segs; i++) u16(sub, 0);
  std::string &cmap = t["cmap"];
  u16(cmap, 0), u16(cmap, 1), u16(cmap, 3), u16(cmap, 1), u32(cmap, 12);
  cmap += sub;

  t["loca"] = loca;
  t["glyf"] = glyf;
  if (f.os2) {
    std::string &os2 = t["OS/2"];
    u16(os2, 4), u16(os2, maxadv / 2), u16(os2, 400), u16(os2, 5);
    u16(os2, 0);                                       // fsType
    for (int i = 0; i < 8; i++) u16(os2, f.upem / 10); // sub- and superscripts
    u16(os2, f.strikeoutsize), u16(os2, f.strikeoutpos), u16(os2, 0);
    os2.append(10, '\0'); // panose
    os2.append(16, '\0'); // unicode ranges
    os2 += "TEST";
    // fsSelection, which FreeType reads for bold and italic before head's.
    int sel = (f.macstyle & 2 ? 1 : 0) | (f.macstyle & 1 ? 0x20 : 0);
    u16(os2, sel ? sel : 0x40), u16(os2, 0x20), u16(os2, 0xFFFF);
    u16(os2, f.ascender), u16(os2, f.descender), u16(os2, 0);
    u16(os2, f.winascent), u16(os2, f.windescent);
    u32(os2, 1), u32(os2, 0);                  // code page ranges
    u16(os2, 500), u16(os2, 700), u16(os2, 0); // x and cap heights
    u16(os2, 0x20), u16(os2, 0);               // break char, max context
  }
  if (f.post) {
    std::string &post = t["post"];
    u32(post, 0x00030000), u32(post, 0);
    u16(post, f.underlinepos), u16(post, f.underlinethickness);
    u32(post, 0);
    for (int i = 0; i < 4; i++) u32(post, 0);
  }

  std::string font;
  int count = static_cast<int>(t.size()), p2 = 1, l2 = 0;
  while (p2 * 2 <= count) p2 *= 2, l2++;
  u32(font, 0x00010000), u16(font, count), u16(font, 16 * p2);
  u16(font, l2), u16(font, 16 * count - 16 * p2);
  uint32_t at = 12 + 16 * static_cast<uint32_t>(count);
  std::string body;
  for (const auto &e : t) { // std::map: tags in order
    font += e.first;
    u32(font, 0); // checksum: FreeType does not check it
    u32(font, at + static_cast<uint32_t>(body.size()));
    u32(font, static_cast<uint32_t>(e.second.size()));
    body += e.second;
    if (body.size() % 4) body.append(4 - body.size() % 4, '\0');
  }
  return font + body;
}

// A collection (TTC) of fonts made by ttf(): its header, then each font
// with its tables' offsets counted from the start of the collection.
inline std::string ttc(const std::vector<std::string> &fonts) {
  using namespace ttfdetail;
  std::string head = "ttcf";
  u32(head, 0x00010000), u32(head, static_cast<uint32_t>(fonts.size()));
  uint32_t at = 12 + 4 * static_cast<uint32_t>(fonts.size());
  std::string body;
  for (std::string f : fonts) {
    uint32_t base = at + static_cast<uint32_t>(body.size());
    u32(head, base);
    size_t tables = static_cast<unsigned char>(f[4]) << 8 |
                    static_cast<unsigned char>(f[5]);
    for (size_t t = 0; t < tables; t++) {
      size_t e = 12 + 16 * t + 8;
      uint32_t off =
          static_cast<uint32_t>(static_cast<unsigned char>(f[e]) << 24 |
                                static_cast<unsigned char>(f[e + 1]) << 16 |
                                static_cast<unsigned char>(f[e + 2]) << 8 |
                                static_cast<unsigned char>(f[e + 3]));
      std::string v;
      u32(v, off + base);
      f.replace(e, 4, v);
    }
    body += f;
  }
  return head + body;
}
