// The event loop: queued events first, otherwise one window message.
#include <windows.h>

#include "event/event_queue.h"
#include "gui/event_loop.h"
#include "gui/focus.h"

namespace {

// QS_ALLINPUT | QS_ALLPOSTMESSAGE as they stood before touch and pointer input.
constexpr DWORD AnyInput = 0x5FF;
constexpr UINT RemoveWithoutYield = PM_REMOVE | PM_NOYIELD;

// Reads one message for any window of the thread; false when a timed wait found none.
bool ReadMessage(MSG* message, std::int32_t milliseconds) {
  if (milliseconds == -1) {
    // WM_QUIT is processed like any other message.
    GetMessageW(message, nullptr, 0, 0);
    return true;
  }
  if (PeekMessageW(message, nullptr, 0, 0, RemoveWithoutYield)) return true;
  if (milliseconds == 0) return false;
  if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), AnyInput) == WAIT_TIMEOUT) {
    return false;
  }
  return PeekMessageW(message, nullptr, 0, 0, RemoveWithoutYield) != 0;
}

}  // namespace

std::int32_t EventWaitTimeout(std::int32_t milliseconds) {
  const std::int32_t queued = EventFetch();
  if (queued != 0) return queued;
  MSG message{};
  if (!ReadMessage(&message, milliseconds)) return 0;
  HWND active = GetActiveWindow();
  auto table = reinterpret_cast<HACCEL>(AcceleratorFor(reinterpret_cast<NativeHandle>(active)));
  if (table != nullptr && TranslateAcceleratorW(active, table, &message)) {
    // Keyboard navigation makes the focus visible.
    if (active != nullptr) FocusCues(reinterpret_cast<NativeHandle>(active), true);
  } else {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<std::int32_t>(message.message);
}

std::int32_t EventWait() { return EventWaitTimeout(-1); }
