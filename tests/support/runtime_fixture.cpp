#include "tests/support/runtime_fixture.h"

#include "runtime/work_area.h"

void RuntimeTest::SetUp() {
  startOrder_ = {LibraryStep{"string work area", WorkAreaInit, WorkAreaReady}};
  for (const LibraryStep& step : ExtraStartSteps()) startOrder_.push_back(step);
  endOrder_ = ExtraEndSteps();
  program_ = ProgramDescription{nullptr, 0, startOrder_.data(), startOrder_.size(),
                                endOrder_.data(), endOrder_.size(), nullptr};
  ASSERT_TRUE(ProgramStartup(program_));
}

void RuntimeTest::TearDown() { ProgramShutdown(); }
