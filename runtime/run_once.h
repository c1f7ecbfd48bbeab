// One-time initialisation: a routine runs exactly once per state, however many threads
// arrive; latecomers return only after it has finished.
#pragma once

#include <cstdint>

// Zero-initialised before first use. Where the operating system has one-time
// initialisation, the state is its (pointer-sized) one-time object; otherwise the word is
// 0 = not run, 1 = running, 2 = done.
union RunOnceState {
  void* systemObject;
  volatile std::int32_t word;
};

using RunOnceRoutine = void (*)();

void RunOnce(RunOnceState* state, RunOnceRoutine routine);

// The compare-exchange form that RunOnce falls back on when the operating system has no
// one-time initialisation of its own.
void RunOnceByCompareExchange(RunOnceState* state, RunOnceRoutine routine);
