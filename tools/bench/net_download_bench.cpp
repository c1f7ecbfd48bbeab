// Times HttpDownloadFile against `curl -o` on the same URL: each run in a fresh child
// process, so that times and peak memory (the child's maximum resident set) compare alike.
// Prints every time, the medians, the ratio of the medians and the peak memory of both.
//
//   net_download_bench compare NAME URL RUNS   the comparison
//   net_download_bench fetch URL FILE          one download (the child's side)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/connection.h"
#include "net/http_download.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

struct Sample {
  double seconds;
  long peakKilobytes;
  bool ok;
};

Sample RunChild(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, usage.ru_maxrss, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Fetch(const char* url, const char* file) {
  const LibraryStep start[] = {{"string work area", WorkAreaInit, WorkAreaReady}};
  const LibraryStep end[] = {{"network", NetworkEnd}};
  const ProgramDescription program{nullptr, 0, start, 1, end, 1, nullptr};
  if (!ProgramStartup(program)) return 2;
  NetworkInit();
  const std::int32_t written = HttpDownloadFile(url, file);
  ProgramShutdown();
  return written > 0 ? 0 : 1;
}

int Compare(const char* self, const char* name, const char* url, int runs) {
  const std::string ourFile = std::string("bench-") + name + "-ours.out";
  const std::string curlFile = std::string("bench-") + name + "-curl.out";
  std::vector<double> ours, curl;
  long oursPeak = 0, curlPeak = 0;
  for (int i = 0; i < runs; ++i) {
    // Alternate the two, so a change in the machine's load hits both alike.
    const Sample c = RunChild({"curl", "-s", "-o", curlFile, url});
    const Sample o = RunChild({self, "fetch", url, ourFile});
    if (!c.ok || !o.ok) {
      std::printf("%s: run %d failed (curl %s, ours %s)\n", name, i + 1, c.ok ? "ok" : "failed", o.ok ? "ok" : "failed");
      return 1;
    }
    curl.push_back(c.seconds);
    ours.push_back(o.seconds);
    curlPeak = std::max(curlPeak, c.peakKilobytes);
    oursPeak = std::max(oursPeak, o.peakKilobytes);
    std::printf("%s run %d: ours %.3f s, curl %.3f s\n", name, i + 1, o.seconds, c.seconds);
  }
  const std::string command = "cmp -s " + ourFile + " " + curlFile;
  const bool same = std::system(command.c_str()) == 0;
  const double oursMedian = Median(ours), curlMedian = Median(curl);
  std::printf("%s: median ours %.3f s, curl %.3f s, ratio %.2f; peak memory ours %ld KiB, curl %ld KiB; files %s\n",
              name, oursMedian, curlMedian, oursMedian / curlMedian, oursPeak, curlPeak, same ? "identical" : "DIFFER");
  std::remove(ourFile.c_str());
  std::remove(curlFile.c_str());
  return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "fetch") == 0) return Fetch(argv[2], argv[3]);
  if (argc == 5 && std::strcmp(argv[1], "compare") == 0) return Compare(argv[0], argv[2], argv[3], std::atoi(argv[4]));
  std::fprintf(stderr, "usage: %s compare NAME URL RUNS | fetch URL FILE\n", argv[0]);
  return 2;
}
