// The native picture layer where there is no GDI: bitmaps and icons are small records in
// memory with pixel rows laid out as a device-independent bitmap's.
#include <cstdlib>
#include <new>

#include "image/bitmap_stride.h"
#include "image/dib_convert.h"
#include "image/native_image.h"

namespace {

// Pictures larger than this are refused, as a GDI without memory would refuse them. The
// fuzzing build lowers it so that the fuzzer spends its time on many small pictures.
#ifndef TLE_IMAGE_MAX_MEGABYTES
#define TLE_IMAGE_MAX_MEGABYTES 256
#endif
constexpr std::int64_t MemoryBitmapMaxBytes = std::int64_t{TLE_IMAGE_MAX_MEGABYTES} << 20;

enum class MemoryImageKind { Bitmap, Icon };

struct MemoryBitmap {
  MemoryImageKind kind;
  std::int32_t width;
  std::int32_t height;  // signed as created: negative means top-down rows
  std::int32_t bitsPerPixel;
  unsigned char* pixels;
};

MemoryBitmap* FromHandle(NativeHandle handle) { return reinterpret_cast<MemoryBitmap*>(handle); }

MemoryBitmap* CreateMemoryBitmap(MemoryImageKind kind, std::int32_t width, std::int32_t height,
                                 std::int32_t bitsPerPixel) {
  if (width <= 0 || height == 0 || height == INT32_MIN || (bitsPerPixel != 24 && bitsPerPixel != 32)) return nullptr;
  const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
  const std::int64_t stride = BitmapRowStride(width, bitsPerPixel);
  if (rows > MemoryBitmapMaxBytes / stride) return nullptr;
  auto* bitmap = new (std::nothrow) MemoryBitmap{kind, width, height, bitsPerPixel, nullptr};
  if (bitmap == nullptr) return nullptr;
  bitmap->pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(stride * rows), 1));
  if (bitmap->pixels == nullptr) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

void DestroyMemoryBitmap(MemoryBitmap* bitmap) {
  if (bitmap == nullptr) return;
  std::free(bitmap->pixels);
  delete bitmap;
}

void Describe(const MemoryBitmap* bitmap, NativeBitmapDescription* description) {
  description->width = bitmap->width;
  description->height = bitmap->height < 0 ? -bitmap->height : bitmap->height;
  description->bitsPerPixel = bitmap->bitsPerPixel;
  description->pixels = bitmap->pixels;
  description->isSection = true;
}

}  // namespace

NativeHandle NativeBitmapCreateSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                                       unsigned char** pixels) {
  MemoryBitmap* bitmap = CreateMemoryBitmap(MemoryImageKind::Bitmap, width, height, bitsPerPixel);
  if (bitmap == nullptr) return 0;
  *pixels = bitmap->pixels;
  return reinterpret_cast<NativeHandle>(bitmap);
}

bool NativeBitmapSetPixels(NativeHandle section, const unsigned char* info, const unsigned char* bits,
                           std::int32_t lines) {
  MemoryBitmap* bitmap = FromHandle(section);
  DibHeader header{};
  // The caller has checked the header and the rows against the file's bounds.
  if (!DibHeaderRead(info, DibInfoHeaderSize + (std::uint64_t{1} << 20), &header)) return false;
  if (header.width != bitmap->width) return false;
  return DibConvertRows(header, info + header.headerSize, bits, lines, bitmap->pixels,
                        BitmapRowStride(bitmap->width, bitmap->bitsPerPixel), bitmap->bitsPerPixel);
}

bool NativeBitmapDescribe(NativeHandle handle, NativeBitmapDescription* description) {
  const MemoryBitmap* bitmap = FromHandle(handle);
  if (bitmap == nullptr || bitmap->kind != MemoryImageKind::Bitmap) return false;
  Describe(bitmap, description);
  return true;
}

bool NativeImageIsBitmap(NativeHandle image) {
  return image != 0 && FromHandle(image)->kind == MemoryImageKind::Bitmap;
}

void NativeBitmapDelete(NativeHandle bitmap) { DestroyMemoryBitmap(FromHandle(bitmap)); }

// The icon keeps its colour half as a 32-bit bitmap, as a true-colour display keeps it;
// PNG entries are not decoded here.
NativeHandle NativeIconCreate(const unsigned char* data, std::uint32_t size, std::int32_t width,
                              std::int32_t height, std::uint16_t bitCount) {
  DibHeader header{};
  if (!DibHeaderRead(data, size, &header)) return 0;
  MemoryBitmap* icon = CreateMemoryBitmap(MemoryImageKind::Icon, width, height, 32);
  if (icon == nullptr) return 0;
  header.height = height;
  if (!DibConvertRows(header, data + header.headerSize, data + header.headerSize + header.colourTableBytes, height,
                      icon->pixels, BitmapRowStride(width, 32), 32)) {
    DestroyMemoryBitmap(icon);
    return 0;
  }
  return reinterpret_cast<NativeHandle>(icon);
}

bool NativeIconDescribe(NativeHandle icon, NativeBitmapDescription* colour) {
  const MemoryBitmap* bitmap = FromHandle(icon);
  if (bitmap == nullptr || bitmap->kind != MemoryImageKind::Icon) return false;
  Describe(bitmap, colour);
  return true;
}

void NativeIconDestroy(NativeHandle icon) { DestroyMemoryBitmap(FromHandle(icon)); }
