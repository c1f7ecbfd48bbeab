// The window's entrance: it slides up into view from its bottom edge.
#pragma once

#include "platform/platform.h"

// Shows the hidden window by sliding it in over the given time, without activating it.
void WindowSlideIn(NativeHandle window, unsigned milliseconds);
