// The operating-system services the runtime stands on: heaps, the module, the clock,
// sleeping, locks and atomics. One Win32 and one POSIX implementation sit behind it.
#pragma once

#include <cstddef>
#include <cstdint>

// Native handles (heaps, modules, files, sockets, windows) travel as pointer-sized values.
using NativeHandle = std::intptr_t;

// Private growable heaps. A heap is destroyed whole, with every block still in it.
NativeHandle PlatformHeapCreate(std::size_t initialSize);
void PlatformHeapDestroy(NativeHandle heap);
void* PlatformHeapAlloc(NativeHandle heap, std::size_t size, bool zeroFill);
// Keeps the contents up to the smaller size; returns null (block untouched) when it cannot grow.
void* PlatformHeapRealloc(NativeHandle heap, void* block, std::size_t size);
void PlatformHeapFree(NativeHandle heap, void* block);

// The running program's own module and the full path of its executable file.
NativeHandle PlatformModuleHandle();
// Writes at most size bytes (NUL included when it fits) and returns the path's length;
// a result equal to size means the path was cut short.
int PlatformModuleFileName(NativeHandle module, char* buffer, int size);

struct PlatformWallClock {
  int year, month, day, hour, minute, second;
};
PlatformWallClock PlatformLocalTime();
void PlatformSleep(unsigned milliseconds);

// A critical section kept in place inside the structure that owns it.
struct PlatformLock {
  alignas(16) unsigned char storage[64];
};
void PlatformLockInit(PlatformLock* lock);
void PlatformLockDelete(PlatformLock* lock);
void PlatformLockEnter(PlatformLock* lock);
void PlatformLockLeave(PlatformLock* lock);

// Single locked operations on an aligned 32-bit word; both return the previous value.
std::int32_t PlatformAtomicExchange(volatile std::int32_t* target, std::int32_t value);
std::int32_t PlatformAtomicCompareExchange(volatile std::int32_t* target, std::int32_t newValue,
                                           std::int32_t expected);

// Runs routine once per one-time object through the operating system's own one-time
// initialisation, looked up at run time. False when the system has none; the caller then
// uses its own compare-exchange form. The object is pointer-sized and starts as null.
bool PlatformRunOnce(void** onceObject, void (*routine)());

[[noreturn]] void PlatformExitProcess(int exitCode);
