#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/library_state.h"
#include "runtime/object_table.h"
#include "tests/support/runtime_fixture.h"

namespace {

struct TestRecord {
  std::intptr_t handle;
  int payload[6];
};

// A kind whose free routine follows the contract every kind's free routine keeps, and
// records the ids it was given.
ObjectTable* Table;
std::vector<ObjectId> FreedIds;

void TestFree(ObjectId id) {
  if (id == AllObjects) {
    ObjectFreeAll(Table);
    return;
  }
  if (ObjectGet(Table, id) == nullptr) return;
  FreedIds.push_back(id);
  ObjectRelease(Table, id);
}

void* CreateLive(ObjectId number, std::intptr_t handle) {
  void* record = ObjectNew(Table, number);
  if (record != nullptr) RecordLiveMarker(record) = handle;
  return record;
}

class ObjectTableTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    Table = ObjectTableCreate(sizeof(TestRecord), 16, TestFree);
    FreedIds.clear();
  }
};

TEST_F(ObjectTableTest, CreatedWithStepSlotsAllEmpty) {
  EXPECT_EQ(Table->capacity, 16);
  EXPECT_EQ(Table->recordSize, static_cast<std::int32_t>(sizeof(TestRecord)));
  for (ObjectId n = 0; n < 16; ++n) EXPECT_EQ(ObjectGet(Table, n), nullptr);
}

TEST_F(ObjectTableTest, NumberBeyondCapacityGrowsToNumberPlusStep) {
  ASSERT_NE(CreateLive(3, 33), nullptr);
  void* record = CreateLive(20, 7);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(Table->capacity, 36);
  for (ObjectId n = 16; n < 36; ++n) {
    if (n != 20) {
      EXPECT_EQ(Table->slots[n], nullptr) << n;
    }
  }
  EXPECT_EQ(ObjectGet(Table, 25), nullptr);
  EXPECT_EQ(ObjectGet(Table, 20), record);
  EXPECT_EQ(RecordLiveMarker(ObjectGet(Table, 3)), 33);  // earlier slots survive the growth
}

TEST_F(ObjectTableTest, ReleasedNumberIsReusedZeroed) {
  auto* record = static_cast<TestRecord*>(CreateLive(3, 99));
  record->payload[2] = 1234;
  ObjectRelease(Table, 3);
  EXPECT_EQ(ObjectGet(Table, 3), nullptr);
  auto* again = static_cast<TestRecord*>(ObjectNew(Table, 3));
  EXPECT_EQ(again, record);
  const TestRecord zero{};
  EXPECT_EQ(std::memcmp(again, &zero, sizeof zero), 0);
  EXPECT_TRUE(FreedIds.empty());  // nothing was live any more, so nothing was freed
}

TEST_F(ObjectTableTest, CreatingUnderALiveNumberFreesTheOldObjectFirst) {
  void* first = CreateLive(0, 11);
  void* second = ObjectNew(Table, 0);
  EXPECT_EQ(second, first);
  ASSERT_EQ(FreedIds, std::vector<ObjectId>{0});
  EXPECT_EQ(RecordLiveMarker(second), 0);
}

TEST_F(ObjectTableTest, IdsThatAreNotLiveGiveNullAndAreNeverRead) {
  void* dynamic = CreateLive(DynamicNumber, 5);
  const auto freedId = reinterpret_cast<ObjectId>(dynamic);
  ObjectRelease(Table, freedId);
  // Neither of these points at memory the table owns; ASan fails the test if one is read.
  int onStack = 1;
  const ObjectId values[] = {freedId, 16, 1000000, reinterpret_cast<ObjectId>(&onStack), 0};
  for (ObjectId value : values) {
    EXPECT_EQ(ObjectGet(Table, value), nullptr) << value;
    ObjectRelease(Table, value);
  }
  EXPECT_EQ(onStack, 1);
  EXPECT_EQ(Table->newestDynamic, nullptr);
}

TEST_F(ObjectTableTest, FreeAllGoesByAscendingNumberThenOldestDynamicFirst) {
  void* a = CreateLive(DynamicNumber, 1);
  CreateLive(7, 1);
  void* b = CreateLive(DynamicNumber, 1);
  CreateLive(2, 1);
  CreateLive(40, 1);
  ObjectNew(Table, 5);  // allocated but never made live: not freed
  TestFree(AllObjects);
  const std::vector<ObjectId> expected = {2, 7, 40, reinterpret_cast<ObjectId>(a), reinterpret_cast<ObjectId>(b)};
  EXPECT_EQ(FreedIds, expected);
  for (ObjectId n : {2, 7, 40}) EXPECT_EQ(ObjectGet(Table, n), nullptr);
  EXPECT_EQ(Table->newestDynamic, nullptr);
}

TEST_F(ObjectTableTest, FreeAllWithoutFreeRoutineDoesNothing) {
  ObjectTable* plain = ObjectTableCreate(sizeof(TestRecord), 4, nullptr);
  void* record = ObjectNew(plain, 1);
  RecordLiveMarker(record) = 8;
  ObjectFreeAll(plain);
  EXPECT_EQ(ObjectGet(plain, 1), record);
}

TEST_F(ObjectTableTest, NegativeNumbersOtherThanDynamicAreRefused) {
  EXPECT_EQ(ObjectNew(Table, -2), nullptr);
  EXPECT_EQ(Table->capacity, 16);
}

TEST_F(ObjectTableTest, NodeListRemovesFromEveryPosition) {
  NodeList head = nullptr;
  std::vector<int*> elements;
  for (int i = 0; i < 4; ++i) {
    auto* element = static_cast<int*>(NodeListAdd(&head, sizeof(NodeLinks) + sizeof(int)));
    *element = i;
    elements.push_back(element);
  }
  NodeListRemove(&head, elements[1]);  // middle
  NodeListRemove(&head, elements[3]);  // newest
  NodeListRemove(&head, elements[0]);  // oldest
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(*static_cast<int*>(NodeElement(head)), 2);
  EXPECT_EQ(head->older, nullptr);
  EXPECT_EQ(head->newer, nullptr);
  NodeListRemove(&head, elements[2]);
  EXPECT_EQ(head, nullptr);
}

TEST_F(ObjectTableTest, LibraryStateIsZeroFilledAndInitialised) {
  static int initCalls;
  initCalls = 0;
  auto* block = static_cast<int*>(LibraryStateCreate(64, [](void* b) {
    ++initCalls;
    EXPECT_EQ(static_cast<int*>(b)[15], 0);
    static_cast<int*>(b)[0] = 42;
  }, nullptr));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(initCalls, 1);
  EXPECT_EQ(static_cast<int*>(LibraryState(block))[0], 42);
}

}  // namespace
