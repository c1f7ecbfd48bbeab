// The chain of picture decoders: decoders register once at start-up, and a load offers
// the picture to each in registration order until one accepts it.
#pragma once

#include <cstddef>
#include <cstdint>

// Four-character tags, stored as their characters in memory order.
constexpr std::uint32_t ImageTag(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24);
}

// A length the caller does not know: the file has to end by its own structure.
constexpr std::uint32_t ImageSizeUnknown = 0x7FFFFFFF;
// Decode flag: the first picture row goes to the last memory row.
constexpr std::uint32_t ImageDecodeBottomUp = 2;
constexpr int ImageDecoderMax = 30;

struct ImageDecodeContext;

struct ImageDecoder {
  // Non-zero when the source is in the decoder's format and its header has been read
  // (width, height, depth and sourceDepth filled); 0 with everything released otherwise.
  int (*open)(ImageDecodeContext* context);
  // Writes height rows of width pixels at depth bits, rows `stride` bytes apart.
  int (*decode)(ImageDecodeContext* context, unsigned char* pixels, std::int64_t stride, std::uint32_t flags);
  // Called once after every successful open, whatever decode did.
  void (*close)(ImageDecodeContext* context);
  std::uint32_t tag;
};

struct ImageDecodeContext {
  const ImageDecoder* decoder;
  const unsigned char* sourceAddress;
  std::uint32_t sourceSize;
  std::int32_t width;
  std::int32_t height;
  std::int32_t depth;
  std::int32_t sourceDepth;
  // Belongs to the decoder whose open runs; cleared before each open. Pointer-sized words.
  std::intptr_t privateData[8];
};

void ImageDecoderInit();
// Appends the decoder; a registry that is full, or not set up, takes nothing.
void ImageDecoderRegister(const ImageDecoder* decoder);
bool ImageDecoderIsRegistered(const ImageDecoder* decoder);
int ImageDecoderCount();

// The process's one decode context (null before ImageDecoderInit).
ImageDecodeContext* ImageDecodeContextGet();
// Offers the source to each decoder in turn; the accepting decoder's context, or null.
ImageDecodeContext* ImageDecoderFind(const void* address, std::uint32_t size);
