// Modal message boxes that are modal to every visible window of the calling thread, not
// only to their owner, and the start-up step that registers the common-control classes and
// initialises COM.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Shows a box with a Windows-1251 title and text and the Win32 MB_ flags; returns the
// button chosen (IDOK for flags 0), 0 when the box cannot be shown.
std::int32_t MessageBoxShow(const char* title, const char* text, std::uint32_t flags = 0);

// Disables the visible, enabled windows of the calling thread (all but the foreground
// window) and takes its topmost windows out of the topmost band, recording what it changed
// as a new box.
void ThreadWindowsDisable();
// Undoes what the calling thread's newest ThreadWindowsDisable changed.
void ThreadWindowsRestore();
// The foreground window when it belongs to this process, else 0 (the box has no owner).
NativeHandle MessageBoxOwner();

void MessageBoxInit();
