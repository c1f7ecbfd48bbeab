// Icon files: the directory, the choice of entry, and the chosen entry's image data, read
// within a length limit.
#pragma once

#include <cstdint>

constexpr std::uint32_t IconDirectoryHeaderSize = 6;
constexpr std::uint32_t IconDirectoryEntrySize = 16;

struct IconImageView {
  const unsigned char* data;  // the entry's image data: a BITMAPINFOHEADER and its bits, or a PNG
  std::uint32_t size;
  std::int32_t width;   // from the data's header
  std::int32_t height;  // the header's height halved: it counts the colour and mask halves
  std::uint16_t bitCount;
  bool isPng;
};

// True when the data starts with an icon directory header (reserved 0, type 1).
bool IconFileIsIcon(const unsigned char* file, std::uint64_t limit);

// The entry to load among `count` directory entries (16 bytes each, from `entries`): the
// first entry's width and height decide the size, and among the entries of that size the
// deepest wins, the earliest among equals.
std::uint32_t IconEntryChoose(const unsigned char* entries, std::uint32_t count);

// Reads the directory and the chosen entry. False when the directory, the entry's data or
// the bitmap that its header describes lie beyond the limit (or beyond the entry's size).
bool IconFileRead(const unsigned char* file, std::uint64_t limit, IconImageView* view);
