// The event loop and the window procedure driven by real window messages.
#include <windows.h>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/event_loop.h"
#include "gui/window.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

constexpr std::uint32_t SizableFlags = WS_OVERLAPPEDWINDOW;

HWND Open(ObjectId number, std::uint32_t flags = SizableFlags) {
  return reinterpret_cast<HWND>(WindowOpen(number, 100, 100, 200, 100, "events", flags));
}

using EventLoopTest = GuiTest;

TEST_F(EventLoopTest, QueuedEventsComeBeforeMessagesInOrder) {
  HWND window = Open(0);
  ASSERT_NE(window, nullptr);
  Settle();
  PostMessageA(window, WM_USER + 5, 0, 0);
  EventPostSimple(EventTimerTick, 1, 0, 0);
  EventPostSimple(EventTimerTick, 2, 0, 0);
  EXPECT_EQ(EventWait(), EventTimerTick);
  EXPECT_EQ(EventObject(), 1);
  EXPECT_EQ(EventWait(), EventTimerTick);
  EXPECT_EQ(EventObject(), 2);
  // Then the message, reported by its number.
  EXPECT_EQ(EventWait(), static_cast<std::int32_t>(WM_USER + 5));
}

TEST_F(EventLoopTest, TimedWaitsReturnZeroWithoutInput) {
  EXPECT_EQ(EventWaitTimeout(0), 0);
  const DWORD start = GetTickCount();
  EXPECT_EQ(EventWaitTimeout(100), 0);
  EXPECT_GE(GetTickCount() - start, 80u);
}

TEST_F(EventLoopTest, CloseBoxQueuesTheCloseEventAndLeavesTheWindowOpen) {
  HWND window = Open(4);
  ASSERT_NE(window, nullptr);
  Settle();
  // The close box of the caption: the system command the default procedure turns into WM_CLOSE.
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  std::vector<SeenEvent> seen;
  ASSERT_TRUE(PumpUntil(EventCloseWindow, &seen));
  EXPECT_EQ(seen.back(), (SeenEvent{EventCloseWindow, 4, 4, 0}));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(WindowHandle(4), reinterpret_cast<NativeHandle>(window));
}

TEST_F(EventLoopTest, MovingPostsTheMovedEvent) {
  HWND window = Open(2);
  Settle();
  SetWindowPos(window, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const std::vector<SeenEvent> moved = Only(FetchQueued(), {EventWindowMoved});
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(moved.front(), (SeenEvent{EventWindowMoved, 2, 2, 0}));
}

TEST_F(EventLoopTest, MinimiseRestoreMaximiseRestorePostTheirSizeEvents) {
  HWND window = Open(1);
  Settle();
  const std::vector<std::int32_t> sizeCodes = {EventWindowMinimized, EventWindowMaximized, EventWindowRestored,
                                               EventWindowSized};
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_EQ(Only(FetchQueued(), sizeCodes), (std::vector<SeenEvent>{{EventWindowMinimized, 1, 0, 0}}));
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(Only(FetchQueued(), sizeCodes),
            (std::vector<SeenEvent>{{EventWindowRestored, 1, 0, 0}, {EventWindowSized, 1, 0, 0}}));
  ShowWindow(window, SW_MAXIMIZE);
  EXPECT_EQ(Only(FetchQueued(), sizeCodes),
            (std::vector<SeenEvent>{{EventWindowMaximized, 1, 0, 0}, {EventWindowSized, 1, 0, 0}}));
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(Only(FetchQueued(), sizeCodes),
            (std::vector<SeenEvent>{{EventWindowRestored, 1, 0, 0}, {EventWindowSized, 1, 0, 0}}));
  // A plain resize of a normal window is only sized.
  SetWindowPos(window, nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Only(FetchQueued(), sizeCodes), (std::vector<SeenEvent>{{EventWindowSized, 1, 0, 0}}));
}

TEST_F(EventLoopTest, ActivationAndDeactivationPostTheirEvents) {
  HWND first = Open(0);
  HWND second = Open(1);
  Activate(first);
  SetForegroundWindow(second);
  SetActiveWindow(second);
  const std::vector<SeenEvent> seen = Only(PumpFor(300), {EventWindowActivated, EventWindowDeactivated});
  EXPECT_EQ(seen, (std::vector<SeenEvent>{{EventWindowDeactivated, 0, 0, 0}, {EventWindowActivated, 1, 0, 0}}));
}

TEST_F(EventLoopTest, ClicksInTheClientAreaPostClickEvents) {
  HWND window = Open(3);
  Settle();
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  PostMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  PostMessageA(window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
  const std::vector<SeenEvent> seen =
      Only(PumpFor(300), {EventClickLeft, EventClickRight, EventDoubleClickLeft});
  EXPECT_EQ(seen, (std::vector<SeenEvent>{
                      {EventClickLeft, 3, 0, 0}, {EventClickRight, 3, 0, 0}, {EventDoubleClickLeft, 3, 0, 0}}));
}

TEST_F(EventLoopTest, RealMouseClickReachesTheWindow) {
  HWND window = Open(3, WS_POPUP);
  Activate(window);
  POINT point{20, 20};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  std::vector<SeenEvent> seen;
  ASSERT_TRUE(PumpUntil(EventClickLeft, &seen));
  EXPECT_EQ(seen.back(), (SeenEvent{EventClickLeft, 3, 0, 0}));
}

TEST_F(EventLoopTest, TimerTicksCarryTheTimerIdentifier) {
  HWND window = Open(2);
  Settle();
  SetTimer(window, 77, 10, nullptr);
  std::vector<SeenEvent> seen;
  ASSERT_TRUE(PumpUntil(EventTimerTick, &seen));
  KillTimer(window, 77);
  EXPECT_EQ(seen.back(), (SeenEvent{EventTimerTick, 2, 77, 0}));
}

TEST_F(EventLoopTest, MenuCommandsAndTrayMessagesPostTheirEvents) {
  HWND window = Open(0);
  Settle();
  SendMessageA(window, WM_COMMAND, 42, 0);
  SendMessageA(window, TrayCallbackMessage, 9, WM_RBUTTONDOWN);
  EXPECT_EQ(Only(FetchQueued(), {EventMenuCommand, EventTrayIcon}),
            (std::vector<SeenEvent>{{EventMenuCommand, 0, 42, 0}, {EventTrayIcon, 0, 9, 1}}));
  // The tray message also wakes a waiting loop with WM_NULL.
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, window, WM_NULL, WM_NULL, PM_REMOVE));
}

TEST_F(EventLoopTest, ToolWindowMayBeNarrowedToOnePixel) {
  HWND window = Open(0, WindowToolFrame | WS_THICKFRAME);
  MINMAXINFO limits{};
  limits.ptMinTrackSize.x = 100;
  EXPECT_EQ(SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)), 0);
  EXPECT_EQ(limits.ptMinTrackSize.x, 1);
}

}  // namespace
