#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "event/hash_map.h"
#include "tests/support/runtime_fixture.h"

namespace {

class HashMapThreadTest : public RuntimeTest {};

// Maps belong to one thread each, but they find their shared element pools in one
// registry: threads that create and free maps at the same time must not disturb it.
TEST_F(HashMapThreadTest, ThreadsWithMapsOfTheirOwnShareThePoolRegistry) {
  constexpr int ThreadCount = 4;
  constexpr std::int32_t CommonValueSize = 16;
  Map* common = nullptr;
  ASSERT_NE(MapCreate(CommonValueSize, &common, 8), nullptr);
  std::atomic<bool> go{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < ThreadCount; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      for (int round = 0; round < 40; ++round) {
        // Same element size as `common`: shares its pool, so it must not add here.
        Map* sharing = nullptr;
        MapCreate(CommonValueSize, &sharing, 8);
        if (sharing == nullptr || sharing->pool != common->pool) wrong.fetch_add(1);
        // A value size of this thread's own: a pool no other thread uses.
        Map* own = nullptr;
        MapCreate(64 + 16 * t, &own, 32);
        for (int i = 0; i < 100; ++i) MapAdd(own, std::to_string(i).c_str(), false);
        for (int i = 0; i < 100; i += 7) {
          if (MapFind(own, std::to_string(i).c_str()) == nullptr) wrong.fetch_add(1);
        }
        MapReset(own);
        while (MapNext(own) != nullptr) MapDeleteCurrent(own);
        if (own->count != 0) wrong.fetch_add(1);
        MapFree(own);
        MapFree(sharing);
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(common->pool->registryNode->references, 1);
  EXPECT_EQ(common->pool->registryNode->next, nullptr);  // every thread's own pool is gone
  EXPECT_EQ(common->pool->registryNode->previous, nullptr);
  MapFree(common);
}

}  // namespace
