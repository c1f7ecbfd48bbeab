#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/pool.h"
#include "tests/support/runtime_fixture.h"

namespace {

class PoolThreadTest : public RuntimeTest {};

constexpr int ThreadCount = 4;

template <typename Body>
void RunTogether(Body body) {
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < ThreadCount; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      body(t);
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
}

TEST_F(PoolThreadTest, LockedPoolServesSeveralThreads) {
  constexpr int ElementSize = 24;
  Pool* pool = PoolCreate(ElementSize, 16, 64, PoolLocked);
  ASSERT_NE(pool, nullptr);
  std::atomic<int> clobbered{0};
  RunTogether([&](int t) {
    std::vector<unsigned char*> mine;
    for (int round = 0; round < 200; ++round) {
      for (int i = 0; i < 40; ++i) {
        auto* element = static_cast<unsigned char*>(PoolAlloc(pool));
        std::memset(element, t + 1, ElementSize);
        mine.push_back(element);
      }
      // Give back every other one, oldest first, so blocks empty and refill while others work.
      std::vector<unsigned char*> kept;
      for (std::size_t i = 0; i < mine.size(); ++i) {
        for (int b = 0; b < ElementSize; ++b) {
          if (mine[i][b] != t + 1) clobbered.fetch_add(1);
        }
        if (i % 2 == 0 || round % 7 == 6) PoolFree(pool, mine[i]);
        else kept.push_back(mine[i]);
      }
      mine.swap(kept);
    }
    for (unsigned char* element : mine) PoolFree(pool, element);
  });
  EXPECT_EQ(clobbered.load(), 0);
  EXPECT_EQ(pool->totalSlots, 0);  // every block went back as it emptied
  PoolDestroy(pool);
}

TEST_F(PoolThreadTest, SharedPoolRegistryKeepsCountUnderRacingHolders) {
  Pool* holder = PoolCreate(48, 16, 256, PoolShared);
  ASSERT_NE(holder, nullptr);
  std::atomic<int> mismatched{0};
  RunTogether([&](int t) {
    for (int i = 0; i < 500; ++i) {
      Pool* same = PoolCreate(48, 16, 256, PoolShared);
      Pool* own = PoolCreate(48, 16, 256, PoolShared | (8 << t));  // a key of this thread's own
      if (same != holder) mismatched.fetch_add(1);
      PoolDestroy(own);
      PoolDestroy(same);
    }
  });
  EXPECT_EQ(mismatched.load(), 0);
  EXPECT_EQ(holder->registryNode->references, 1);
  EXPECT_EQ(holder->registryNode->next, nullptr);  // the threads' own pools are gone
  EXPECT_EQ(holder->registryNode->previous, nullptr);
  PoolDestroy(holder);
}

}  // namespace
