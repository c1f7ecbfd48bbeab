// The native picture layer under the image objects: bitmap sections and icons. Win32
// builds use GDI; other builds use small bitmaps in memory of the same shape.
#pragma once

#include <cstdint>

#include "image/dib_header.h"
#include "platform/platform.h"

struct NativeBitmapDescription {
  std::int32_t width;
  std::int32_t height;  // as the bitmap reports it (positive)
  std::int32_t bitsPerPixel;
  unsigned char* pixels;  // null when the bitmap's memory is not reachable
  bool isSection;
};

// A section of width x height at `bitsPerPixel`; a negative height asks for top-down rows.
// Returns 0 when it cannot be made; the pixel memory comes back through `pixels`.
NativeHandle NativeBitmapCreateSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                                       unsigned char** pixels);
// Transfers `lines` rows of a device-independent bitmap (header with colour table at
// `info`, rows at `bits`) into the section, converting to its depth. False when nothing
// was transferred (no device context, a format the layer cannot convert).
bool NativeBitmapSetPixels(NativeHandle section, const unsigned char* info, const unsigned char* bits,
                           std::int32_t lines);
bool NativeBitmapDescribe(NativeHandle bitmap, NativeBitmapDescription* description);
bool NativeImageIsBitmap(NativeHandle image);
void NativeBitmapDelete(NativeHandle bitmap);

// An icon from one entry's image data of an icon file; 0 when none can be made.
NativeHandle NativeIconCreate(const unsigned char* data, std::uint32_t size, std::int32_t width,
                              std::int32_t height, std::uint16_t bitCount);
// The size and depth of the icon's colour bitmap.
bool NativeIconDescribe(NativeHandle icon, NativeBitmapDescription* colour);
void NativeIconDestroy(NativeHandle icon);
