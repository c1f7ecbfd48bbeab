#include "runtime/pool.h"

#include <limits>

#include "runtime/heaps.h"
#include "runtime/run_once.h"

namespace {

// The registry of shared pools. Its lock is made once, on the first request for a shared
// pool; RunOnce keeps two threads asking at the same time from both making it.
PoolRegistryNode* RegistryHead;
PlatformLock RegistryLock;
RunOnceState RegistryLockOnce;

void InitRegistry() {
  PlatformLockInit(&RegistryLock);
  RegistryHead = nullptr;
}

// A slot's header word: its block while in use, the next free slot while free.
union SlotHeader {
  PoolBlock* block;
  SlotHeader* nextFree;
};

SlotHeader* SlotAt(PoolBlock* block, std::int32_t index, std::int32_t slotSize) {
  auto* first = reinterpret_cast<unsigned char*>(block + 1);
  return reinterpret_cast<SlotHeader*>(first + static_cast<std::size_t>(index) * static_cast<std::size_t>(slotSize));
}

void* ElementOf(SlotHeader* slot) { return reinterpret_cast<unsigned char*>(slot) + PoolSlotHeaderSize; }

SlotHeader* SlotOf(void* element) {
  return reinterpret_cast<SlotHeader*>(static_cast<unsigned char*>(element) - PoolSlotHeaderSize);
}

bool IsFull(const PoolBlock* block) { return block->free == 0 && block->carved >= block->slotCount; }

void PushFront(PoolBlock** list, PoolBlock* block) {
  block->previous = nullptr;
  block->next = *list;
  if (*list != nullptr) (*list)->previous = block;
  *list = block;
}

void Unlink(PoolBlock** list, PoolBlock* block) {
  if (block->previous != nullptr) block->previous->next = block->next;
  else *list = block->next;
  if (block->next != nullptr) block->next->previous = block->previous;
}

void FreeBlocks(PoolBlock* block) {
  while (block != nullptr) {
    PoolBlock* next = block->next;
    MainHeapFree(block);
    block = next;
  }
}

// Blocks grow with the pool: a sixteenth of its slots, in steps of 16, within the
// creator's bounds.
std::int32_t NextBlockSlots(const Pool* pool) {
  std::int32_t n = (pool->totalSlots / 16) & ~15;
  if (n < pool->smallestBlock) n = pool->smallestBlock;
  else if (n > pool->largestBlock) n = pool->largestBlock;
  return n < 1 ? 1 : n;
}

PoolBlock* AllocateBlock(std::int32_t slots, std::int32_t slotSize) {
  const std::size_t limit = (std::numeric_limits<std::size_t>::max() - sizeof(PoolBlock)) / static_cast<std::size_t>(slotSize);
  if (static_cast<std::size_t>(slots) > limit) return nullptr;
  const std::size_t size = sizeof(PoolBlock) + static_cast<std::size_t>(slots) * static_cast<std::size_t>(slotSize);
  return static_cast<PoolBlock*>(PlatformHeapAlloc(MainHeap, size, false));
}

SlotHeader* TakeFromAvailable(Pool* pool) {
  PoolBlock* block = pool->availableBlocks;
  SlotHeader* slot;
  if (block->free > 0) {
    slot = static_cast<SlotHeader*>(block->freeList);
    block->freeList = slot->nextFree;
    --block->free;
  } else {
    slot = SlotAt(block, block->carved, pool->slotSize);
    ++block->carved;
  }
  if (IsFull(block)) {
    Unlink(&pool->availableBlocks, block);
    PushFront(&pool->fullBlocks, block);
  }
  slot->block = block;
  return slot;
}

SlotHeader* TakeFromNewBlock(Pool* pool) {
  std::int32_t slots = NextBlockSlots(pool);
  PoolBlock* block = AllocateBlock(slots, pool->slotSize);
  if (block == nullptr) {
    slots = 1;
    block = AllocateBlock(slots, pool->slotSize);
    if (block == nullptr) return nullptr;
  }
  pool->totalSlots += slots;
  block->slotCount = slots;
  block->carved = 1;
  block->free = 0;
  block->freeList = nullptr;
  PushFront(slots > 1 ? &pool->availableBlocks : &pool->fullBlocks, block);
  SlotHeader* slot = SlotAt(block, 0, pool->slotSize);
  slot->block = block;
  return slot;
}

void ClearBlocks(Pool* pool) {
  FreeBlocks(pool->fullBlocks);
  FreeBlocks(pool->availableBlocks);
  pool->fullBlocks = nullptr;
  pool->availableBlocks = nullptr;
  pool->totalSlots = 0;
}

Pool* CreatePrivate(std::int32_t slotSize, std::int32_t smallest, std::int32_t largest, std::int32_t flags) {
  auto* pool = static_cast<Pool*>(PlatformHeapAlloc(MainHeap, sizeof(Pool), false));
  if (pool == nullptr) return nullptr;
  pool->fullBlocks = nullptr;
  pool->availableBlocks = nullptr;
  pool->registryNode = nullptr;
  pool->totalSlots = 0;
  pool->slotSize = slotSize;
  pool->smallestBlock = smallest;
  pool->largestBlock = largest;
  pool->locked = (flags & PoolLockMask) == PoolLocked ? 1 : 0;
  if (pool->locked != 0) PlatformLockInit(&pool->lock);
  return pool;
}

void DestroyPrivate(Pool* pool) {
  PoolClear(pool);
  if (pool->locked != 0) PlatformLockDelete(&pool->lock);
  MainHeapFree(pool);
}

// Runs under the registry lock.
Pool* FindOrCreateShared(std::int32_t slotSize, std::int32_t smallest, std::int32_t largest, std::int32_t flags) {
  for (PoolRegistryNode* node = RegistryHead; node != nullptr; node = node->next) {
    if (node->slotSize == slotSize && node->flags == flags) {
      ++node->references;
      return node->pool;
    }
  }
  Pool* pool = CreatePrivate(slotSize, smallest, largest, flags & ~PoolShared);
  if (pool == nullptr) return nullptr;
  auto* node = static_cast<PoolRegistryNode*>(PlatformHeapAlloc(MainHeap, sizeof(PoolRegistryNode), false));
  if (node == nullptr) {
    DestroyPrivate(pool);
    return nullptr;
  }
  node->pool = pool;
  node->slotSize = slotSize;
  node->flags = flags;
  node->references = 1;
  pool->registryNode = node;
  node->previous = nullptr;
  node->next = RegistryHead;
  if (RegistryHead != nullptr) RegistryHead->previous = node;
  RegistryHead = node;
  return pool;
}

// Runs under the registry lock.
void ReleaseShared(Pool* pool) {
  PoolRegistryNode* node = pool->registryNode;
  if (--node->references > 0) return;
  pool->registryNode = nullptr;
  DestroyPrivate(pool);
  if (node->previous != nullptr) node->previous->next = node->next;
  else RegistryHead = node->next;
  if (node->next != nullptr) node->next->previous = node->previous;
  MainHeapFree(node);
}

class PoolGuard {
 public:
  explicit PoolGuard(Pool* pool) : pool_(pool) {
    if (pool_->locked != 0) PlatformLockEnter(&pool_->lock);
  }
  ~PoolGuard() {
    if (pool_->locked != 0) PlatformLockLeave(&pool_->lock);
  }
  PoolGuard(const PoolGuard&) = delete;
  PoolGuard& operator=(const PoolGuard&) = delete;

