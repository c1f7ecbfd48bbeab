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

namespace {

using InitOnceExecuteOnceFunction = BOOL(WINAPI*)(PINIT_ONCE, PINIT_ONCE_FN, PVOID, LPVOID*);

BOOL CALLBACK RunOnceCallback(PINIT_ONCE, PVOID parameter, PVOID*) {
  (*static_cast<void (**)()>(parameter))();
  return TRUE;
}

}  // namespace

// Looked up at run time: Windows versions before Vista have no InitOnceExecuteOnce.
bool PlatformRunOnce(void** onceObject, void (*routine)()) {
  static_assert(sizeof(INIT_ONCE) == sizeof(void*), "the one-time object must be pointer-sized");
  HMODULE kernel = LoadLibraryA("Kernel32.dll");
  if (kernel == nullptr) return false;
  // Through void (*)() first: GetProcAddress's generic type does not convert directly.
  auto executeOnce = reinterpret_cast<InitOnceExecuteOnceFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "InitOnceExecuteOnce")));
  if (executeOnce != nullptr) {
    executeOnce(reinterpret_cast<PINIT_ONCE>(onceObject), RunOnceCallback, &routine, nullptr);
  }
  FreeLibrary(kernel);
  return executeOnce != nullptr;
}
