#include "gui/image_gadget_logic.h"

#include "gui/image_gadget.h"

ImageBorderStyles ImageBorderFromFlags(std::uint32_t flags) {
  if ((flags & ImageBorderSunken) != 0) return {0, ImageExtendedStyleClientEdge};
  if ((flags & ImageBorderRaised) != 0) return {ImageStyleDialogFrame, 0};
  return {0, 0};
}

ImageSize ImageControlSize(std::int32_t pictureWidth, std::int32_t pictureHeight, std::uint32_t style,
                           std::uint32_t extendedStyle) {
  const bool bordered = (extendedStyle & ImageExtendedStyleClientEdge) != 0 || (style & ImageStyleDialogFrame) != 0;
  const std::int32_t border = bordered ? 4 : 0;
  return {pictureWidth + border, pictureHeight + border};
}

std::int32_t MouseX(std::intptr_t lParam) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uintptr_t>(lParam) & 0xFFFF));
}

std::int32_t MouseY(std::intptr_t lParam) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF));
}

bool IsDragStart(std::intptr_t pressed, std::intptr_t moved, std::int32_t thresholdX, std::int32_t thresholdY) {
  const std::int32_t dx = MouseX(moved) - MouseX(pressed);
  const std::int32_t dy = MouseY(moved) - MouseY(pressed);
  return dx < -thresholdX || dx > thresholdX || dy < -thresholdY || dy > thresholdY;
}
