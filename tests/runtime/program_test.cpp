#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/heaps.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

std::vector<std::string> Calls;
int SomeGlobal[4];
bool HeapsSeenAtStart;

void FirstInit() {
  HeapsSeenAtStart = MainHeap != 0 && StringHeap != 0 && InstanceHandle != 0;
  Calls.push_back("init first");
}
void SecondInit() { Calls.push_back("init second"); }
void FirstEnd() { Calls.push_back(MainHeap != 0 && StringHeap != 0 ? "end first" : "end first without heaps"); }
void SecondEnd() { Calls.push_back("end second"); }
void Application() { Calls.push_back("application"); }
bool NotReady() { return false; }

const GlobalBlock Globals[] = {{SomeGlobal, sizeof SomeGlobal}};
const LibraryStep StartOrder[] = {{"work area", WorkAreaInit, WorkAreaReady}, {"first", FirstInit}, {"second", SecondInit}};
const LibraryStep EndOrder[] = {{"first", FirstEnd}, {"second", SecondEnd}};

TEST(ProgramTest, StartsInOrderWithGlobalsClearedAndEndsInOrder) {
  Calls.clear();
  SomeGlobal[0] = SomeGlobal[3] = 77;
  const ProgramDescription program{Globals, 1, StartOrder, 3, EndOrder, 2, Application};
  ASSERT_TRUE(ProgramStartup(program));
  EXPECT_EQ(SomeGlobal[0], 0);
  EXPECT_EQ(SomeGlobal[3], 0);
  EXPECT_TRUE(HeapsSeenAtStart);
  EXPECT_EQ(WorkAreaCapacity, 16);
  ProgramShutdown();
  EXPECT_EQ(Calls, (std::vector<std::string>{"init first", "init second", "end first", "end second"}));
  EXPECT_EQ(MainHeap, 0);
  EXPECT_EQ(StringHeap, 0);
}

TEST(ProgramTest, LibraryNotReadyStopsStartUpAndTakesDownWhatStarted) {
  Calls.clear();
  const LibraryStep failing[] = {{"work area", WorkAreaInit, WorkAreaReady}, {"first", FirstInit, NotReady},
                                 {"second", SecondInit}};
  const ProgramDescription program{nullptr, 0, failing, 3, EndOrder, 2, Application};
  EXPECT_FALSE(ProgramStartup(program));
  EXPECT_EQ(Calls, (std::vector<std::string>{"init first", "end first", "end second"}));
  EXPECT_EQ(MainHeap, 0);
  EXPECT_EQ(StringHeap, 0);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
[[noreturn]] void ApplicationThatReturns() {
  Calls.push_back("application");
  ProgramEnd();
}

TEST(ProgramDeathTest, EntryRunsTheApplicationAndEndsWithExitCodeZero) {
  const ProgramDescription program{Globals, 1, StartOrder, 3, EndOrder, 2, ApplicationThatReturns};
  EXPECT_EXIT(ProgramEntry(program), ::testing::ExitedWithCode(0), "");
}

TEST(ProgramDeathTest, EntryEndsWhenTheApplicationReturnsWithoutProgramEnd) {
  const ProgramDescription program{Globals, 1, StartOrder, 3, EndOrder, 2, Application};
  EXPECT_EXIT(ProgramEntry(program), ::testing::ExitedWithCode(0), "");
}

TEST(ProgramDeathTest, HeapThatCannotBeMadeEndsTheProgramWithItsOwnCode) {
  const LibraryStep failing[] = {{"work area", WorkAreaInit, NotReady}};
  const ProgramDescription program{nullptr, 0, failing, 1, EndOrder, 2, Application};
  EXPECT_EXIT(ProgramEntry(program), ::testing::ExitedWithCode(ExitCodeNoHeap), "");
}
#endif

}  // namespace
