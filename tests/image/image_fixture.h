// Starts the image libraries around each test, in their start-up and shut-down places,
// and reads back the pixels of a loaded image.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/image_decoder.h"
#include "image/native_image.h"
#include "tests/support/runtime_fixture.h"

class ImageTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override {
    return {{"image decoders", ImageDecoderInit}, {"images", ImageInit}};
  }
  std::vector<LibraryStep> ExtraEndSteps() override { return {{"images", ImageEnd}}; }

  // Blue, green, red of pixel x in memory row y of a loaded bitmap image.
  static std::uint32_t PixelAt(NativeHandle bitmap, int x, int y) {
    NativeBitmapDescription described{};
    if (!NativeBitmapDescribe(bitmap, &described) || described.pixels == nullptr) return 0xDEADBEEF;
    const int bytes = described.bitsPerPixel / 8;
    const unsigned char* p =
        described.pixels + (((described.width * described.bitsPerPixel + 31) / 32) * 4) * y + x * bytes;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (bytes == 4 ? static_cast<std::uint32_t>(p[3]) << 24 : 0u);
  }
};
