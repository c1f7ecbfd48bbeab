// Private heaps through the Win32 heap functions.
#include <windows.h>

#include "platform/platform.h"

NativeHandle PlatformHeapCreate(std::size_t initialSize) {
  return reinterpret_cast<NativeHandle>(HeapCreate(0, initialSize, 0));
}

void PlatformHeapDestroy(NativeHandle heap) {
  if (heap != 0) HeapDestroy(reinterpret_cast<HANDLE>(heap));
}

void* PlatformHeapAlloc(NativeHandle heap, std::size_t size, bool zeroFill) {
  return HeapAlloc(reinterpret_cast<HANDLE>(heap), zeroFill ? HEAP_ZERO_MEMORY : 0, size);
}

void* PlatformHeapRealloc(NativeHandle heap, void* block, std::size_t size) {
  return HeapReAlloc(reinterpret_cast<HANDLE>(heap), 0, block, size);
}

void PlatformHeapFree(NativeHandle heap, void* block) {
  if (block != nullptr) HeapFree(reinterpret_cast<HANDLE>(heap), 0, block);
}
