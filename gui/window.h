// Numbered top-level windows: open, find and close them. Each window has a private class
// "WindowClass_<number>", an accelerator table for Tab navigation, and the property
// "QV_WindowID" (number + 1) through which its messages find it.
#pragma once

#include <cstdint>

#include "gui/window_flags.h"
#include "platform/platform.h"
#include "runtime/object_table.h"

struct WindowRecord {
  NativeHandle handle;             // the window; non-zero while it is open
  void* acceleratorEntries;        // MainHeap block of the two accelerator entries
  NativeHandle acceleratorTable;
  std::int32_t acceleratorCount;
  std::int32_t sizeState;          // 1 while minimized or maximized
};

extern ObjectTable* WindowTable;

// The title is Windows-1251 text (null for none). Returns the window's handle, or for
// DynamicNumber its id; 0 when the window cannot be created.
NativeHandle WindowOpen(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const char* title, std::uint32_t flags, NativeHandle parent = 0);
NativeHandle WindowHandle(ObjectId number);
void WindowClose(ObjectId number);

void WindowInit();
void WindowEnd();
