// Keyboard focus and hot keys in the runtime's plain (non-dialog) windows.
#pragma once

#include "platform/platform.h"

// The accelerator table to translate keys with for the active window, or 0.
NativeHandle AcceleratorFor(NativeHandle active);
// Shows (true) or hides the focus rectangles and keyboard underlines of a window.
void FocusCues(NativeHandle window, bool show);
// Moves the focus to the next (or previous) tab stop of the active window.
void TabNavigate(bool backward);
