// The two atomic operations the runtime's one-time initialisation rests on: single locked
// processor operations on an aligned 32-bit word, each returning the previous value.
#pragma once

#include <cstdint>

#include "platform/platform.h"

inline std::int32_t AtomicExchange(volatile std::int32_t* target, std::int32_t value) {
  return PlatformAtomicExchange(target, value);
}

// Stores newValue only if the target holds expected.
inline std::int32_t AtomicCompareExchange(volatile std::int32_t* target, std::int32_t newValue,
                                          std::int32_t expected) {
  return PlatformAtomicCompareExchange(target, newValue, expected);
}
