// Windows bitmap files ("BM"): the file header and info header, read within a length limit.
#pragma once

#include <cstdint>

#include "image/dib_header.h"

constexpr std::uint16_t BitmapFileSignature = 0x4D42;  // "BM"
constexpr std::uint32_t BitmapFileHeaderSize = 14;

struct BitmapFileView {
  const unsigned char* info;    // the info header, with its colour table behind it
  const unsigned char* pixels;  // the pixel rows
  DibHeader header;
};

// True when the data starts with "BM" (and holds at least those two bytes).
bool BitmapFileIsBitmap(const unsigned char* file, std::uint64_t limit);

// Reads the headers of a bitmap file of at most `limit` bytes. False when a header, the
// colour table or the pixel rows that the headers describe lie beyond the limit.
bool BitmapFileRead(const unsigned char* file, std::uint64_t limit, BitmapFileView* view);

// A 32-bit picture whose alpha bytes are all 0 was saved without alpha: make it opaque.
// Rows are `stride` bytes apart; each holds `width` pixels of blue, green, red, alpha.
// Pictures with any non-zero alpha byte keep their bytes.
void BitmapRepairAlpha(unsigned char* pixels, std::int32_t width, std::int32_t rows, std::int64_t stride);
