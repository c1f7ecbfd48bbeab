#include "image/dib_header.h"

#include "image/bitmap_stride.h"
#include "image/little_endian.h"

bool DibHeaderRead(const unsigned char* info, std::uint64_t available, DibHeader* header) {
  if (available < DibInfoHeaderSize) return false;
  header->headerSize = ReadU32(info);
  if (header->headerSize < DibInfoHeaderSize || header->headerSize > available) return false;
  header->width = ReadS32(info + 4);
  header->height = ReadS32(info + 8);
  header->bitCount = ReadU16(info + 14);
  header->compression = ReadU32(info + 16);
  header->imageSize = ReadU32(info + 20);
  const std::uint32_t used = ReadU32(info + 32);
  std::uint64_t colours = used;
  if (colours == 0 && header->bitCount <= 8) colours = std::uint64_t{1} << header->bitCount;
  std::uint64_t tableBytes = colours * 4;
  // A plain 40-byte header keeps its three channel masks in front of the colour table.
  if (header->compression == DibCompressionBitfields && header->headerSize == DibInfoHeaderSize) tableBytes += 12;
  if (tableBytes > available - header->headerSize) return false;
  header->colourCount = static_cast<std::uint32_t>(colours);
  header->colourTableBytes = static_cast<std::uint32_t>(tableBytes);
  return true;
}

std::uint64_t DibPixelBytes(const DibHeader& header, std::int64_t rows) {
  if (header.compression != DibCompressionRgb && header.compression != DibCompressionBitfields) {
    return header.imageSize;
  }
  const auto stride = static_cast<std::uint64_t>(BitmapRowStride(header.width < 0 ? 0 : header.width, header.bitCount));
  const auto count = static_cast<std::uint64_t>(rows < 0 ? -rows : rows);
  // Saturates instead of wrapping, so a huge header can never pass a bounds check.
  if (stride != 0 && count > UINT64_MAX / stride) return UINT64_MAX;
  return stride * count;
}
