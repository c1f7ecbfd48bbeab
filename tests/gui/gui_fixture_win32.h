// Runs the runtime with the event queue, windows and gadget layer up, and reads the
// events that real window messages produce.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/object_table.h"
#include "tests/support/runtime_fixture.h"

struct SeenEvent {
  std::int32_t code;
  ObjectId window;
  ObjectId object;
  std::int32_t type;
  bool operator==(const SeenEvent& other) const {
    return code == other.code && window == other.window && object == other.object && type == other.type;
  }
};

void PrintTo(const SeenEvent& event, std::ostream* out);

class GuiTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override;
  std::vector<LibraryStep> ExtraEndSteps() override;
  void SetUp() override;

  // Events already queued, fetched without reading any window message.
  static std::vector<SeenEvent> FetchQueued();
  // Runs the event loop for a while and returns the window events it produced.
  static std::vector<SeenEvent> PumpFor(int milliseconds);
  // Runs the event loop until an event with this code arrives (or the time runs out).
  static bool PumpUntil(std::int32_t code, std::vector<SeenEvent>* seen, int milliseconds = 3000);
  // Reads and dispatches every waiting message and drops the events they post.
  static void Settle();
  // Only the events with the given codes, in order.
  static std::vector<SeenEvent> Only(const std::vector<SeenEvent>& events, std::vector<std::int32_t> codes);
  // Makes a window the foreground and active one, as a click on it would.
  static void Activate(HWND window);
};
