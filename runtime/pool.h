// Element pools: fixed-size elements (hash-map entries, queued events) handed out from
// blocks of many slots, so that small records cost neither a heap call each nor per-record
// heap overhead. Pools of one slot size and flags can be shared, reference-counted, by
// every user in the process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// Creation flags. PoolLocked is the value 1 in the two low bits (2 and 3 give no lock);
// every bit, used or not, is part of the key under which shared pools are found.
constexpr std::int32_t PoolLocked = 1;
constexpr std::int32_t PoolLockMask = 3;
constexpr std::int32_t PoolShared = 4;

// Each slot is its element preceded by one header word: the slot's block while the element
// is in use, the next free slot while it is on its block's free list. The word is
// pointer-sized, and slot sizes are multiples of it so that every header stays aligned.
constexpr std::int32_t PoolSlotHeaderSize = sizeof(void*);

// One MainHeap allocation: this header, then slotCount slots back to back.
struct PoolBlock {
  PoolBlock* next;
  PoolBlock* previous;
  void* freeList;       // first free slot, null if none
  std::int32_t slotCount;
  std::int32_t carved;  // slots handed out at least once; those from this index on never were
  std::int32_t free;    // slots on the free list
};

struct PoolRegistryNode;

struct Pool {
  PoolBlock* fullBlocks;       // no slot left to give
  PoolBlock* availableBlocks;  // a free or never-used slot; allocation serves the first
  PoolRegistryNode* registryNode;  // shared pools only
  std::int32_t totalSlots;
  std::int32_t slotSize;
  std::int32_t smallestBlock;
  std::int32_t largestBlock;
  std::int32_t locked;
  PlatformLock lock;
};

// The process's registry of shared pools is a list of these, newest first.
struct PoolRegistryNode {
  PoolRegistryNode* next;
  PoolRegistryNode* previous;
  Pool* pool;
  std::int32_t slotSize;
  std::int32_t flags;  // those of the creating call, PoolShared included
  std::int32_t references;
};

// Element size plus the header word, rounded up to a multiple of the header word.
std::int32_t PoolSlotSize(std::int32_t elementSize);

// Null when memory runs out. With PoolShared: the process's pool for this slot size and
// these flags, made on first use.
Pool* PoolCreate(std::int32_t elementSize, std::int32_t smallestBlock, std::int32_t largestBlock,
                 std::int32_t flags);
// An element with undefined contents, or null when no memory is left.
void* PoolAlloc(Pool* pool);
void PoolFree(Pool* pool, void* element);
// Frees every block at once; every element of the pool becomes invalid.
void PoolClear(Pool* pool);
// A private pool goes with all its blocks; a shared pool loses one reference and goes with
// the last.
void PoolDestroy(Pool* pool);

// Forgets the shared pools; start-up calls it before MainHeap is created, as the pools of an
// earlier run died with that run's heap.
void PoolRegistryClearState();
