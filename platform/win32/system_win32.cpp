// Module, clock, sleep, critical sections, atomics and process end through the Win32 API.
#include <windows.h>

#include "platform/platform.h"

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(PlatformLock::storage), "lock storage too small");
static_assert(sizeof(LONG) == sizeof(std::int32_t), "LONG must be 32 bits");

NativeHandle PlatformModuleHandle() { return reinterpret_cast<NativeHandle>(GetModuleHandleA(nullptr)); }

int PlatformModuleFileName(NativeHandle module, char* buffer, int size) {
  if (size <= 0) return 0;
  return static_cast<int>(
      GetModuleFileNameA(reinterpret_cast<HMODULE>(module), buffer, static_cast<DWORD>(size)));
}

PlatformWallClock PlatformLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void PlatformSleep(unsigned milliseconds) { Sleep(milliseconds); }

static CRITICAL_SECTION* AsCriticalSection(PlatformLock* lock) {
  return reinterpret_cast<CRITICAL_SECTION*>(lock->storage);
}

void PlatformLockInit(PlatformLock* lock) { InitializeCriticalSection(AsCriticalSection(lock)); }
void PlatformLockDelete(PlatformLock* lock) { DeleteCriticalSection(AsCriticalSection(lock)); }
void PlatformLockEnter(PlatformLock* lock) { EnterCriticalSection(AsCriticalSection(lock)); }
void PlatformLockLeave(PlatformLock* lock) { LeaveCriticalSection(AsCriticalSection(lock)); }

std::int32_t PlatformAtomicExchange(volatile std::int32_t* target, std::int32_t value) {
  return InterlockedExchange(reinterpret_cast<volatile LONG*>(target), value);
}

std::int32_t PlatformAtomicCompareExchange(volatile std::int32_t* target, std::int32_t newValue,
                                           std::int32_t expected) {
  return InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(target), newValue, expected);
}

void PlatformExitProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }
