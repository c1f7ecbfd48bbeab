#include "runtime/library_state.h"

#include "runtime/heaps.h"

void* LibraryStateCreate(std::size_t size, LibraryStateRoutine initRoutine, LibraryStateRoutine) {
  void* block = MainHeapAllocZero(size);
  if (block != nullptr && initRoutine != nullptr) initRoutine(block);
  return block;
}

void* LibraryState(void* block) { return block; }
