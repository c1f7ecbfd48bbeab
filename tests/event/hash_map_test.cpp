#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "event/hash_map.h"
#include "tests/support/runtime_fixture.h"

namespace {

class HashMapTest : public RuntimeTest {
 protected:
  void TearDown() override {
    MapFree(map_);
    RuntimeTest::TearDown();
  }
  Map* Make(std::int32_t buckets, std::int32_t valueSize = 8) { return MapCreate(valueSize, &map_, buckets); }
  Map* map_ = nullptr;
};

using KeyBag = std::multiset<std::string>;

std::vector<std::string> IterationOrder(Map* map) {
  std::vector<std::string> keys;
  MapReset(map);
  while (void* value = MapNext(map)) keys.emplace_back(MapKeyOf(value));
  return keys;
}

// The map agrees with itself and with `expected`: its count, what an iteration visits, and
// what a lookup of every key finds.
void ExpectHolds(Map* map, const KeyBag& expected) {
  EXPECT_EQ(map->count, static_cast<std::int32_t>(expected.size()));
  const std::vector<std::string> order = IterationOrder(map);
  EXPECT_EQ(KeyBag(order.begin(), order.end()), expected);
  for (const std::string& key : expected) {
    void* value = MapFind(map, key.c_str());
    ASSERT_NE(value, nullptr) << key;
    EXPECT_EQ(MapKeyOf(value), key);
  }
}

void AddAll(Map* map, const std::vector<std::string>& keys) {
  for (const std::string& key : keys) ASSERT_NE(MapAdd(map, key.c_str(), true), nullptr) << key;
}

std::vector<std::string> NumberedKeys(int count) {
  std::vector<std::string> keys;
  for (int i = 0; i < count; ++i) keys.push_back("key" + std::to_string(i));
  return keys;
}

TEST(MapHashTest, SdbmOverSignedBytes) {
  const struct {
    const char* key;
    std::uint32_t hash;
  } cases[] = {
      {"", 0u},
      {"a", 97u},
      {"ab", 97u * 65599u + 98u},
      {"\x80", 0xFFFFFF80u},                  // -128
      {"\xFF\x01", 0u - 65599u + 1u},         // -1 * 65599 + 1
      {"abc", (97u * 65599u + 98u) * 65599u + 99u},
  };
  for (const auto& c : cases) EXPECT_EQ(MapHash(c.key), c.hash) << c.key;
  EXPECT_EQ(MapHash(nullptr), 0u);
}

TEST_F(HashMapTest, BucketIsTheHashModuloTheCountTakenUnsigned) {
  Make(200);
  MapAdd(map_, "\x80", false);
  EXPECT_NE(map_->buckets[0xFFFFFF80u % 200u], nullptr);  // 168, not 128
  EXPECT_EQ(map_->buckets[128], nullptr);
}

TEST_F(HashMapTest, IterationGoesUpTheBucketsAndDownEachChainFromTheNewest) {
  const struct {
    std::int32_t buckets;
    std::vector<std::string> added;
    std::vector<std::string> order;
  } cases[] = {
      // 'a' = 97, so with 4 buckets: d -> 0, a and e -> 1, b -> 2, c -> 3.
      {4, {"a", "b", "c", "d", "e"}, {"d", "e", "a", "b", "c"}},
      {1, {"a", "b", "c"}, {"c", "b", "a"}},
      {1024, {"c", "a", "b"}, {"a", "b", "c"}},
  };
  for (const auto& c : cases) {
    Make(c.buckets);
    AddAll(map_, c.added);
    EXPECT_EQ(IterationOrder(map_), c.order) << c.buckets;
  }
}

TEST_F(HashMapTest, BucketCountBelowOneWorksAsOne) {
  for (std::int32_t buckets : {0, -3}) {
    Make(buckets);
    EXPECT_EQ(map_->bucketCount, 1);
    AddAll(map_, {"x", "y", "z"});
    ExpectHolds(map_, {"x", "y", "z"});
  }
}

TEST_F(HashMapTest, AddedValueIsZeroFilledAndFoundAgain) {
  Make(16, 24);
  auto* value = static_cast<unsigned char*>(MapAdd(map_, "alpha", false));
  ASSERT_NE(value, nullptr);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(value[i], 0);
  std::memset(value, 0x7E, 24);
  EXPECT_EQ(MapFind(map_, "alpha"), value);
  EXPECT_EQ(map_->count, 1);
}

TEST_F(HashMapTest, MissLeavesTheCursorWhereItWas) {
  Make(8);
  AddAll(map_, {"one", "two"});
  void* found = MapFind(map_, "one");
  EXPECT_EQ(MapFind(map_, "three"), nullptr);
  EXPECT_EQ(map_->cursor + 1, found);
  EXPECT_EQ(MapFind(map_, ""), nullptr);
}

TEST_F(HashMapTest, DuplicateKeysWithAndWithoutReuse) {
  Make(8, 4);
  auto* older = static_cast<std::int32_t*>(MapAdd(map_, "dup", false));
  *older = 11;
  auto* newer = static_cast<std::int32_t*>(MapAdd(map_, "dup", false));
  *newer = 22;
  EXPECT_NE(older, newer);
  EXPECT_EQ(map_->count, 2);
  EXPECT_EQ(MapFind(map_, "dup"), newer);  // the newer hides the older
  EXPECT_EQ(IterationOrder(map_), (std::vector<std::string>{"dup", "dup"}));

  auto* reused = static_cast<std::int32_t*>(MapAdd(map_, "dup", true));
  EXPECT_EQ(reused, newer);
  EXPECT_EQ(*reused, 0);  // zero-filled again
  EXPECT_EQ(*older, 11);
  EXPECT_EQ(map_->count, 2);
}

TEST_F(HashMapTest, KeysDifferingInCaseAreDifferentKeys) {
  Make(1);
  void* lower = MapAdd(map_, "key", true);
  void* upper = MapAdd(map_, "KEY", true);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(MapFind(map_, "key"), lower);
  EXPECT_EQ(MapFind(map_, "KEY"), upper);
  EXPECT_EQ(MapFind(map_, "Key"), nullptr);
  EXPECT_EQ(map_->count, 2);
}

TEST_F(HashMapTest, NullKeyIsTheEmptyString) {
  Make(8);
  void* value = MapAdd(map_, nullptr, true);
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(MapKeyOf(value), "");
  EXPECT_EQ(MapFind(map_, ""), value);
  EXPECT_EQ(MapFind(map_, nullptr), value);
  EXPECT_EQ(MapAdd(map_, "", true), value);
}

TEST_F(HashMapTest, EmptyMapIterationReturnsNullEveryTime) {
  Make(8);
  MapReset(map_);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(MapNext(map_), nullptr);
  EXPECT_EQ(MapDeleteCurrent(map_), nullptr);
  EXPECT_EQ(map_->count, 0);
}

TEST_F(HashMapTest, IterationEndsAndStaysEnded) {
  Make(8);
  AddAll(map_, {"p", "q"});
  MapReset(map_);
  EXPECT_NE(MapNext(map_), nullptr);
  EXPECT_NE(MapNext(map_), nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(MapNext(map_), nullptr);
}

TEST_F(HashMapTest, DeletingEveryElementDuringAnIterationEmptiesTheMap) {
  const struct {
    std::int32_t buckets;
    int keys;
  } cases[] = {{1, 10}, {3, 25}, {64, 40}, {1024, 300}};
  for (const auto& c : cases) {
    Make(c.buckets);
    AddAll(map_, NumberedKeys(c.keys));
    const std::vector<std::string> before = IterationOrder(map_);
    std::vector<std::string> visited;
    MapReset(map_);
    while (void* value = MapNext(map_)) {
      visited.emplace_back(MapKeyOf(value));
      MapDeleteCurrent(map_);
    }
    EXPECT_EQ(visited, before) << c.buckets;
    EXPECT_EQ(map_->count, 0);
    for (std::int32_t b = 0; b < map_->bucketCount; ++b) EXPECT_EQ(map_->buckets[b], nullptr);
    EXPECT_EQ(map_->pool->totalSlots, 0);  // every element went back to the pool
  }
}

TEST_F(HashMapTest, DeletingDuringAnIterationGoesOnWithTheFollowingElement) {
  for (std::int32_t buckets : {1, 3, 16}) {
    Make(buckets);
    AddAll(map_, NumberedKeys(12));
    const std::vector<std::string> before = IterationOrder(map_);
    std::vector<std::string> visited;
    MapReset(map_);
    int step = 0;
    while (void* value = MapNext(map_)) {
      visited.emplace_back(MapKeyOf(value));
      if (step++ % 3 == 1) MapDeleteCurrent(map_);
    }
    EXPECT_EQ(visited, before) << buckets;
    EXPECT_EQ(map_->count, 8);
  }
}

TEST_F(HashMapTest, DeletingTheFirstElementOfAnIterationLeavesTheMapReset) {
  Make(4);
  AddAll(map_, {"a", "b", "c", "d"});
  MapReset(map_);
  void* first = MapNext(map_);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(MapDeleteCurrent(map_), nullptr);
  EXPECT_EQ(map_->index, -1);
  EXPECT_STREQ(MapKeyOf(MapNext(map_)), "a");  // d was first; a now starts the iteration
}

// Deletes the element whose value is `current` (nothing when null), records its key, and
// returns the value now current.
void* DeleteTracked(Map* map, void* current, KeyBag& deleted) {
  const std::int32_t countBefore = map->count;
  if (current != nullptr) deleted.insert(MapKeyOf(current));
  void* now = MapDeleteCurrent(map);
  EXPECT_EQ(map->count, countBefore - (current != nullptr ? 1 : 0));
  if (current == nullptr) {
    EXPECT_EQ(now, nullptr);
  }
  return now;
}

KeyBag Without(const std::vector<std::string>& all, const KeyBag& removed) {
  KeyBag rest(all.begin(), all.end());
  for (const std::string& key : removed) rest.erase(rest.find(key));
  return rest;
}

// Deleting twice with no iteration step between, at every position of an iteration: the
// map never loses or keeps a wrong element, and the iteration goes on after the first one.
TEST_F(HashMapTest, DeletingTwiceWithoutAStepKeepsTheMapWhole) {
  for (std::int32_t buckets : {1, 2, 5, 64}) {
    const std::vector<std::string> keys = NumberedKeys(9);
    for (std::size_t position = 1; position <= keys.size(); ++position) {
      Make(buckets);
      AddAll(map_, keys);
      const std::vector<std::string> order = IterationOrder(map_);
      MapReset(map_);
      void* current = nullptr;
      for (std::size_t i = 0; i < position; ++i) current = MapNext(map_);
      KeyBag deleted;
      current = DeleteTracked(map_, current, deleted);
      DeleteTracked(map_, current, deleted);
      std::vector<std::string> rest;
      while (void* value = MapNext(map_)) rest.emplace_back(MapKeyOf(value));
      EXPECT_EQ(rest, std::vector<std::string>(order.begin() + position, order.end()))
          << buckets << " buckets, position " << position;
      ExpectHolds(map_, Without(keys, deleted));
    }
  }
}

// A lookup that finds a chain's first element walks past nothing, so what the map last
// remembered as the element before the cursor belongs elsewhere; deleting then (once or
// twice) must still unlink exactly the right elements.
TEST_F(HashMapTest, DeletingRightAfterALookupKeepsTheMapWhole) {
  for (std::int32_t buckets : {1, 3, 16}) {
    const std::vector<std::string> keys = NumberedKeys(10);
    for (const std::string& target : keys) {
      Make(buckets);
      AddAll(map_, keys);
      MapReset(map_);
      for (int i = 0; i < 4; ++i) MapNext(map_);  // leaves an unrelated previous element
      void* current = MapFind(map_, target.c_str());
      ASSERT_NE(current, nullptr);
      KeyBag deleted;
      current = DeleteTracked(map_, current, deleted);
      DeleteTracked(map_, current, deleted);
      EXPECT_EQ(MapFind(map_, target.c_str()), nullptr) << target;
      ExpectHolds(map_, Without(keys, deleted));
    }
  }
}

// Random operations against a model: whatever order lookups, adds, steps and deletes come
// in, the map holds exactly the keys added and not deleted.
TEST_F(HashMapTest, RandomOperationsAgreeWithAModel) {
  std::mt19937 random(20261211);
  for (std::int32_t buckets : {1, 7, 64}) {
    Make(buckets);
    KeyBag model;
    void* current = nullptr;
    for (int op = 0; op < 4000; ++op) {
      const std::string key = "k" + std::to_string(random() % 30);
      switch (random() % 6) {
        case 0:
        case 1: {
          const bool reuse = random() % 2 == 0;
          const bool existed = MapFind(map_, key.c_str()) != nullptr;
          current = MapAdd(map_, key.c_str(), reuse);
          if (!reuse || !existed) model.insert(key);
          break;
        }
        case 2:
          if (void* found = MapFind(map_, key.c_str())) current = found;
          break;
        case 3:
          current = MapNext(map_);
          break;
        case 4:
          if (current != nullptr) model.erase(model.find(MapKeyOf(current)));
          current = MapDeleteCurrent(map_);
          break;
        default:
          MapReset(map_);
          current = nullptr;
          break;
      }
      ASSERT_EQ(map_->count, static_cast<std::int32_t>(model.size()));
      if (op % 200 == 199) {
        ExpectHolds(map_, model);
        current = MapFind(map_, key.c_str());
        if (HasFailure()) return;
      }
    }
  }
}

TEST_F(HashMapTest, ClearEmptiesTheMapAndGivesEveryElementBack) {
  Make(16);
  AddAll(map_, NumberedKeys(100));
  MapClear(map_);
  EXPECT_EQ(map_->count, 0);
  EXPECT_EQ(map_->pool->totalSlots, 0);
  ExpectHolds(map_, {});
  AddAll(map_, {"again"});
  ExpectHolds(map_, {"again"});
}

TEST_F(HashMapTest, HolderAlwaysNamesTheMapOrNull) {
  Map* first = Make(16);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(map_, first);
  EXPECT_EQ(first->pool->registryNode->references, 1);

  Map* second = Make(16);  // frees the map the holder held, and with it its pool reference
  EXPECT_EQ(map_, second);
  Pool* pool = second->pool;
  EXPECT_EQ(pool->registryNode->references, 1);

  Map* other = nullptr;
  MapCreate(8, &other, 4);  // equal element size: the same shared pool
  EXPECT_EQ(other->pool, pool);
  EXPECT_EQ(pool->registryNode->references, 2);
  MapFree(other);
  EXPECT_EQ(other, nullptr);
  MapFree(nullptr);

  MapFree(map_);
  EXPECT_EQ(map_, nullptr);
}

}  // namespace
