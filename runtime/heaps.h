// The process-wide values set at start-up and read everywhere: the program's module
// handle and the heap that holds every runtime record, table, buffer and state block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

extern NativeHandle InstanceHandle;
extern NativeHandle MainHeap;

// Zero-filled block from MainHeap; null when the heap cannot supply it.
void* MainHeapAllocZero(std::size_t size);
void MainHeapFree(void* block);

// Ends the process when memory that the caller cannot do without is gone: better a
// clean stop than writing through a null pointer.
[[noreturn]] void RuntimeOutOfMemory();
