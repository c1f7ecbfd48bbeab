#include "image/bitmap_alpha_pixels.h"

bool BitmapPixelsHaveAlpha(const unsigned char* pixels, std::int32_t width, std::int32_t rows, std::int64_t stride) {
  for (std::int32_t y = 0; y < rows; ++y) {
    const unsigned char* row = pixels + stride * y;
    for (std::int32_t x = 0; x < width; ++x) {
      if (row[x * 4 + 3] != 0) return true;
    }
  }
  return false;
}

void BitmapPremultiplyPixels(unsigned char* pixels, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i, pixels += 4) {
    const unsigned alpha = pixels[3];
    if (alpha == 255) continue;
    for (int c = 0; c < 3; ++c) pixels[c] = static_cast<unsigned char>((pixels[c] * alpha) >> 8);
  }
}

