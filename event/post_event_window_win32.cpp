// The hidden window of class "PostEventClass" and the registered message
// "QV_PostEventMessage": Windows delivers the message to this window's procedure on the
// thread that made it, which queues the event that the message carries.
#include "event/post_event_window_win32.h"

#include "event/event_node.h"
#include "event/post_event_window.h"
#include "runtime/heaps.h"

namespace {

const char* const ClassName = "PostEventClass";
const char* const MessageName = "QV_PostEventMessage";
// COLOR_BTNFACE + 1 as a brush value.
constexpr INT_PTR BackgroundBrush = 16;

HWND Window;
UINT PostMessageNumber;

void QueueHandedOverEvent(LPARAM lParam) {
  auto* block = reinterpret_cast<EventQueueNode*>(lParam);
  if (block == nullptr) return;
  // Queued even while posting is suspended, and dispatched at once.
  EventPost(block->code, block->object, block->window, block->type, block->data, nullptr,
            EventPostWhileSuspended);
  MainHeapFree(block);
}

LRESULT CALLBACK PostEventWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (PostMessageNumber != 0 && message == PostMessageNumber) QueueHandedOverEvent(lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void PostEventWindowCreate() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(InstanceHandle);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = PostEventWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(BackgroundBrush);
  windowClass.lpszClassName = ClassName;
  RegisterClassA(&windowClass);  // fails harmlessly when an earlier start registered it
  Window = CreateWindowExA(0, ClassName, nullptr, WS_CAPTION, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  PostMessageNumber = RegisterWindowMessageA(MessageName);
}

void PostEventWindowDestroy() {
  if (Window != nullptr) DestroyWindow(Window);
  Window = nullptr;
}

HWND PostEventWindowHandle() { return Window; }
UINT PostEventMessageNumber() { return PostMessageNumber; }
