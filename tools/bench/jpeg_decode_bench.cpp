// Decodes one JPEG through ImageFromMemory's decoder path and through libjpeg-turbo's own
// djpeg (to a BMP file), several times each, and prints the median times and their ratio.
// Usage: jpeg_decode_bench PICTURE.jpg [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/image_decoder.h"
#include "image/jpeg_decoder.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

using Clock = std::chrono::steady_clock;

const LibraryStep StartSteps[] = {
    {"string work area", WorkAreaInit, WorkAreaReady},
    {"image decoders", ImageDecoderInit},
    {"images", ImageInit},
};
const LibraryStep EndSteps[] = {{"images", ImageEnd}};
const ProgramDescription BenchProgram = {nullptr, 0, StartSteps, 3, EndSteps, 1, nullptr};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PICTURE.jpg [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string picture = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::ifstream in(picture, std::ios::binary);
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.empty() || !ProgramStartup(BenchProgram)) {
    std::fprintf(stderr, "cannot read %s or start the runtime\n", picture.c_str());
    return 1;
  }
  JpegDecoderRegister();

  std::vector<double> ours;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
    ours.push_back(Milliseconds(Clock::now() - start));
    if (handle == 0) {
      std::fprintf(stderr, "ImageFromMemory failed\n");
      return 1;
    }
    ImageFree(1);
  }
  ProgramShutdown();

  const std::string output = picture + ".djpeg.bmp";
  const std::string command = "djpeg -bmp -outfile '" + output + "' '" + picture + "'";
  std::vector<double> theirs;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "djpeg failed\n");
      return 1;
    }
    theirs.push_back(Milliseconds(Clock::now() - start));
  }
  std::remove(output.c_str());

  const double oursMedian = Median(ours);
  const double theirsMedian = Median(theirs);
  std::printf("picture: %s (%zu bytes), %d runs each\n", picture.c_str(), file.size(), runs);
  std::printf("ImageFromMemory (decoder chain): median %.1f ms\n", oursMedian);
  std::printf("djpeg -bmp:                      median %.1f ms\n", theirsMedian);
  std::printf("ratio ImageFromMemory / djpeg:   %.2f\n", oursMedian / theirsMedian);
  return 0;
}
