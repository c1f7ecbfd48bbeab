#include "image/dib_convert.h"

#include "image/bitmap_stride.h"
#include "image/little_endian.h"

namespace {

struct Pixel {
  unsigned char blue, green, red, alpha;
};

// A colour table entry; an index past the table gives black, as GDI does.
Pixel PaletteColour(const unsigned char* table, std::uint32_t count, std::uint32_t index) {
  if (index >= count) return Pixel{0, 0, 0, 0};
  const unsigned char* entry = table + index * 4;
  return Pixel{entry[0], entry[1], entry[2], 0};
}

unsigned char Expand5(unsigned value) { return static_cast<unsigned char>((value << 3) | (value >> 2)); }

Pixel SourcePixel(const DibHeader& header, const unsigned char* table, const unsigned char* row, std::int32_t x) {
  switch (header.bitCount) {
    case 1: return PaletteColour(table, header.colourCount, (row[x / 8] >> (7 - x % 8)) & 1u);
    case 4: return PaletteColour(table, header.colourCount, (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
    case 8: return PaletteColour(table, header.colourCount, row[x]);
    case 16: {
      const unsigned value = ReadU16(row + x * 2);
      return Pixel{Expand5(value & 31u), Expand5((value >> 5) & 31u), Expand5((value >> 10) & 31u), 0};
    }
    case 24: return Pixel{row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 0};
    default: return Pixel{row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
  }
}

}  // namespace

bool DibConvertRows(const DibHeader& header, const unsigned char* colourTable, const unsigned char* bits,
                    std::int32_t lines, unsigned char* target, std::int64_t targetStride, std::int32_t targetBits) {
  if (header.compression != DibCompressionRgb) return false;
  switch (header.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  if (targetBits != 24 && targetBits != 32) return false;
  const std::int64_t sourceStride = BitmapRowStride(header.width, header.bitCount);
  const std::int32_t targetBytes = targetBits / 8;
  for (std::int32_t y = 0; y < lines; ++y) {
    const unsigned char* row = bits + sourceStride * y;
    unsigned char* out = target + targetStride * y;
    for (std::int32_t x = 0; x < header.width; ++x) {
      const Pixel pixel = SourcePixel(header, colourTable, row, x);
      unsigned char* place = out + x * targetBytes;
      place[0] = pixel.blue;
      place[1] = pixel.green;
      place[2] = pixel.red;
      if (targetBytes == 4) place[3] = pixel.alpha;
    }
  }
  return true;
}
