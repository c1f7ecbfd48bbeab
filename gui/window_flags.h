// Window flags: the runtime's own bits mixed with Win32 window styles, and their
// translation into what window creation needs. Pure arithmetic, no platform calls.
#pragma once

#include <cstdint>

constexpr std::uint32_t WindowCentreScreen = 0x00000001;
constexpr std::uint32_t WindowCentreOwner = 0x00000002;
constexpr std::uint32_t WindowToolFrame = 0x00000004;
constexpr std::uint32_t WindowNoGadgetList = 0x00000008;
constexpr std::uint32_t WindowStartMaximized = 0x01000000;
constexpr std::uint32_t WindowNoActivate = 0x02000000;
constexpr std::uint32_t WindowStartHidden = 0x10000000;
constexpr std::uint32_t WindowStartMinimized = 0x20000000;

// A coordinate that asks the system to choose.
constexpr std::int32_t IgnoreValue = -65535;

// The Win32 values the translation produces (kept here so the logic builds anywhere).
namespace win32_values {
constexpr std::uint32_t StyleCaption = 0x00C00000;          // WS_CAPTION
constexpr std::uint32_t ExStyleToolWindow = 0x00000080;     // WS_EX_TOOLWINDOW
constexpr std::int32_t ShowNormal = 1;                      // SW_SHOWNORMAL
constexpr std::int32_t ShowMinimized = 2;                   // SW_SHOWMINIMIZED
constexpr std::int32_t ShowMaximized = 3;                   // SW_SHOWMAXIMIZED
constexpr std::int32_t ShowNoActivate = 4;                  // SW_SHOWNOACTIVATE
constexpr std::int32_t ShowMinNoActive = 7;                 // SW_SHOWMINNOACTIVE
constexpr std::int32_t ShowNotActivated = 8;                // SW_SHOWNA
constexpr std::int32_t UseDefaultPosition = static_cast<std::int32_t>(0x80000000u);  // CW_USEDEFAULT
}  // namespace win32_values

enum class WindowCentring { None, Screen, Owner };

struct WindowFlagTranslation {
  std::uint32_t style;
  std::uint32_t extendedStyle;
  bool hidden;
  bool noActivate;
  std::int32_t showCommand;
  std::int32_t sizeState;  // 1 when the window starts minimized or maximized
  bool gadgetListWanted;
  WindowCentring centring;
};

WindowFlagTranslation TranslateWindowFlags(std::uint32_t flags);

struct WindowPoint {
  std::int32_t x;
  std::int32_t y;
};

// The creation position: the system's default when x is IgnoreValue, or when y is and the
// window is not centred anyway.
WindowPoint WindowCreatePosition(std::int32_t x, std::int32_t y, std::uint32_t flags);

struct WindowRectangle {
  std::int32_t left, top, right, bottom;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
};

// Top-left corner that centres a window of outer size width x height on a screen of
// screenWidth x screenHeight (the whole screen; a window larger than it goes to 0).
WindowPoint CentreOnScreen(std::int32_t width, std::int32_t height, std::int32_t screenWidth,
                           std::int32_t screenHeight);
// Top-left corner that centres it on a reference window; never negative.
WindowPoint CentreOnWindow(std::int32_t width, std::int32_t height, const WindowRectangle& reference);
