// The class procedure of every runtime window: messages become events in the queue.
#include <windows.h>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/focus.h"
#include "gui/gadget.h"
#include "gui/message_events.h"
#include "gui/window.h"
#include "gui/window_internal_win32.h"
#include "gui/window_procedures_win32.h"
#include "gui/window_properties_win32.h"

namespace {

// The runtime window a message belongs to: the window itself or its nearest parent (or
// owner) carrying "QV_WindowID". During creation the property is not set yet.
struct FoundWindow {
  HWND window;
  ObjectId number;
  WindowRecord* record;
};

FoundWindow FindRuntimeWindow(HWND window) {
  for (HWND candidate = window; candidate != nullptr; candidate = GetParent(candidate)) {
    const auto value = reinterpret_cast<ObjectId>(GetPropA(candidate, PropertyWindowId));
    if (value != 0) {
      return {candidate, value - 1, static_cast<WindowRecord*>(ObjectGet(WindowTable, value - 1))};
    }
  }
  return {nullptr, -1, nullptr};
}

HWND ControlOfMessage(UINT message, LPARAM lParam) {
  if (message == WM_NOTIFY) return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
  return reinterpret_cast<HWND>(lParam);
}

BOOL CALLBACK SendSysColorChange(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

void RestoreFocus(HWND window) {
  auto* focus = static_cast<HWND>(GetPropA(window, PropertyFocus));
  if (focus != nullptr) SetFocus(focus);
}

void SaveFocusAndHideCues(HWND window) {
  SetPropA(window, PropertyFocus, GetFocus());
  FocusCues(reinterpret_cast<NativeHandle>(window), false);
}

void SetToolWindowMinimumWidth(HWND window, LPARAM lParam) {
  if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) return;
  reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = 1;
}

}  // namespace

LRESULT WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const FoundWindow found = FindRuntimeWindow(window);
  if (message == WM_COMMAND) {
    const LRESULT handled = GadgetForward(lParam, reinterpret_cast<NativeHandle>(window), message, wParam, lParam);
    if (handled != ResultNotHandled) return handled;
  }
  MessageFacts facts{};
  facts.message = message;
  facts.wParam = wParam;
  facts.lParam = lParam;
  facts.windowNumber = found.number;
  facts.hasRecord = found.record != nullptr;
  facts.isRecordsWindow = found.window == window;
  facts.sizeState = found.record != nullptr ? found.record->sizeState : 0;
  if (message == WM_COMMAND && lParam != 0) facts.controlId = GetWindowLongPtrA(reinterpret_cast<HWND>(lParam), GWLP_ID);

  const MessageOutcome outcome = MapWindowMessage(facts);
  if (found.record != nullptr) found.record->sizeState = outcome.sizeState;

  switch (outcome.step) {
    case MessageStep::RestoreFocus: RestoreFocus(window); break;
    case MessageStep::SaveFocusHideCues: SaveFocusAndHideCues(window); break;
    case MessageStep::BroadcastSysColor: EnumChildWindows(window, SendSysColorChange, 0); break;
    case MessageStep::ToolWindowMinTrack: SetToolWindowMinimumWidth(window, lParam); break;
    case MessageStep::ForwardToGadget:
      return GadgetForward(reinterpret_cast<NativeHandle>(ControlOfMessage(message, lParam)),
                           reinterpret_cast<NativeHandle>(window), message, wParam, lParam);
    case MessageStep::TabNext: TabNavigate(false); break;
    case MessageStep::TabPrevious: TabNavigate(true); break;
    case MessageStep::RemoveFocusProperty:
      RemovePropA(window, PropertyFocus);
      // WindowClose removes "QV_WindowID" before destroying; still finding it here means
      // the window went some other way.
      if (found.window == window) WindowDestroyedElsewhere(window, found.number);
      break;
    case MessageStep::None:
    case MessageStep::WakeEventLoop: break;
  }
  for (int i = 0; i < outcome.eventCount; ++i) {
    const PostedEvent& event = outcome.events[i];
    EventPostSimple(event.code, event.object, found.number, event.type);
  }
  // A tray icon's message may arrive while the loop waits for input: wake it.
  if (outcome.step == MessageStep::WakeEventLoop) PostMessageA(window, WM_NULL, 0, 0);
  return outcome.result;
}

// Registered with the wide call: the default procedure is the wide one.
LRESULT CALLBACK WindowClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = WindowMessageHandler(window, message, wParam, lParam);
  SetLastError(0);
  if (result == ResultNotHandled) return DefWindowProcW(window, message, wParam, lParam);
  return result;
}

LRESULT CallPreviousProcedure(LONG_PTR previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (previous == 0) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(previous), window, message, wParam, lParam);
}
