#include "runtime/heaps.h"

NativeHandle InstanceHandle;
NativeHandle MainHeap;

void* MainHeapAllocZero(std::size_t size) { return PlatformHeapAlloc(MainHeap, size, true); }

void MainHeapFree(void* block) { PlatformHeapFree(MainHeap, block); }

// Exit code 3 is what a C runtime gives an aborted program; it tells the out-of-memory
// stop apart from a normal end (0).
void RuntimeOutOfMemory() { PlatformExitProcess(3); }
