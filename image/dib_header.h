// The BITMAPINFOHEADER of a device-independent bitmap, read with bounds: the header, its
// colour table and its pixel rows must lie within the bytes the reader is given.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t DibInfoHeaderSize = 40;
constexpr std::uint32_t DibCompressionRgb = 0;
constexpr std::uint32_t DibCompressionBitfields = 3;

struct DibHeader {
  std::uint32_t headerSize;
  std::int32_t width;
  std::int32_t height;  // negative: top-down rows
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t imageSize;
  std::uint32_t colourCount;       // entries of the colour table
  std::uint32_t colourTableBytes;  // colour table and bit-field masks behind the header
};

// Reads the header at `info`, of which `available` bytes may be read (the header and its
// colour table). False when the header is shorter than a BITMAPINFOHEADER or its colour
// table runs past `available`.
bool DibHeaderRead(const unsigned char* info, std::uint64_t available, DibHeader* header);

// Bytes of pixel data that `rows` rows of this header take (compressed data: its image size).
std::uint64_t DibPixelBytes(const DibHeader& header, std::int64_t rows);
