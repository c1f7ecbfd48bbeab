#include <windows.h>

#include "app/window_slide.h"

void WindowSlideIn(NativeHandle window, unsigned milliseconds) {
  AnimateWindow(reinterpret_cast<HWND>(window), milliseconds, AW_SLIDE | AW_VER_NEGATIVE);
}
