#include "image/image.h"

#include "image/bitmap_file.h"
#include "image/bitmap_stride.h"
#include "image/icon_file.h"
#include "image/native_image.h"

namespace {

ObjectTable* Images;

std::uint8_t DepthByte(std::int32_t bits) { return static_cast<std::uint8_t>(bits); }

struct LoadedImage {
  NativeHandle handle;
  std::int32_t sourceDepth;
  std::uint32_t format;
  NativeBitmapDescription icon;  // for icons: their colour bitmap
};

NativeHandle LoadBitmapFile(const unsigned char* file, std::uint64_t limit, LoadedImage* loaded) {
  BitmapFileView view{};
  if (!BitmapFileRead(file, limit, &view)) return 0;
  const DibHeader& header = view.header;
  const std::int32_t sectionDepth = header.bitCount > 24 ? header.bitCount : 24;
  unsigned char* pixels = nullptr;
  const NativeHandle section = NativeBitmapCreateSection(header.width, header.height, sectionDepth, &pixels);
  if (section == 0) return 0;
  // Without a device context the pixels stay as the new section has them; not a failure.
  NativeBitmapSetPixels(section, view.info, view.pixels, header.height < 0 ? -header.height : header.height);
  NativeBitmapDescription described{};
  if (sectionDepth == 32 && header.height > 0 && NativeBitmapDescribe(section, &described) &&
      described.pixels != nullptr) {
    BitmapRepairAlpha(described.pixels, header.width, header.height, BitmapRowStride(header.width, 32));
  }
  loaded->sourceDepth = header.bitCount;
  loaded->format = ImageFormatBitmap;
  return section;
}

NativeHandle LoadIconFile(const unsigned char* file, std::uint64_t limit, LoadedImage* loaded) {
  IconImageView view{};
  if (!IconFileRead(file, limit, &view)) return 0;
  const NativeHandle icon = NativeIconCreate(view.data, view.size, view.width, view.height, view.bitCount);
  if (icon == 0) return 0;
  if (!NativeIconDescribe(icon, &loaded->icon)) {
    NativeIconDestroy(icon);
    return 0;
  }
  loaded->sourceDepth = loaded->icon.bitsPerPixel;
  loaded->format = ImageFormatIcon;
  return icon;
}

// The decoded picture goes straight into the pixel memory of the section that becomes
// the image; rows bottom-up, as the section keeps them.
NativeHandle LoadDecodedFile(const void* address, std::uint32_t size, LoadedImage* loaded) {
  ImageDecodeContext* context = ImageDecoderFind(address, size);
  if (context == nullptr) return 0;
  unsigned char* pixels = nullptr;
  NativeHandle section = NativeBitmapCreateSection(context->width, context->height, context->depth, &pixels);
  NativeBitmapDescription described{};
  if (section != 0) {
    const bool decoded = NativeBitmapDescribe(section, &described) && described.isSection &&
                         context->decoder->decode(context, described.pixels,
                                                  BitmapRowStride(described.width, described.bitsPerPixel),
                                                  ImageDecodeBottomUp) != 0;
    if (!decoded) {
      NativeBitmapDelete(section);
      section = 0;
    }
  }
  context->decoder->close(context);
  loaded->sourceDepth = context->sourceDepth;
  loaded->format = context->decoder->tag;
  return section;
}

std::intptr_t LoadImage(ObjectId number, const void* address, std::uint32_t size) {
  auto* record = static_cast<ImageObject*>(ObjectNew(Images, number));
  if (record == nullptr) return 0;
  const auto* file = static_cast<const unsigned char*>(address);
  LoadedImage loaded{};
  NativeHandle handle = 0;
  if (file != nullptr) {
    if (BitmapFileIsBitmap(file, size)) {
      handle = LoadBitmapFile(file, size, &loaded);
    } else if (IconFileIsIcon(file, size)) {
      handle = LoadIconFile(file, size, &loaded);
    } else {
      handle = LoadDecodedFile(address, size, &loaded);
    }
  }
  NativeBitmapDescription native{};
  if (handle != 0 && loaded.format != ImageFormatIcon && !NativeBitmapDescribe(handle, &native)) {
    NativeBitmapDelete(handle);
    handle = 0;
  }
  if (handle == 0) {
    if (number == DynamicNumber) ObjectRelease(Images, reinterpret_cast<ObjectId>(record));
    return 0;
  }
  if (loaded.format == ImageFormatIcon) native = loaded.icon;
  record->width = static_cast<std::uint16_t>(native.width);
  record->height = static_cast<std::uint16_t>(native.height);
  record->depth = DepthByte(native.bitsPerPixel);
  record->sourceDepth = DepthByte(loaded.sourceDepth);
  record->format = loaded.format;
  record->handle = handle;
  return number == DynamicNumber ? reinterpret_cast<std::intptr_t>(record) : handle;
}

}  // namespace

std::intptr_t ImageFromMemory(ObjectId number, const void* address) {
  return LoadImage(number, address, ImageSizeUnknown);
}

std::intptr_t ImageFromMemory(ObjectId number, const void* address, std::size_t size) {
  // The decoders take 32-bit lengths; a longer buffer is read no further than that.
  return LoadImage(number, address, size < ImageSizeUnknown ? static_cast<std::uint32_t>(size) : ImageSizeUnknown);
}

void ImageFree(ObjectId id) {
  if (id == AllObjects) {
    ObjectFreeAll(Images);
    return;
  }
  auto* record = static_cast<ImageObject*>(ObjectGet(Images, id));
  if (record == nullptr) return;
  if (NativeImageIsBitmap(record->handle)) NativeBitmapDelete(record->handle);
  else NativeIconDestroy(record->handle);
  ObjectRelease(Images, id);
}

ImageObject* ImageGet(ObjectId id) { return static_cast<ImageObject*>(ObjectGet(Images, id)); }

void ImageInit() { Images = ObjectTableCreate(sizeof(ImageObject), 16, ImageFree); }

void ImageEnd() {
  // Tolerates a start-up that never reached ImageInit; the table dies with MainHeap.
  if (Images == nullptr) return;
  ObjectFreeAll(Images);
  Images = nullptr;
}
