#include "image/bitmap_stride.h"

std::int64_t BitmapRowStride(std::int64_t width, std::int32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return ((width + 31) / 32) * 4;
    case 4: return ((width + 7) / 8) * 4;
    case 8: return ((width + 3) / 4) * 4;
    case 15:
    case 16: return ((width + 1) / 2) * 4;
    case 24: return (((width + 1) * 3) / 4) * 4;
    default: return width * 4;
  }
}