 private:
  Pool* pool_;
};

}  // namespace

std::int32_t PoolSlotSize(std::int32_t elementSize) {
  if (elementSize < 0) elementSize = 0;
  const std::int32_t unpadded = elementSize + PoolSlotHeaderSize;
  return (unpadded + PoolSlotHeaderSize - 1) / PoolSlotHeaderSize * PoolSlotHeaderSize;
}

Pool* PoolCreate(std::int32_t elementSize, std::int32_t smallestBlock, std::int32_t largestBlock,
                 std::int32_t flags) {
  const std::int32_t slotSize = PoolSlotSize(elementSize);
  if ((flags & PoolShared) == 0) return CreatePrivate(slotSize, smallestBlock, largestBlock, flags);
  RunOnce(&RegistryLockOnce, InitRegistry);
  PlatformLockEnter(&RegistryLock);
  Pool* pool = FindOrCreateShared(slotSize, smallestBlock, largestBlock, flags);
  PlatformLockLeave(&RegistryLock);
  return pool;
}

void* PoolAlloc(Pool* pool) {
  PoolGuard guard(pool);
  SlotHeader* slot = pool->availableBlocks != nullptr ? TakeFromAvailable(pool) : TakeFromNewBlock(pool);
  return slot != nullptr ? ElementOf(slot) : nullptr;
}

void PoolFree(Pool* pool, void* element) {
  if (element == nullptr) return;
  PoolGuard guard(pool);
  SlotHeader* slot = SlotOf(element);
  PoolBlock* block = slot->block;
  const bool wasFull = IsFull(block);
  slot->nextFree = static_cast<SlotHeader*>(block->freeList);
  block->freeList = slot;
  ++block->free;
  if (block->free == block->carved) {
    // Every slot ever handed out is back: the block goes at once.
    Unlink(wasFull ? &pool->fullBlocks : &pool->availableBlocks, block);
    pool->totalSlots -= block->slotCount;
    MainHeapFree(block);
  } else if (wasFull) {
    Unlink(&pool->fullBlocks, block);
    PushFront(&pool->availableBlocks, block);
  }
}

void PoolClear(Pool* pool) {
  PoolGuard guard(pool);
  ClearBlocks(pool);
}

void PoolDestroy(Pool* pool) {
  if (pool == nullptr) return;
  if (pool->registryNode == nullptr) {
    DestroyPrivate(pool);
    return;
  }
  // The registry lock comes before the pool's own lock, never after.
  PlatformLockEnter(&RegistryLock);
  ReleaseShared(pool);
  PlatformLockLeave(&RegistryLock);
}

void PoolRegistryClearState() { RegistryHead = nullptr; }
