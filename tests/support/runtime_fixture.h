// Brings the runtime up around each test: the work area and MainHeap, plus whatever
// libraries a test suite adds to the start and end orders.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "runtime/program.h"

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Libraries a suite starts after the work area, and ends in the given order.
  virtual std::vector<LibraryStep> ExtraStartSteps() { return {}; }
  virtual std::vector<LibraryStep> ExtraEndSteps() { return {}; }

 private:
  std::vector<LibraryStep> startOrder_;
  std::vector<LibraryStep> endOrder_;
  ProgramDescription program_{};
};
