#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/pool.h"
#include "tests/support/runtime_fixture.h"

namespace {

class PoolTest : public RuntimeTest {};

// Allocates from the pool until its total is exactly `total` slots, then once more, and
// returns the size of the block that this last allocation made (0 if it made none).
std::int32_t BlockMadeAtTotal(Pool* pool, std::int32_t total, std::vector<void*>& kept) {
  while (pool->totalSlots < total || pool->availableBlocks != nullptr) {
    void* element = PoolAlloc(pool);
    if (element == nullptr) return 0;
    kept.push_back(element);
  }
  if (pool->totalSlots != total) return 0;  // the pool's growth stepped over `total`
  kept.push_back(PoolAlloc(pool));
  return pool->totalSlots - total;
}

struct GrowthCase {
  std::int32_t smallest;
  std::int32_t largest;
  std::int32_t totalBefore;
  std::int32_t expectedBlock;
};

TEST_F(PoolTest, NewBlocksGrowWithThePoolWithinBounds) {
  const GrowthCase cases[] = {
      {16, 65536, 0, 16},   {16, 65536, 16, 16},  {16, 65536, 496, 16}, {16, 65536, 512, 32},
      {16, 65536, 768, 48}, {16, 65536, 1056, 64}, {16, 32, 1024, 32},   {16, 32, 2048, 32},
      {16, 64, 2080, 64},   {64, 128, 0, 64},     {64, 128, 1216, 64},  {64, 128, 1280, 80},
      {64, 128, 2128, 128}, {64, 128, 4048, 128},
  };
  for (const GrowthCase& c : cases) {
    Pool* pool = PoolCreate(8, c.smallest, c.largest, 0);
    ASSERT_NE(pool, nullptr);
    std::vector<void*> kept;
    EXPECT_EQ(BlockMadeAtTotal(pool, c.totalBefore, kept), c.expectedBlock)
        << "smallest " << c.smallest << ", largest " << c.largest << ", total " << c.totalBefore;
    PoolDestroy(pool);
  }
}

TEST_F(PoolTest, SlotSizeIsElementPlusHeaderWordRounded) {
  // The shipped 32-bit program has 4-byte header words; the 64-bit build has 8-byte ones.
  struct Case {
    std::int32_t element, slot32, slot64;
  };
  const Case cases[] = {{13, 20, 24}, {0, 4, 8}, {1, 8, 16}, {4, 8, 16}, {16, 20, 24}, {28, 32, 40}, {32, 36, 40}};
  for (const Case& c : cases) {
    const std::int32_t expected = sizeof(void*) == 4 ? c.slot32 : c.slot64;
    EXPECT_EQ(PoolSlotSize(c.element), expected) << c.element;
    Pool* pool = PoolCreate(c.element, 16, 16, 0);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->slotSize, expected) << c.element;
    PoolDestroy(pool);
  }
}

TEST_F(PoolTest, ElementsDoNotOverlap) {
  Pool* pool = PoolCreate(13, 16, 64, 0);
  std::vector<unsigned char*> elements;
  for (int i = 0; i < 700; ++i) {
    auto* element = static_cast<unsigned char*>(PoolAlloc(pool));
    ASSERT_NE(element, nullptr);
    std::memset(element, i % 251, 13);
    elements.push_back(element);
  }
  for (int i = 0; i < 700; ++i) {
    for (int b = 0; b < 13; ++b) ASSERT_EQ(elements[i][b], i % 251) << "element " << i;
  }
  PoolDestroy(pool);
}

TEST_F(PoolTest, BlockIsFreedAsSoonAsItsLastElementReturns) {
  Pool* pool = PoolCreate(16, 16, 256, 0);
  std::vector<void*> first, second;
  for (int i = 0; i < 16; ++i) first.push_back(PoolAlloc(pool));
  for (int i = 0; i < 4; ++i) second.push_back(PoolAlloc(pool));
  ASSERT_EQ(pool->totalSlots, 32);

  for (void* element : second) PoolFree(pool, element);
  EXPECT_EQ(pool->totalSlots, 16);
  EXPECT_EQ(pool->availableBlocks, nullptr);
  ASSERT_NE(pool->fullBlocks, nullptr);
  EXPECT_EQ(pool->fullBlocks->next, nullptr);

  for (void* element : first) PoolFree(pool, element);
  EXPECT_EQ(pool->totalSlots, 0);
  EXPECT_EQ(pool->fullBlocks, nullptr);

  EXPECT_NE(PoolAlloc(pool), nullptr);  // the next allocation makes a new block
  EXPECT_EQ(pool->totalSlots, 16);
  PoolDestroy(pool);
}

