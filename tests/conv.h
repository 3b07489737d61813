// Test support: runs the real conversion in-process on memory buffers, builds
// FONTX2 fonts in code, and reads BDF text back into records.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct result {
  int status;
  std::string out; // standard output
  std::string msg; // the standard error line, without line feed
};

result conv(const std::string &in);

// A 17-byte FONTX2 header; name is padded with spaces to 8 bytes.
std::string header(const std::string &name, int width, int height,
                   int codetype);

// A double-byte font's block count and code-block table, and the number
// of glyphs it announces.
struct block {
  unsigned start, end;
};
std::string table(const std::vector<block> &blocks);
long glyphs(const std::vector<block> &blocks);

// n bytes of a fixed pseudo-random sequence.
std::string noise(size_t n, uint32_t seed = 1);

// Two hex digits for every byte.
std::string hex(const std::string &bytes);

struct glyph {
  std::string name;
  long enc;
  std::vector<std::string> rows;
};

struct bdffont {
  std::vector<std::string> head; // STARTFONT .. ENDPROPERTIES
  long chars = -1;
  std::vector<glyph> glyphs;
};

// Reads BDF text as written by the converter, checking every fixed line of
// each record against the cell size. Empty string on success, else what
// was wrong.
std::string parsebdf(const std::string &text, int width, int height,
                     bdffont *f);

// A folder of the test's own, made with mkdtemp under the temporary folder
// and removed with everything in it when the scratch goes out of scope, so
// that tests run in parallel never meet in each other's files.
struct scratch {
  std::string dir;
  scratch();
  ~scratch();
  scratch(const scratch &) = delete;
  scratch &operator=(const scratch &) = delete;
  // A path in the folder.
  std::string at(const std::string &name) const { return dir + "/" + name; }
};

// A program as a process: its exit status (-1 when a signal ended it) and
// what it wrote. Standard input comes from in.
struct proc {
  int status;
  std::string out, err;
};
proc run(const std::string &program, const std::vector<std::string> &args,
         const std::string &in = "");

// dosvfont as a process.
proc vfont(const std::vector<std::string> &args, const std::string &in = "");

// The codes of a FONTX2 font, glyph by glyph, in file order.
std::vector<unsigned> fxcodes(const std::string &font);

// A run of dosvfont that fails: its arguments and input, its status and
// its one line on standard error (after "dosvfont: "). Nothing may reach
// standard output.
struct failure {
  std::vector<std::string> args;
  std::string in;
  int status;
  std::string err;
};
void expectfailures(const std::vector<failure> &cases);

// Glyph i of a FONTX2 font, as its bytes stand in the file, with the row
// padding bits cleared (readers return them clear).
std::string fxglyph(const std::string &font, size_t i);

// CP932 as the C library's iconv maps it, a code at a time, to check ours
// against: the code point of a byte (or of lead << 8 | trail), or -1 when
// there is not exactly one; with back, also -1 when the code point does
// not map back to the code.
long cp932(unsigned code, bool wide, bool back = false);

// Where the shared real fonts are, or "" when they are absent; then
// nofonts() is the reason to give for skipping.
std::string fontsdir();
std::string nofonts();

// The shared real fonts that are there: their file names and bytes.
struct named {
  std::string name, font;
};
std::vector<named> realfonts();
std::string slurp(const std::string &path);

// The names in a folder, but . and ...
std::set<std::string> listing(const std::string &dir);

// A PNG as a reader sees it, decoded to a byte of gray a pixel.
struct picture {
  int width = 0, height = 0;
  std::vector<unsigned char> gray;
  int at(int x, int y) const {
    return gray[static_cast<size_t>(y) * static_cast<size_t>(width) +
                static_cast<size_t>(x)];
  }
};
bool decodepng(const std::string &data, picture *p);
