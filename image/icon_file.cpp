#include "image/icon_file.h"

#include <cstring>

#include "image/dib_header.h"
#include "image/little_endian.h"

namespace {

constexpr unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The colour rows and the 1-bit mask rows that a BITMAPINFOHEADER of an icon announces
// must lie within the entry's data.
bool IconBitmapFits(const unsigned char* data, std::uint32_t size, IconImageView* view) {
  DibHeader header{};
  if (!DibHeaderRead(data, size, &header)) return false;
  const std::int64_t rows = header.height / 2;
  if (header.width <= 0 || rows <= 0) return false;
  const std::uint64_t colourBytes = DibPixelBytes(header, rows);
  DibHeader mask = header;
  mask.bitCount = 1;
  mask.compression = DibCompressionRgb;
  const std::uint64_t maskBytes = DibPixelBytes(mask, rows);
  const std::uint64_t headerBytes = std::uint64_t{header.headerSize} + header.colourTableBytes;
  if (colourBytes > size || maskBytes > size || headerBytes + colourBytes + maskBytes > size) return false;
  view->width = header.width;
  view->height = static_cast<std::int32_t>(rows);
  view->bitCount = header.bitCount;
  return true;
}

}  // namespace

bool IconFileIsIcon(const unsigned char* file, std::uint64_t limit) {
  return limit >= IconDirectoryHeaderSize && ReadU16(file) == 0 && ReadU16(file + 2) == 1;
}

std::uint32_t IconEntryChoose(const unsigned char* entries, std::uint32_t count) {
  std::uint32_t chosen = 0;
  for (std::uint32_t i = 1; i < count; ++i) {
    const unsigned char* entry = entries + i * IconDirectoryEntrySize;
    if (entry[0] == entries[0] && entry[1] == entries[1] &&
        ReadU16(entry + 6) > ReadU16(entries + chosen * IconDirectoryEntrySize + 6)) {
      chosen = i;
    }
  }
  return chosen;
}

bool IconFileRead(const unsigned char* file, std::uint64_t limit, IconImageView* view) {
  if (!IconFileIsIcon(file, limit)) return false;
  const std::uint32_t count = ReadU16(file + 4);
  if (count == 0) return false;
  if (IconDirectoryHeaderSize + std::uint64_t{count} * IconDirectoryEntrySize > limit) return false;
  const unsigned char* entries = file + IconDirectoryHeaderSize;
  const unsigned char* entry = entries + IconEntryChoose(entries, count) * IconDirectoryEntrySize;
  const std::uint32_t size = ReadU32(entry + 8);
  const std::uint32_t offset = ReadU32(entry + 12);
  if (offset > limit || size > limit - offset) return false;
  view->data = file + offset;
  view->size = size;
  view->isPng = size >= sizeof PngSignature && std::memcmp(view->data, PngSignature, sizeof PngSignature) == 0;
  if (view->isPng) {
    view->width = entry[0] == 0 ? 256 : entry[0];
    view->height = entry[1] == 0 ? 256 : entry[1];
    view->bitCount = ReadU16(entry + 6);
    return true;
  }
  return IconBitmapFits(view->data, size, view);
}