TEST_F(PoolTest, FullBlockWithAReturnedSlotServesItNext) {
  Pool* pool = PoolCreate(16, 16, 256, 0);
  std::vector<void*> elements;
  for (int i = 0; i < 16; ++i) elements.push_back(PoolAlloc(pool));
  ASSERT_EQ(pool->availableBlocks, nullptr);
  PoolFree(pool, elements[5]);
  EXPECT_EQ(pool->fullBlocks, nullptr);
  ASSERT_NE(pool->availableBlocks, nullptr);
  EXPECT_EQ(PoolAlloc(pool), elements[5]);
  EXPECT_EQ(pool->totalSlots, 16);
  PoolDestroy(pool);
}

TEST_F(PoolTest, ClearDropsEveryBlockAndThePoolStaysUsable) {
  Pool* pool = PoolCreate(16, 16, 256, 0);
  for (int i = 0; i < 100; ++i) PoolAlloc(pool);
  PoolClear(pool);
  EXPECT_EQ(pool->totalSlots, 0);
  EXPECT_EQ(pool->fullBlocks, nullptr);
  EXPECT_EQ(pool->availableBlocks, nullptr);
  EXPECT_NE(PoolAlloc(pool), nullptr);
  EXPECT_EQ(pool->totalSlots, 16);
  PoolDestroy(pool);
}

TEST_F(PoolTest, OnlyTheValueOneInTheLowBitsGivesALock) {
  const struct {
    std::int32_t flags;
    std::int32_t locked;
  } cases[] = {{0, 0}, {1, 1}, {2, 0}, {3, 0}, {PoolShared | 1, 1}, {PoolShared | 3, 0}};
  for (const auto& c : cases) {
    Pool* pool = PoolCreate(16, 16, 256, c.flags);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->locked, c.locked) << c.flags;
    EXPECT_NE(PoolAlloc(pool), nullptr);
    PoolDestroy(pool);
  }
}

TEST_F(PoolTest, SharedPoolsAreFoundBySlotSizeAndFlags) {
  // Equal slot sizes share a pool even when the element sizes differ (22 and 24 round alike).
  const struct {
    std::int32_t elementA, flagsA, elementB, flagsB;
    bool same;
  } cases[] = {
      {24, PoolShared, 24, PoolShared, true},
      {24, PoolShared, 22, PoolShared, true},
      {24, PoolShared, 25, PoolShared, false},
      {24, PoolShared, 24, PoolShared | PoolLocked, false},
      {24, PoolShared | 2, 24, PoolShared | 3, false},
      {24, PoolShared | 8, 24, PoolShared, false},
      {24, PoolShared, 24, 0, false},
  };
  for (const auto& c : cases) {
    Pool* a = PoolCreate(c.elementA, 16, 256, c.flagsA);
    Pool* b = PoolCreate(c.elementB, 16, 256, c.flagsB);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a == b, c.same) << c.elementA << "/" << c.flagsA << " vs " << c.elementB << "/" << c.flagsB;
    PoolDestroy(b);
    PoolDestroy(a);
  }
}

TEST_F(PoolTest, SharedPoolLivesUntilItsLastHolderDestroysIt) {
  Pool* first = PoolCreate(40, 16, 256, PoolShared);
  Pool* second = PoolCreate(40, 16, 256, PoolShared);
  ASSERT_EQ(first, second);
  ASSERT_NE(first->registryNode, nullptr);
  EXPECT_EQ(first->registryNode->references, 2);

  PoolDestroy(first);
  EXPECT_EQ(second->registryNode->references, 1);
  void* element = PoolAlloc(second);  // still works for the other holder
  ASSERT_NE(element, nullptr);
  std::memset(element, 0x5A, 40);
  PoolFree(second, element);

  PoolDestroy(second);
  Pool* fresh = PoolCreate(40, 16, 256, PoolShared);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->registryNode->references, 1);  // a new pool, not the old one revived
  EXPECT_EQ(fresh->totalSlots, 0);
  PoolDestroy(fresh);
}

}  // namespace
