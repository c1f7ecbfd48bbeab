#include "image/bitmap_file.h"

#include "image/little_endian.h"

bool BitmapFileIsBitmap(const unsigned char* file, std::uint64_t limit) {
  return limit >= 2 && ReadU16(file) == BitmapFileSignature;
}

bool BitmapFileRead(const unsigned char* file, std::uint64_t limit, BitmapFileView* view) {
  if (!BitmapFileIsBitmap(file, limit) || limit < BitmapFileHeaderSize) return false;
  const std::uint32_t pixelOffset = ReadU32(file + 10);
  if (!DibHeaderRead(file + BitmapFileHeaderSize, limit - BitmapFileHeaderSize, &view->header)) return false;
  if (pixelOffset > limit) return false;
  if (DibPixelBytes(view->header, view->header.height) > limit - pixelOffset) return false;
  view->info = file + BitmapFileHeaderSize;
  view->pixels = file + pixelOffset;
  return true;
}

void BitmapRepairAlpha(unsigned char* pixels, std::int32_t width, std::int32_t rows, std::int64_t stride) {
  for (std::int32_t y = 0; y < rows; ++y) {
    const unsigned char* row = pixels + stride * y;
    for (std::int32_t x = 0; x < width; ++x) {
      if (row[x * 4 + 3] != 0) return;
    }
  }
  for (std::int32_t y = 0; y < rows; ++y) {
    unsigned char* row = pixels + stride * y;
    for (std::int32_t x = 0; x < width; ++x) row[x * 4 + 3] = 255;
  }
}
