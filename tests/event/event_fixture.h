// Starts the event library with the runtime around each test, and records what bound
// callbacks see of the current event.
#pragma once

#include <string>
#include <vector>

#include "event/event_bindings.h"
#include "event/event_queue.h"
#include "tests/support/runtime_fixture.h"

class EventTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override { return {LibraryStep{"event queue", EventInit}}; }
  std::vector<LibraryStep> ExtraEndSteps() override { return {LibraryStep{"event queue", EventEnd}}; }
  void SetUp() override {
    Seen().clear();
    RuntimeTest::SetUp();
  }

 public:
  // One line per callback run: "<callback name> <code>:<window>:<object>:<type>".
  static std::vector<std::string>& Seen() {
    static std::vector<std::string> seen;
    return seen;
  }
  static void Record(const char* name, std::int32_t code) {
    Seen().push_back(std::string(name) + " " + std::to_string(code) + ":" + std::to_string(EventWindow()) + ":" +
                     std::to_string(EventObject()) + ":" + std::to_string(EventType()));
  }
};
