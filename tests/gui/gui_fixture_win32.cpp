#include "tests/gui/gui_fixture_win32.h"

#include <algorithm>
#include <ostream>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/event_loop.h"
#include "gui/gadget.h"
#include "gui/window.h"

void PrintTo(const SeenEvent& event, std::ostream* out) {
  *out << "{code " << event.code << ", window " << event.window << ", object " << event.object << ", type "
       << event.type << "}";
}

namespace {
bool IsWindowEvent(std::int32_t code) { return code >= EventGadgetAction && code <= EventWindowSized; }
SeenEvent Current(std::int32_t code) { return SeenEvent{code, EventWindow(), EventObject(), EventType()}; }
}  // namespace

std::vector<LibraryStep> GuiTest::ExtraStartSteps() {
  return {{"event queue", EventInit}, {"windows", WindowInit}, {"gadget layer", GadgetInit}};
}

std::vector<LibraryStep> GuiTest::ExtraEndSteps() { return {{"windows", WindowEnd}, {"event queue", EventEnd}}; }

void GuiTest::SetUp() {
  RuntimeTest::SetUp();
  Settle();
}

std::vector<SeenEvent> GuiTest::FetchQueued() {
  std::vector<SeenEvent> seen;
  for (std::int32_t code = EventFetch(); code != 0; code = EventFetch()) seen.push_back(Current(code));
  return seen;
}

std::vector<SeenEvent> GuiTest::PumpFor(int milliseconds) {
  std::vector<SeenEvent> seen;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
    const std::int32_t code = EventWaitTimeout(10);
    if (IsWindowEvent(code)) seen.push_back(Current(code));
  }
  return seen;
}

bool GuiTest::PumpUntil(std::int32_t wanted, std::vector<SeenEvent>* seen, int milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
    const std::int32_t code = EventWaitTimeout(10);
    if (IsWindowEvent(code)) seen->push_back(Current(code));
    if (code == wanted) return true;
  }
  return false;
}

void GuiTest::Settle() {
  // Wine delivers some messages of the X server a little later: wait until it is quiet.
  int quiet = 0;
  while (quiet < 3) quiet = EventWaitTimeout(20) == 0 ? quiet + 1 : 0;
}

std::vector<SeenEvent> GuiTest::Only(const std::vector<SeenEvent>& events, std::vector<std::int32_t> codes) {
  std::vector<SeenEvent> kept;
  for (const SeenEvent& event : events) {
    if (std::find(codes.begin(), codes.end(), event.code) != codes.end()) kept.push_back(event);
  }
  return kept;
}

void GuiTest::Activate(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  Settle();
}
