// The Raspberry Pi OLED program (nopnop2002/Raspberry-ssd1306) drawing a
// text on an emulated SSD1306 behind its SPI: its own main, run as a user
// runs it, "oled +N line" for each of its four lines and then "oled s",
// in a folder of the harness's own where fontx/ILGH16XB.FNT and
// fontx/ILGZ16XB.FNT are the fonts given (the program opens those paths);
// the controller in page addressing, as the program sets it up, a data
// byte 8 pixels down from its page's top, the low bit first. Its init's
// segment remap and COM scan order (A1, C8) are taken as the module's
// upright orientation.
// The program's main is built as oled_main (-Dmain=oled_main); this file's
// is the harness's.
#undef main

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "harness.h"
#include "wiring.h"

extern "C" {
#include <wiringPi.h>
#include <wiringPiI2C.h>
#include <wiringPiSPI.h>
#include <wiringShift.h>

int oled_main(int argc, char **argv);
}

namespace {
harness h;
int dc = 0;
unsigned column = 0, page = 0;
} // namespace

extern "C" {
int digitalRead(int) {
  return 0;
}
void digitalWrite(int pin, int value) {
  if (pin == 0) dc = value; // the program's DC pin
}
int wiringPiI2CSetup(int) {
  return 0;
}
int wiringPiI2CWriteReg8(int, int, int) {
  return 0;
}
int wiringPiI2CWrite(int, int) {
  return 0;
}
void shiftOut(uint8_t, uint8_t, uint8_t, uint8_t) {}
int wiringPiSPISetup(int, int) {
  return 0;
}
int wiringPiSPIDataRW(int, unsigned char *data, int len) {
  for (int i = 0; i < len; i++) {
    unsigned b = data[i];
    if (!dc) {
      if (b < 0x10)
        column = (column & 0xF0) | b;
      else if (b < 0x20)
        column = (column & 0x0F) | (b & 0x0F) << 4;
      else if (b >= 0xB0 && b <= 0xB7)
        page = b & 7;
      continue;
    }
    for (unsigned k = 0; k < 8; k++) {
      unsigned y = page * 8 + k;
      if (column < static_cast<unsigned>(h.width) &&
          y < static_cast<unsigned>(h.height))
        h.px[static_cast<size_t>(y) * h.width + column] = b >> k & 1;
    }
    column = (column + 1) & 127;
  }
  return len;
}
}

namespace {
int call(const std::string &dir, std::vector<std::string> args) {
  args.insert(args.begin(), dir + "/oled");
  std::vector<char *> argv;
  for (auto &a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return oled_main(static_cast<int>(args.size()), argv.data());
}
} // namespace

int main(int argc, char **argv) {
  harnessopen(&h, argc, argv);
  char tmpl[] = "/tmp/oled-XXXXXX";
  std::string dir = mkdtemp(tmpl);
  std::string fonts = dir + "/fontx";
  mkdir(fonts.c_str(), 0700);
  const char *names[] = {"/ILGH16XB.FNT", "/ILGZ16XB.FNT"};
  for (size_t i = 0; i < h.data.size() && i < 2; i++) {
    FILE *f = fopen((fonts + names[i]).c_str(), "wb");
    fwrite(h.data[i].data(), 1, h.data[i].size() - 65536, f);
    fclose(f);
  }
  if (chdir(dir.c_str())) return 1;
  call(dir, {"r"});
  for (size_t i = 0; i < h.lines.size() && i < 4; i++)
    call(dir, {"+" + std::to_string(i + 1), h.lines[i]});
  call(dir, {"s"});
  harnessclose(&h);
  for (const char *n : names) unlink((fonts + n).c_str());
  unlink((dir + "/oled.conf").c_str());
  rmdir(fonts.c_str());
  rmdir(dir.c_str());
  return 0;
}
