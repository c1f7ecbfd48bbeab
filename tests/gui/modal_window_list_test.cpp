#include <gtest/gtest.h>

#include <vector>

#include "gui/modal_window_list.h"
#include "tests/support/runtime_fixture.h"

namespace {

class ModalWindowListTest : public RuntimeTest {
 protected:
  NodeList list_ = nullptr;

  std::vector<NativeHandle> Close(std::uint32_t thread) {
    std::vector<NativeHandle> visited;
    ModalBoxClose(&list_, thread, [&](ModalWindowEntry* entry) { visited.push_back(entry->window); });
    return visited;
  }
  std::vector<NativeHandle> Visit(std::uint32_t thread) {
    std::vector<NativeHandle> visited;
    ModalBoxVisit(list_, thread, [&](ModalWindowEntry* entry) { visited.push_back(entry->window); });
    return visited;
  }
  void AddBox(std::uint32_t thread, std::vector<NativeHandle> windows) {
    ASSERT_TRUE(ModalBoxOpen(&list_, thread));
    for (NativeHandle window : windows) ASSERT_NE(ModalEntryAdd(&list_, thread, window), nullptr);
  }
};

TEST_F(ModalWindowListTest, NewEntryHasItsThreadAndNoFlags) {
  ASSERT_TRUE(ModalBoxOpen(&list_, 7));
  ModalWindowEntry* entry = ModalEntryAdd(&list_, 7, 0x1234);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->thread, 7u);
  EXPECT_EQ(entry->window, 0x1234);
  EXPECT_EQ(entry->wasTopmost, 0);
  EXPECT_EQ(entry->disabledHere, 0);
}

TEST_F(ModalWindowListTest, BoxIsWalkedNewestFirstAndEmptiedByClose) {
  AddBox(1, {10, 11, 12});
  EXPECT_EQ(Visit(1), (std::vector<NativeHandle>{12, 11, 10}));
  EXPECT_EQ(Close(1), (std::vector<NativeHandle>{12, 11, 10}));
  EXPECT_EQ(list_, nullptr);
}

TEST_F(ModalWindowListTest, InnerBoxOfSameThreadClosesOnlyItsOwnEntries) {
  AddBox(1, {10, 11});
  AddBox(1, {20});
  EXPECT_EQ(Visit(1), (std::vector<NativeHandle>{20}));
  EXPECT_EQ(Close(1), (std::vector<NativeHandle>{20}));
  EXPECT_EQ(Visit(1), (std::vector<NativeHandle>{11, 10}));
  EXPECT_EQ(Close(1), (std::vector<NativeHandle>{11, 10}));
  EXPECT_EQ(list_, nullptr);
}

TEST_F(ModalWindowListTest, InnerBoxWithoutWindowsLeavesOuterBoxAlone) {
  AddBox(1, {10});
  AddBox(1, {});
  EXPECT_TRUE(Close(1).empty());
  EXPECT_EQ(Close(1), (std::vector<NativeHandle>{10}));
}

TEST_F(ModalWindowListTest, EntriesOfOtherThreadsAreSkippedAndKept) {
  AddBox(1, {10});
  AddBox(2, {30, 31});
  ASSERT_NE(ModalEntryAdd(&list_, 1, 11), nullptr);  // thread 1's box goes on recording
  EXPECT_EQ(Close(1), (std::vector<NativeHandle>{11, 10}));
  EXPECT_EQ(Close(2), (std::vector<NativeHandle>{31, 30}));
  EXPECT_EQ(list_, nullptr);
}

TEST_F(ModalWindowListTest, CloseWithoutBoxTouchesNothingOfOtherThreads) {
  AddBox(2, {30});
  EXPECT_TRUE(Close(1).empty());
  EXPECT_EQ(Visit(2), (std::vector<NativeHandle>{30}));
}

}  // namespace
