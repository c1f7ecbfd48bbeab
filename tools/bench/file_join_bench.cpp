// Joins two generated element-set files of 25 MB each into one with CR LF line ends, once
// through the numbered sequential files (as the program joins its downloads) and once with
// a plain std::fread/std::fwrite loop over a 64 KiB buffer, and prints both times, their
// ratio and the peak memory. The plain loop also runs with a 4 KiB buffer, the size of a
// file's own buffer, to show what the number of system calls alone costs.
// Usage: file_join_bench [directory] [runs]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "file/sequential_file.h"
#include "runtime/program.h"
#include "runtime/strings.h"
#include "runtime/work_area.h"

namespace {

constexpr std::size_t FileSizeTarget = 25u * 1000u * 1000u;
constexpr std::size_t PlainBufferSize = 64u * 1024u;
constexpr std::size_t SmallPlainBufferSize = 4096u;

// Three-line element sets; the line count stays even, so the pairwise join adds no empty line.
void GenerateElementSets(const std::string& path, const char* lineEnd) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  char line[128];
  std::size_t written = 0;
  for (unsigned set = 0; written < FileSizeTarget || set % 2 != 0; ++set) {
    const unsigned number = 10000 + set % 89999;
    const int lengths[] = {
        std::snprintf(line, sizeof line, "SATELLITE %-14u%s", set, lineEnd),
        0,
        0,
    };
    std::fwrite(line, 1, static_cast<std::size_t>(lengths[0]), out);
    written += static_cast<std::size_t>(lengths[0]);
    const int first = std::snprintf(line, sizeof line,
                                    "1 %05uU 98067A   26%03u.%08u  .00016717  00000-0  10270-3 0  9%03u%s", number,
                                    set % 365 + 1, set * 7919u % 100000000u, set % 1000, lineEnd);
    std::fwrite(line, 1, static_cast<std::size_t>(first), out);
    const int second = std::snprintf(line, sizeof line,
                                     "2 %05u  51.6416 %08.4f 0006703 130.5360 325.0288 15.50377579%05u%s", number,
                                     (set * 37u % 3600000u) / 10000.0, set % 100000, lineEnd);
    std::fwrite(line, 1, static_cast<std::size_t>(second), out);
    written += static_cast<std::size_t>(first + second);
  }
  std::fclose(out);
}

// The program's own merge: pairs of lines read while the file has more, each written with CR LF.
void JoinThroughSequentialFiles(const std::string& first, const std::string& second, const std::string& target) {
  char* firstLine = nullptr;
  char* secondLine = nullptr;
  if (FileCreate(10, target.c_str()) == 0) return;
  const std::string* sources[] = {&first, &second};
  for (ObjectId number = 0; number < 2; ++number) {
    if (FileOpenRead(number, sources[number]->c_str()) == 0) continue;
    while (FileEof(number) == 0) {
      std::int32_t start = WorkAreaPosition;
      FileReadLine(number, start);
      StringAssign(&firstLine, start);
      start = WorkAreaPosition;
      FileReadLine(number, start);
      StringAssign(&secondLine, start);
      FileWriteLine(10, firstLine);
      FileWriteLine(10, secondLine);
    }
    FileClose(number);
  }
  FileClose(10);
  StringFree(firstLine);
  StringFree(secondLine);
}

// The same join over the C library: lines end at LF, CR LF, a lone CR or a NUL byte. Runs
// of ordinary bytes are copied whole into the output buffer.
void JoinThroughPlainLoop(const std::string& first, const std::string& second, const std::string& target,
                          std::size_t bufferSize) {
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) return;
  std::vector<char> input(bufferSize);
  std::vector<char> output(bufferSize);
  std::size_t pending = 0;
  auto put = [&](const char* bytes, std::size_t n) {
    while (n > 0) {
      if (pending == output.size()) {
        std::fwrite(output.data(), 1, pending, out);
        pending = 0;
      }
      const std::size_t k = std::min(n, output.size() - pending);
      std::memcpy(output.data() + pending, bytes, k);
      pending += k;
      bytes += k;
      n -= k;
    }
  };
  for (const std::string* source : {&first, &second}) {
    std::FILE* in = std::fopen(source->c_str(), "rb");
    if (in == nullptr) continue;
    bool afterCr = false;
    bool lineOpen = false;
    std::size_t got;
    while ((got = std::fread(input.data(), 1, input.size(), in)) > 0) {
      std::size_t i = 0;
      while (i < got) {
        const char c = input[i];
        if (afterCr) {
          afterCr = false;
          if (c == '\n') {
            ++i;
            continue;
          }
        }
        if (c == '\r' || c == '\n' || c == '\0') {
          put("\r\n", 2);
          lineOpen = false;
          afterCr = c == '\r';
          ++i;
          continue;
        }
        std::size_t runEnd = i + 1;
        while (runEnd < got && input[runEnd] != '\r' && input[runEnd] != '\n' && input[runEnd] != '\0') ++runEnd;
        put(input.data() + i, runEnd - i);
        lineOpen = true;
        i = runEnd;
      }
    }
    if (lineOpen) put("\r\n", 2);
    std::fclose(in);
  }
  std::fwrite(output.data(), 1, pending, out);
  std::fclose(out);
}

