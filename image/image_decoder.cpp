#include "image/image_decoder.h"

#include <cstring>

#include "runtime/heaps.h"

namespace {

struct DecoderRegistry {
  const ImageDecoder* decoders[ImageDecoderMax];
  int count;
  ImageDecodeContext* context;
};

DecoderRegistry Registry;

}  // namespace

void ImageDecoderInit() {
  Registry = DecoderRegistry{};
  Registry.context = static_cast<ImageDecodeContext*>(MainHeapAllocZero(sizeof(ImageDecodeContext)));
}

void ImageDecoderRegister(const ImageDecoder* decoder) {
  // The set of decoders is fixed at build time; a bound check costs nothing and keeps a
  // mistake from writing past the array.
  if (Registry.context == nullptr || Registry.count >= ImageDecoderMax) return;
  Registry.decoders[Registry.count++] = decoder;
}

bool ImageDecoderIsRegistered(const ImageDecoder* decoder) {
  if (Registry.context == nullptr) return false;
  for (int i = 0; i < Registry.count; ++i) {
    if (Registry.decoders[i] == decoder) return true;
  }
  return false;
}

int ImageDecoderCount() { return Registry.count; }

ImageDecodeContext* ImageDecodeContextGet() { return Registry.context; }

ImageDecodeContext* ImageDecoderFind(const void* address, std::uint32_t size) {
  ImageDecodeContext* context = Registry.context;
  if (context == nullptr) return nullptr;
  std::memset(context, 0, sizeof *context);
  context->sourceAddress = static_cast<const unsigned char*>(address);
  context->sourceSize = size;
  for (int i = 0; i < Registry.count; ++i) {
    std::memset(context->privateData, 0, sizeof context->privateData);
    if (Registry.decoders[i]->open(context) != 0) {
      context->decoder = Registry.decoders[i];
      return context;
    }
  }
  return nullptr;
}
