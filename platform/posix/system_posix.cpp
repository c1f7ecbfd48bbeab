// Module path, clock, sleep, locks, atomics and process end for Linux.
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

static_assert(sizeof(pthread_mutex_t) <= sizeof(PlatformLock::storage), "lock storage too small");

// Any non-zero value serves: Linux has no module handle, only the executable's path.
NativeHandle PlatformModuleHandle() { return 1; }

int PlatformModuleFileName(NativeHandle, char* buffer, int size) {
  if (size <= 0) return 0;
  ssize_t length = readlink("/proc/self/exe", buffer, static_cast<std::size_t>(size));
  if (length < 0) length = 0;
  if (length < size) buffer[length] = '\0';
  return static_cast<int>(length);
}

PlatformWallClock PlatformLocalTime() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

void PlatformSleep(unsigned milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  struct timespec wait = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

static pthread_mutex_t* AsMutex(PlatformLock* lock) { return reinterpret_cast<pthread_mutex_t*>(lock->storage); }

// Critical sections may be entered again by the thread that holds them.
void PlatformLockInit(PlatformLock* lock) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(AsMutex(lock), &attributes);
  pthread_mutexattr_destroy(&attributes);
}
void PlatformLockDelete(PlatformLock* lock) { pthread_mutex_destroy(AsMutex(lock)); }
void PlatformLockEnter(PlatformLock* lock) { pthread_mutex_lock(AsMutex(lock)); }
void PlatformLockLeave(PlatformLock* lock) { pthread_mutex_unlock(AsMutex(lock)); }

std::int32_t PlatformAtomicExchange(volatile std::int32_t* target, std::int32_t value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

std::int32_t PlatformAtomicCompareExchange(volatile std::int32_t* target, std::int32_t newValue,
                                           std::int32_t expected) {
  __atomic_compare_exchange_n(target, &expected, newValue, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return expected;
}

void PlatformExitProcess(int exitCode) { std::exit(exitCode); }

// Linux programs of ours use the runtime's compare-exchange form.
bool PlatformRunOnce(void**, void (*)()) { return false; }
