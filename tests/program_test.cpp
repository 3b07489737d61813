// The built program as a process: status, standard error, arguments,
// and output failures.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

#include "conv.h"

namespace {

struct run {
  int status;
  std::string out, err;
};

// Runs the program through the shell with the given input file and
// redirections; stdout and stderr land in files.
run sh(const std::string &in, const std::string &tail = "",
       const std::string &redirect = "") {
  scratch s;
  std::string fin = s.at("in"), fout = s.at("out"), ferr = s.at("err");
  std::ofstream(fin, std::ios::binary) << in;
  std::string cmd = std::string("'") + DOSV2BDF_PROGRAM + "' " + tail + " < '" +
                    fin + "' 2> '" + ferr + "' " +
                    (redirect.empty() ? "> '" + fout + "'" : redirect);
  int st = std::system(cmd.c_str());
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, slurp(fout), slurp(ferr)};
}

TEST(program, statusandmessages) {
  std::string font = header("P", 8, 8, 0) + noise(256 * 8);
  const struct {
    const char *what;
    std::string in;
    int status;
    const char *err;
  } cases[] = {
      {"complete", font, 0, ""},
      {"empty", "", 1, "not in FONTX2 format\n"},
      {"not a font", "hello world\n", 1, "not in FONTX2 format\n"},
      {"truncated", font.substr(0, 100), 1, "unexpected end of input\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    run r = sh(c.in);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, conv(c.in).out);
  }
}

TEST(program, argumentsareignored) {
  std::string font = header("P", 8, 8, 0) + noise(256 * 8);
  run r = sh(font, "some.fnt --help -o x");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, conv(font).out);
}

// Through a pipe that delivers odd-sized pieces, glyphs straddle every read;
// the text must be the same as from memory.
// At a terminal the program would wait for a font typed on the keyboard.
TEST(program, terminalinput) {
  if (std::system("command -v script >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "script (util-linux) is not installed";
  scratch s;
  std::string out = s.at("out"), err = s.at("err");
  // script's own record of the session goes to a file of ours.
  std::string cmd = "timeout 10 script -qec \"'" +
                    std::string(DOSV2BDF_PROGRAM) + "' a.fnt > '" + out +
                    "' 2> '" + err + "'; exit \\$?\" '" + s.at("typescript") +
                    "' > /dev/null";
  int st = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 1);
  EXPECT_EQ(slurp(err), "usage: dosv2bdf < font.fnt > font.bdf\n");
  EXPECT_EQ(slurp(out), "");
}

TEST(program, pipedinpieces) {
  std::string font = header("PIPE", 12, 24, 1) + table({{0x8140, 0x84FC}}) +
                     noise(957 * 48, 5);
  scratch s;
  std::ofstream(s.at("in"), std::ios::binary) << font;
  std::string cmd = "dd bs=777 status=none < '" + s.at("in") + "' | '" +
                    DOSV2BDF_PROGRAM + "' > '" + s.at("piped") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(slurp(s.at("piped")), conv(font).out);
}

TEST(program, outputfailures) {
  std::string font = header("P", 16, 16, 0) + noise(256 * 32);
  run full = sh(font, "", "> /dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "write error: No space left on device\n");
  run closed = sh(font, "", ">&-");
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err, "write error: Bad file descriptor\n");
}

// A font that announces far more text than anyone would read: 255 blocks of
// 65536 glyphs of 255 x 255, with no glyph data at all.
std::string endless() {
  return header("BIG", 255, 255, 1) +
         table(std::vector<block>(255, {0x0000, 0xFFFF}));
}

TEST(program, readerclosingthepipeendstherun) {
  scratch s;
  std::string in = s.at("endless"), st = s.at("status"), err = s.at("err");
  std::ofstream(in, std::ios::binary) << endless();
  // Whatever this process was started with, the first case needs SIGPIPE's
  // default action in the shells below (they cannot undo an inherited ignore).
  signal(SIGPIPE, SIG_DFL);
  const struct {
    const char *what, *trap;
    const char *status, *err;
  } cases[] = {
      {"killed by SIGPIPE", "", "141", ""},
      {"SIGPIPE ignored", "trap '' PIPE; ", "1", "write error: Broken pipe\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::string cmd =
        std::string("timeout 60 bash -c \"") + c.trap + "'" + DOSV2BDF_PROGRAM +
        "' < '" + in + "' 2> '" + err +
        "' | head -c 100 > /dev/null; echo \\${PIPESTATUS[0]} > '" + st + "'\"";
    int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << "did not end";
    EXPECT_EQ(slurp(st), std::string(c.status) + "\n");
    EXPECT_EQ(slurp(err), c.err);
  }
}

TEST(program, unreadableinput) {
  std::string cmd = std::string("'") + DOSV2BDF_PROGRAM + "' < / 2>&1";
  FILE *p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[128] = "";
  if (!fgets(line, sizeof line, p)) line[0] = '\0';
  int st = pclose(p);
  EXPECT_EQ(WEXITSTATUS(st), 1);
  EXPECT_STREQ(line, "read error: Is a directory\n");
}

} // namespace
