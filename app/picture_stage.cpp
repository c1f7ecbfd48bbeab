#include "app/picture_stage.h"

#include "gui/image_gadget.h"
#include "image/image.h"

namespace {
constexpr ObjectId PictureImage = 1;
constexpr ObjectId PictureGadget = 0;
constexpr std::int32_t PictureX = 5;
constexpr std::int32_t PictureY = 5;
constexpr std::int32_t PictureWidth = 330;
constexpr std::int32_t PictureHeight = 100;
}  // namespace

NativeHandle PictureShow(const unsigned char* picture, std::size_t size) {
  // The length goes with the address, so a damaged picture cannot lead the decoder past it.
  const auto image = static_cast<NativeHandle>(ImageFromMemory(PictureImage, picture, size));
  return ImageGadgetCreate(PictureGadget, PictureX, PictureY, PictureWidth, PictureHeight, image);
}
