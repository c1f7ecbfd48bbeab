// Between the window library and its window procedure.
#pragma once

#include <windows.h>

#include "runtime/object_table.h"

// A window of the library destroyed without WindowClose (with its owner, or by a direct
// DestroyWindow): gives back what its record holds and releases the record, so that its
// number no longer names a dead handle.
void WindowDestroyedElsewhere(HWND window, ObjectId number);
