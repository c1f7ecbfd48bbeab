// Builds bitmap and icon files byte by byte, so each test states exactly what it feeds in.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<unsigned char>;

void PutU16(Bytes& out, std::size_t at, std::uint16_t value);
void PutU32(Bytes& out, std::size_t at, std::uint32_t value);

struct DibSpec {
  std::int32_t width;
  std::int32_t height;  // negative: top-down
  std::uint16_t bitCount;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries
  // Value of pixel (x, memory row y): a palette index, or 0xAARRGGBB for 24/32 bits.
  std::uint32_t (*pixel)(int x, int y);
};

// BITMAPINFOHEADER, colour table and pixel rows; `heightFactor` 2 makes an icon image
// (colour rows then 1-bit mask rows, header height doubled).
Bytes BuildDib(const DibSpec& spec, int heightFactor = 1);
// A complete "BM" file around BuildDib.
Bytes BuildBitmapFile(const DibSpec& spec);

// An icon file whose entries follow each other in the given order.
Bytes BuildIconFile(const std::vector<DibSpec>& entries);
