#include "gui/window_flags.h"

#include <algorithm>

using namespace win32_values;

namespace {

// Bits that leave a window captioned when nothing else is set: the centring bits and
// WindowStartHidden.
constexpr std::uint32_t NotOnlyCentringOrHidden = 0xEFFFFFFC;
// A tool frame drops both start states and the minimize and maximize boxes.
constexpr std::uint32_t ToolFrameKeeps = 0xDEFCFFFF;
// The style handed to window creation drops the runtime's low bits and WindowNoActivate.
constexpr std::uint32_t StyleBits = 0xFDFFFFF8;

std::int32_t ShowCommandFor(std::uint32_t flags, bool noActivate) {
  if (flags & WindowStartMaximized) return noActivate ? ShowNotActivated : ShowMaximized;
  if (flags & WindowStartMinimized) return noActivate ? ShowMinNoActive : ShowMinimized;
  return noActivate ? ShowNoActivate : ShowNormal;
}

}  // namespace

WindowFlagTranslation TranslateWindowFlags(std::uint32_t flags) {
  const std::uint32_t callerFlags = flags;
  WindowFlagTranslation result{};
  result.gadgetListWanted = (flags & WindowNoGadgetList) == 0;
  flags &= ~WindowNoGadgetList;
  if ((flags & NotOnlyCentringOrHidden) == 0) flags |= StyleCaption;
  result.hidden = (flags & WindowStartHidden) != 0;
  flags &= ~WindowStartHidden;
  result.noActivate = (flags & WindowNoActivate) != 0;
  if (flags & WindowToolFrame) {
    result.extendedStyle = ExStyleToolWindow;
    flags = (flags & ToolFrameKeeps) | StyleCaption;
  }
  result.style = flags & StyleBits;
  result.showCommand = ShowCommandFor(flags, result.noActivate);
  result.sizeState = (flags & (WindowStartMaximized | WindowStartMinimized)) != 0 ? 1 : 0;
  if (callerFlags & WindowCentreScreen) result.centring = WindowCentring::Screen;
  else if (callerFlags & WindowCentreOwner) result.centring = WindowCentring::Owner;
  else result.centring = WindowCentring::None;
  return result;
}

WindowPoint WindowCreatePosition(std::int32_t x, std::int32_t y, std::uint32_t flags) {
  const bool centred = (flags & (WindowCentreScreen | WindowCentreOwner)) != 0;
  if (x == IgnoreValue || (y == IgnoreValue && !centred)) return {UseDefaultPosition, UseDefaultPosition};
  return {x, y};
}

WindowPoint CentreOnScreen(std::int32_t width, std::int32_t height, std::int32_t screenWidth,
                           std::int32_t screenHeight) {
  return {(screenWidth - std::min(width, screenWidth)) / 2, (screenHeight - std::min(height, screenHeight)) / 2};
}

WindowPoint CentreOnWindow(std::int32_t width, std::int32_t height, const WindowRectangle& reference) {
  return {std::max(0, reference.left + (reference.Width() - width) / 2),
          std::max(0, reference.top + (reference.Height() - height) / 2)};
}