void JoinThroughPlainLoop64(const std::string& first, const std::string& second, const std::string& target) {
  JoinThroughPlainLoop(first, second, target, PlainBufferSize);
}

void JoinThroughPlainLoop4(const std::string& first, const std::string& second, const std::string& target) {
  JoinThroughPlainLoop(first, second, target, SmallPlainBufferSize);
}

// Wall-clock and processor (user + system) seconds of one join. The processor time stays
// meaningful when other programs load the machine.
struct Timing {
  double wall;
  double processor;
};

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Timing TimeOf(void (*join)(const std::string&, const std::string&, const std::string&), const std::string& a,
              const std::string& b, const std::string& target) {
  const auto begin = std::chrono::steady_clock::now();
  const double processorBegin = ProcessorSeconds();
  join(a, b, target);
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(),
          ProcessorSeconds() - processorBegin};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool SameContents(const std::string& a, const std::string& b) {
  std::FILE* fa = std::fopen(a.c_str(), "rb");
  std::FILE* fb = std::fopen(b.c_str(), "rb");
  bool same = fa != nullptr && fb != nullptr;
  std::vector<char> ba(PlainBufferSize), bb(PlainBufferSize);
  while (same) {
    const std::size_t na = std::fread(ba.data(), 1, ba.size(), fa);
    const std::size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
    same = na == nb && std::memcmp(ba.data(), bb.data(), na) == 0;
    if (na == 0) break;
  }
  if (fa != nullptr) std::fclose(fa);
  if (fb != nullptr) std::fclose(fb);
  return same;
}

long PeakResidentKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

const LibraryStep StartOrder[] = {{"string work area", WorkAreaInit, WorkAreaReady}, {"sequential files", FileInit}};
const LibraryStep EndOrder[] = {{"sequential files", FileEnd}};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path directory =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "tle_file_join_bench";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::filesystem::create_directories(directory);
  const std::string amateur = (directory / "tmp1").string();
  const std::string weather = (directory / "tmp2").string();
  const std::string joined = (directory / "mytle.txt").string();
  const std::string plainJoined = (directory / "mytle_plain.txt").string();
  const std::string smallPlainJoined = (directory / "mytle_plain_small.txt").string();
#ifndef __OPTIMIZE__
  std::printf("note: unoptimised build; build with -DCMAKE_BUILD_TYPE=Release for meaningful figures\n");
#endif
  GenerateElementSets(amateur, "\n");
  GenerateElementSets(weather, "\r\n");
  std::printf("inputs: %ju + %ju bytes (LF and CR LF line ends)\n",
              static_cast<std::uintmax_t>(std::filesystem::file_size(amateur)),
              static_cast<std::uintmax_t>(std::filesystem::file_size(weather)));

  const ProgramDescription program{nullptr, 0, StartOrder, 2, EndOrder, 1, nullptr};
  if (!ProgramStartup(program)) return 1;
  const long peakBefore = PeakResidentKib();
  struct Contender {
    const char* name;
    void (*join)(const std::string&, const std::string&, const std::string&);
    std::string target;
    std::vector<double> wall;
    std::vector<double> processor;
  };
  Contender contenders[] = {
      {"sequential files", JoinThroughSequentialFiles, joined, {}, {}},
      {"plain loop, 64 KiB", JoinThroughPlainLoop64, plainJoined, {}, {}},
      {"plain loop, 4 KiB", JoinThroughPlainLoop4, smallPlainJoined, {}, {}},
  };
  // Alternating runs, so a change in the machine's load falls on all alike.
  for (int run = 0; run < runs; ++run) {
    std::printf("run %d:", run + 1);
    for (Contender& contender : contenders) {
      // Removed beforehand, untimed: truncating a file whose pages are still being written
      // back to the disk would wait for the disk.
      std::filesystem::remove(contender.target);
      const Timing timing = TimeOf(contender.join, amateur, weather, contender.target);
      contender.wall.push_back(timing.wall);
      contender.processor.push_back(timing.processor);
      std::printf("  %s %.1f ms (processor %.1f ms)", contender.name, timing.wall * 1000, timing.processor * 1000);
    }
    std::printf("\n");
  }
  ProgramShutdown();

  const bool same = SameContents(joined, plainJoined) && SameContents(joined, smallPlainJoined);
  std::printf("output: %ju bytes, %s\n", static_cast<std::uintmax_t>(std::filesystem::file_size(joined)),
              same ? "identical for every join" : "DIFFERENT between the joins");
  std::printf("median of %d runs        wall clock   processor\n", runs);
  for (const Contender& contender : contenders) {
    std::printf("  %-20s %8.1f ms %8.1f ms\n", contender.name, Median(contender.wall) * 1000,
                Median(contender.processor) * 1000);
  }
  const Contender& files = contenders[0];
  for (const Contender* plain : {&contenders[1], &contenders[2]}) {
    std::printf("ratio sequential files / %s: wall clock %.2f, processor %.2f\n", plain->name,
                Median(files.wall) / Median(plain->wall), Median(files.processor) / Median(plain->processor));
  }
  std::printf("peak resident memory: %ld KiB (%ld KiB before the joins)\n", PeakResidentKib(), peakBefore);
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
  return same ? 0 : 1;
}
