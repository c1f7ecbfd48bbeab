// The image gadget's decisions that need no window: border styles from its flags, the
// control's size for a picture, and when a press turns into a drag.
#pragma once

#include <cstdint>

struct ImageBorderStyles {
  std::uint32_t style;          // added to the control's window style
  std::uint32_t extendedStyle;  // its extended style
};

// Window style bits the gadget uses, as Win32 defines them.
constexpr std::uint32_t ImageStyleDialogFrame = 0x00400000;         // WS_DLGFRAME
constexpr std::uint32_t ImageExtendedStyleClientEdge = 0x00000200;  // WS_EX_CLIENTEDGE
// WS_CHILD | WS_VISIBLE | SS_NOTIFY: a visible child that reports clicks.
constexpr std::uint32_t ImageControlStyle = 0x50000100;

ImageBorderStyles ImageBorderFromFlags(std::uint32_t flags);

struct ImageSize {
  std::int32_t width;
  std::int32_t height;
};
// The control's outer size for a picture: either border takes 2 pixels on every side.
ImageSize ImageControlSize(std::int32_t pictureWidth, std::int32_t pictureHeight, std::uint32_t style,
                           std::uint32_t extendedStyle);

// The signed x and y packed in a mouse message's lParam (low and high 16 bits).
std::int32_t MouseX(std::intptr_t lParam);
std::int32_t MouseY(std::intptr_t lParam);

// True when the mouse at `moved` lies farther from the press at `pressed` than the drag
// thresholds allow, on either axis.
bool IsDragStart(std::intptr_t pressed, std::intptr_t moved, std::int32_t thresholdX, std::int32_t thresholdY);
