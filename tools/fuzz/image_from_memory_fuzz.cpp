// Fuzzes ImageFromMemory with a known size: bitmap files, icon files and JPEGs through the
// decoder chain. The input is the whole picture file; nothing past it may be read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/image.h"
#include "image/image_decoder.h"
#include "image/jpeg_decoder.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

const LibraryStep StartSteps[] = {
    {"string work area", WorkAreaInit, WorkAreaReady},
    {"image decoders", ImageDecoderInit},
    {"images", ImageInit},
};
const LibraryStep EndSteps[] = {{"images", ImageEnd}};
const ProgramDescription FuzzProgram = {nullptr, 0, StartSteps, 3, EndSteps, 1, nullptr};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!ProgramStartup(FuzzProgram)) std::abort();
  JpegDecoderRegister();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ImageFromMemory(1, data, size);
  ImageFree(1);
  return 0;
}
