// Throughput and memory benchmark. Not a test: run it by hand on a quiet
// machine.
//
//   dosv2bdf_bench PROGRAM [RUNS]
//
// Writes a large double-byte font (64 x 64 cells, blocks 0x8140-0x9FFC and
// 0xE040-0xEFFC: 11898 glyphs, about 6.1 MB of random bitmap data from a
// fixed seed) and a 4 KB single-byte font to a temporary folder, converts
// the large one to /dev/null RUNS times (default 21) after a warm-up,
// alternating with `xxd -p` on the same file as the yardstick, and prints
// the medians, the output rate and the peak resident memory of both fonts.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct timing {
  double seconds;
};

void die(const char *what) {
  fprintf(stderr, "dosv2bdf_bench: %s: %s\n", what, strerror(errno));
  exit(2);
}

void writefile(const std::string &path, const std::string &data) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data.data(), 1, data.size(), f) != data.size() ||
      fclose(f) != 0)
    die(path.c_str());
}

std::string header(int w, int h, int type) {
  std::string s = "FONTX2BENCH   ";
  s += static_cast<char>(w);
  s += static_cast<char>(h);
  s += static_cast<char>(type);
  return s;
}

std::string randombytes(size_t n, std::mt19937 &rng) {
  std::string s(n, '\0');
  for (auto &c : s) c = static_cast<char>(rng() >> 24);
  return s;
}

// Runs argv with stdin from `in` and stdout to `out`.
timing run(const std::vector<std::string> &args, const std::string &in,
           const char *out = "/dev/null") {
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) die("fork");
  if (pid == 0) {
    int fi = open(in.c_str(), O_RDONLY);
    int fo = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fi < 0 || fo < 0) _exit(127);
    dup2(fi, 0);
    dup2(fo, 1);
    std::vector<char *> argv;
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int st;
  if (waitpid(pid, &st, 0) < 0) die("waitpid");
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
  if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) {
    fprintf(stderr, "dosv2bdf_bench: %s failed\n", args[0].c_str());
    exit(2);
  }
  return {took.count()};
}

// Peak resident memory in KB of one conversion, by /usr/bin/time: a child
// forked from this process would start out with this process's own pages
// counted, the font generated above among them.
long peakrss(const std::string &prog, const std::string &in,
             const std::string &dir) {
  std::string report = dir + "/rss";
  long kb = -1;
  for (int i = 0; i < 5; i++) {
    std::string cmd = "/usr/bin/time -f %M -o '" + report + "' '" + prog +
                      "' < '" + in + "' > /dev/null";
    if (std::system(cmd.c_str()) != 0) return -1;
    FILE *f = fopen(report.c_str(), "r");
    long v = -1;
    if (!f || fscanf(f, "%ld", &v) != 1) v = -1;
    if (f) fclose(f);
    kb = std::max(kb, v);
  }
  unlink(report.c_str());
  return kb;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: dosv2bdf_bench PROGRAM [RUNS]\n");
    return 2;
  }
  std::string prog = argv[1];
  int runs = argc > 2 ? atoi(argv[2]) : 21;
  if (runs < 1) runs = 1;

  char tmpl[] = "/tmp/dosv2bdf_bench.XXXXXX";
  if (!mkdtemp(tmpl)) die("mkdtemp");
  std::string dir = tmpl, large = dir + "/large.fnt",
              small = dir + "/small.fnt", bdf = dir + "/large.bdf";

  std::mt19937 rng(20261208);
  const unsigned blocks[][2] = {{0x8140, 0x9FFC}, {0xE040, 0xEFFC}};
  std::string font = header(64, 64, 1) + '\2';
  size_t glyphs = 0;
  for (const auto &b : blocks) {
    for (unsigned c : {b[0], b[1]}) {
      font += static_cast<char>(c & 0xFF);
      font += static_cast<char>(c >> 8);
    }
    glyphs += b[1] - b[0] + 1;
  }
  font += randombytes(glyphs * 64 * 8, rng);
  writefile(large, font);
  writefile(small, header(8, 16, 0) + randombytes(256 * 16, rng));

  run({prog}, large, bdf.c_str());
  struct stat st;
  if (stat(bdf.c_str(), &st) != 0) die(bdf.c_str());
  double outmb = static_cast<double>(st.st_size) / 1e6;
  double inmb = static_cast<double>(font.size()) / 1e6;

  for (int i = 0; i < 3; i++) run({prog}, large), run({"xxd", "-p"}, large);
  std::vector<double> ours, xxd;
  for (int i = 0; i < runs; i++) {
    ours.push_back(run({prog}, large).seconds);
    xxd.push_back(run({"xxd", "-p"}, large).seconds);
  }
  long rsssmall = peakrss(prog, small, dir),
       rsslarge = peakrss(prog, large, dir);

  double t = median(ours), x = median(xxd);
  printf("font: %zu glyphs of 64 x 64, %.1f MB in, %.1f MB of BDF out\n",
         glyphs, inmb, outmb);
  printf("dosv2bdf: median %.2f ms over %d runs, %.0f MB/s of output\n",
         t * 1e3, runs, outmb / t);
  printf("xxd -p:   median %.2f ms, dosv2bdf is %.1f times as fast\n", x * 1e3,
         x / t);
  if (rsssmall < 0 || rsslarge < 0)
    printf("peak RSS: not measured (needs /usr/bin/time, Debian's time)\n");
  else
    printf("peak RSS: %ld KB for the 4 KB font, %ld KB for the large font\n",
           rsssmall, rsslarge);

  unlink(large.c_str());
  unlink(small.c_str());
  unlink(bdf.c_str());
  rmdir(dir.c_str());
  return 0;
}
