#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/atomics.h"
#include "runtime/run_once.h"

namespace {

std::atomic<int> RoutineRuns;
std::atomic<bool> RoutineFinished;

void SlowRoutine() {
  RoutineRuns.fetch_add(1);
  // Long enough that the other threads arrive while it runs.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  RoutineFinished.store(true);
}

using RunOnceForm = void (*)(RunOnceState*, RunOnceRoutine);

struct FormCase {
  const char* name;
  RunOnceForm form;
};

class RunOnceTest : public ::testing::TestWithParam<FormCase> {
 protected:
  void SetUp() override {
    RoutineRuns = 0;
    RoutineFinished = false;
  }
};

TEST_P(RunOnceTest, RacingThreadsRunTheRoutineOnceAndAllWaitForIt) {
  RunOnceState state{};
  const RunOnceForm form = GetParam().form;
  std::atomic<bool> go{false};
  std::atomic<int> sawUnfinished{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      while (!go.load()) std::this_thread::yield();
      form(&state, SlowRoutine);
      if (!RoutineFinished.load()) sawUnfinished.fetch_add(1);
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(RoutineRuns.load(), 1);
  EXPECT_EQ(sawUnfinished.load(), 0);

  form(&state, SlowRoutine);  // called again after it ran: nothing
  EXPECT_EQ(RoutineRuns.load(), 1);
}

TEST_P(RunOnceTest, SeparateStatesRunSeparately) {
  RunOnceState first{}, second{};
  GetParam().form(&first, SlowRoutine);
  GetParam().form(&second, SlowRoutine);
  GetParam().form(&first, SlowRoutine);
  EXPECT_EQ(RoutineRuns.load(), 2);
}

INSTANTIATE_TEST_SUITE_P(Forms, RunOnceTest,
                         ::testing::Values(FormCase{"RunOnce", RunOnce},
                                           FormCase{"CompareExchange", RunOnceByCompareExchange}),
                         [](const ::testing::TestParamInfo<FormCase>& param) { return param.param.name; });

TEST(AtomicsTest, ExchangeAndCompareExchangeReturnThePreviousValue) {
  volatile std::int32_t word = 5;
  EXPECT_EQ(AtomicExchange(&word, 9), 5);
  EXPECT_EQ(word, 9);
  EXPECT_EQ(AtomicCompareExchange(&word, 1, 7), 9);  // expected differs: unchanged
  EXPECT_EQ(word, 9);
  EXPECT_EQ(AtomicCompareExchange(&word, 1, 9), 9);
  EXPECT_EQ(word, 1);
}

}  // namespace
