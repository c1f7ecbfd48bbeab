// Library state blocks: each library keeps its private state in one zero-filled
// MainHeap block that lives until MainHeap is destroyed.
#pragma once

#include <cstddef>

using LibraryStateRoutine = void (*)(void* block);

// The end routine is accepted and never called: state blocks die with MainHeap.
void* LibraryStateCreate(std::size_t size, LibraryStateRoutine initRoutine, LibraryStateRoutine endRoutine);
void* LibraryState(void* block);
