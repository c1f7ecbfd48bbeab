// Private heaps for Linux: every block is a malloc allocation linked into its heap,
// so destroying the heap frees whatever is still in it, as a Win32 heap does. Like a
// Win32 heap created without HEAP_NO_SERIALIZE, a heap may be used by several threads.
#include <pthread.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace {

struct BlockHeader {
  BlockHeader* previous;
  BlockHeader* next;
  std::size_t size;
  std::size_t padding;  // keeps the caller's block 16-byte aligned
};

struct PosixHeap {
  BlockHeader* newest;
  pthread_mutex_t lock;
};

class HeapGuard {
 public:
  explicit HeapGuard(PosixHeap* heap) : heap_(heap) { pthread_mutex_lock(&heap_->lock); }
  ~HeapGuard() { pthread_mutex_unlock(&heap_->lock); }
  HeapGuard(const HeapGuard&) = delete;
  HeapGuard& operator=(const HeapGuard&) = delete;

 private:
  PosixHeap* heap_;
};

PosixHeap* AsHeap(NativeHandle heap) { return reinterpret_cast<PosixHeap*>(heap); }
BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

void Link(PosixHeap* heap, BlockHeader* header) {
  header->previous = nullptr;
  header->next = heap->newest;
  if (heap->newest != nullptr) heap->newest->previous = header;
  heap->newest = header;
}

void Unlink(PosixHeap* heap, BlockHeader* header) {
  if (header->previous != nullptr) header->previous->next = header->next;
  else heap->newest = header->next;
  if (header->next != nullptr) header->next->previous = header->previous;
}

}  // namespace

NativeHandle PlatformHeapCreate(std::size_t) {
  auto* heap = static_cast<PosixHeap*>(std::calloc(1, sizeof(PosixHeap)));
  if (heap != nullptr) pthread_mutex_init(&heap->lock, nullptr);
  return reinterpret_cast<NativeHandle>(heap);
}

void PlatformHeapDestroy(NativeHandle handle) {
  PosixHeap* heap = AsHeap(handle);
  if (heap == nullptr) return;
  for (BlockHeader* header = heap->newest; header != nullptr;) {
    BlockHeader* next = header->next;
    std::free(header);
    header = next;
  }
  pthread_mutex_destroy(&heap->lock);
  std::free(heap);
}

void* PlatformHeapAlloc(NativeHandle handle, std::size_t size, bool zeroFill) {
  PosixHeap* heap = AsHeap(handle);
  if (heap == nullptr || size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  void* raw = zeroFill ? std::calloc(1, sizeof(BlockHeader) + size) : std::malloc(sizeof(BlockHeader) + size);
  if (raw == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->size = size;
  HeapGuard guard(heap);
  Link(heap, header);
  return header + 1;
}

void* PlatformHeapRealloc(NativeHandle handle, void* block, std::size_t size) {
  PosixHeap* heap = AsHeap(handle);
  if (heap == nullptr || block == nullptr || size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* old = HeaderOf(block);
  HeapGuard guard(heap);
  Unlink(heap, old);
  void* raw = std::realloc(old, sizeof(BlockHeader) + size);
  if (raw == nullptr) {
    Link(heap, old);
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(raw);
  header->size = size;
  Link(heap, header);
  return header + 1;
}

void PlatformHeapFree(NativeHandle handle, void* block) {
  PosixHeap* heap = AsHeap(handle);
  if (heap == nullptr || block == nullptr) return;
  BlockHeader* header = HeaderOf(block);
  {
    HeapGuard guard(heap);
    Unlink(heap, header);
  }
  std::free(header);
}
