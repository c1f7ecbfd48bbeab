// Benchmark of the string-keyed hash map beside std::unordered_map<std::string, ...>:
// 1,000,000 adds, finds and deletes of distinct keys at 1024 and at 65536 buckets. Each
// case runs in a child process of its own, so that its peak memory can be read apart;
// times are medians of three rounds at 65536 buckets, and of one round at 1024 buckets,
// where chains of about a thousand elements make a round last minutes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "event/hash_map.h"
#include "runtime/program.h"

namespace {

constexpr int KeyCount = 1000000;

int RoundsFor(std::int32_t buckets) { return buckets < 65536 ? 1 : 3; }

struct Times {
  double add, find, remove;
};

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> MakeKeys() {
  std::vector<std::string> keys;
  keys.reserve(KeyCount);
  char key[32];
  for (int i = 0; i < KeyCount; ++i) {
    std::snprintf(key, sizeof key, "sat-%08x-%d", static_cast<unsigned>(i) * 2654435761u, i % 977);
    keys.emplace_back(key);
  }
  return keys;
}

bool RunMapRound(const std::vector<std::string>& keys, std::int32_t buckets, Times& times) {
  Map* map = nullptr;
  MapCreate(sizeof(std::intptr_t), &map, buckets);
  bool ok = map != nullptr;
  auto start = Clock::now();
  for (std::size_t i = 0; ok && i < keys.size(); ++i) {
    auto* value = static_cast<std::intptr_t*>(MapAdd(map, keys[i].c_str(), false));
    if (value == nullptr) ok = false;
    else *value = static_cast<std::intptr_t>(i);
  }
  times.add = SecondsSince(start);
  start = Clock::now();
  for (std::size_t i = 0; ok && i < keys.size(); ++i) {
    auto* value = static_cast<std::intptr_t*>(MapFind(map, keys[i].c_str()));
    if (value == nullptr || *value != static_cast<std::intptr_t>(i)) ok = false;
  }
  times.find = SecondsSince(start);
  start = Clock::now();
  for (std::size_t i = 0; ok && i < keys.size(); ++i) {
    if (MapFind(map, keys[i].c_str()) == nullptr) ok = false;
    MapDeleteCurrent(map);
  }
  times.remove = SecondsSince(start);
  ok = ok && map->count == 0;
  MapFree(map);
  return ok;
}

bool RunStdRound(const std::vector<std::string>& keys, std::int32_t buckets, Times& times) {
  std::unordered_map<std::string, std::intptr_t> map(static_cast<std::size_t>(buckets));
  bool ok = true;
  auto start = Clock::now();
  for (std::size_t i = 0; i < keys.size(); ++i) map.emplace(keys[i], static_cast<std::intptr_t>(i));
  times.add = SecondsSince(start);
  start = Clock::now();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    auto found = map.find(keys[i]);
    if (found == map.end() || found->second != static_cast<std::intptr_t>(i)) ok = false;
  }
  times.find = SecondsSince(start);
  start = Clock::now();
  for (const std::string& key : keys) {
    if (map.erase(key) != 1) ok = false;
  }
  times.remove = SecondsSince(start);
  return ok && map.empty();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The child's work: three rounds, medians written to the pipe.
void RunCase(const std::vector<std::string>& keys, bool ours, std::int32_t buckets, int out) {
  ProgramDescription program{};
  if (ours && !ProgramStartup(program)) _exit(2);
  std::vector<double> add, find, remove;
  for (int round = 0; round < RoundsFor(buckets); ++round) {
    Times times{};
    const bool ok = ours ? RunMapRound(keys, buckets, times) : RunStdRound(keys, buckets, times);
    if (!ok) _exit(1);
    add.push_back(times.add);
    find.push_back(times.find);
    remove.push_back(times.remove);
  }
  const Times medians{Median(add), Median(find), Median(remove)};
  if (write(out, &medians, sizeof medians) != static_cast<ssize_t>(sizeof medians)) _exit(3);
  if (ours) ProgramShutdown();
  _exit(0);
}

struct Result {
  bool ok;
  Times times;
  long peakKilobytes;  // the child's peak resident size
};

// fork() with an empty case (buckets 0) gives the resident size that every child starts with.
Result RunInChild(const std::vector<std::string>& keys, bool ours, std::int32_t buckets) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {false, {}, 0};
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    if (buckets == 0) {
      const Times none{};
      if (write(pipeEnds[1], &none, sizeof none) < 0) _exit(3);
      _exit(0);
    }
    RunCase(keys, ours, buckets, pipeEnds[1]);
  }
  close(pipeEnds[1]);
  Result result{false, {}, 0};
  const bool got = read(pipeEnds[0], &result.times, sizeof result.times) == static_cast<ssize_t>(sizeof result.times);
  close(pipeEnds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  result.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.peakKilobytes = usage.ru_maxrss;
  return result;
}

}  // namespace

// Arguments, if any, are the bucket counts to measure (default: 65536, then 1024).
int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::vector<std::string> keys = MakeKeys();
  const long baseline = RunInChild(keys, true, 0).peakKilobytes;
  std::printf("%d distinct keys; times are medians of rounds; peak memory above a baseline of %ld KiB\n", KeyCount,
              baseline);
  std::printf("%-8s %-20s %10s %10s %10s %12s\n", "buckets", "container", "add s", "find s", "delete s", "peak MiB");
  bool allOk = true;
  std::vector<std::int32_t> bucketCounts = {65536, 1024};
  if (argc > 1) bucketCounts.clear();
  for (int a = 1; a < argc; ++a) bucketCounts.push_back(static_cast<std::int32_t>(std::atoi(argv[a])));
  for (std::int32_t buckets : bucketCounts) {
    if (buckets < 1) continue;
    const Result ours = RunInChild(keys, true, buckets);
    const Result standard = RunInChild(keys, false, buckets);
    allOk = allOk && ours.ok && standard.ok;
    const Result* rows[] = {&ours, &standard};
    const char* names[] = {"Map", "std::unordered_map"};
    for (int r = 0; r < 2; ++r) {
      const Result& row = *rows[r];
      std::printf("%-8d %-20s %10.3f %10.3f %10.3f %12.1f%s\n", buckets, names[r], row.times.add, row.times.find,
                  row.times.remove, static_cast<double>(row.peakKilobytes - baseline) / 1024.0,
                  row.ok ? "" : "  (FAILED)");
    }
    std::printf("%-8d %-20s %10.2f %10.2f %10.2f %12.2f\n", buckets, "ratio Map/std", ours.times.add / standard.times.add,
                ours.times.find / standard.times.find, ours.times.remove / standard.times.remove,
                static_cast<double>(ours.peakKilobytes - baseline) /
                    static_cast<double>(standard.peakKilobytes - baseline));
  }
  return allOk ? 0 : 1;
}
