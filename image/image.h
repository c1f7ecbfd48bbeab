// Numbered images: each owns one native picture (a bitmap section or an icon) made from a
// complete picture file in memory: bitmap files and icon files here, everything else
// through the decoder chain.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image_decoder.h"
#include "platform/platform.h"
#include "runtime/object_table.h"

struct ImageObject {
  NativeHandle handle;  // 0: no image under this number
  std::uint16_t width;
  std::uint16_t height;
  std::uint8_t depth;
  std::uint8_t sourceDepth;
  std::uint32_t format;
};

constexpr std::uint32_t ImageFormatBitmap = ImageTag('B', 'M', 'P', '\0');
constexpr std::uint32_t ImageFormatIcon = ImageTag('I', 'C', 'O', 'N');

// Loads the picture file at `address` as image `number` (DynamicNumber: the system picks
// the id). Returns the native handle, for DynamicNumber the id; 0 when the load fails.
// Without a size the file must end by its own structure; with one, nothing beyond it is read.
std::intptr_t ImageFromMemory(ObjectId number, const void* address);
std::intptr_t ImageFromMemory(ObjectId number, const void* address, std::size_t size);

// Releases image `id`; AllObjects releases every image.
void ImageFree(ObjectId id);
// The live record of an image, or null.
ImageObject* ImageGet(ObjectId id);

void ImageInit();
void ImageEnd();
