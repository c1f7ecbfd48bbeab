#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "event/event_node.h"
#include "event/post_event_window_win32.h"
#include "runtime/heaps.h"
#include "tests/event/event_fixture.h"

namespace {

class PostEventWindowTest : public EventTest {};

void OnHandedOver() { EventTest::Record("handed-over", 13105); }

// What another thread sends: a MainHeap block laid out as a queue node.
EventQueueNode* MakeBlock(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, std::intptr_t data) {
  auto* block = static_cast<EventQueueNode*>(MainHeapAllocZero(sizeof(EventQueueNode)));
  block->code = code;
  block->object = object;
  block->window = window;
  block->type = type;
  block->data = data;
  return block;
}

// Runs this thread's messages until the queue has an event or time is up.
std::int32_t PumpUntilEvent() {
  for (int attempt = 0; attempt < 200; ++attempt) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (std::int32_t code = EventFetch()) return code;
    Sleep(10);
  }
  return 0;
}

TEST_F(PostEventWindowTest, HiddenWindowIsMadeAsDescribed) {
  HWND window = PostEventWindowHandle();
  ASSERT_NE(window, nullptr);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "PostEventClass");
  WNDCLASSA windowClass = {};
  ASSERT_TRUE(GetClassInfoA(reinterpret_cast<HINSTANCE>(InstanceHandle), "PostEventClass", &windowClass));
  EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(windowClass.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(PostEventMessageNumber(), RegisterWindowMessageA("QV_PostEventMessage"));
  EXPECT_NE(PostEventMessageNumber(), 0u);
}

TEST_F(PostEventWindowTest, BlockPostedToTheWindowArrivesAsAnEventAlsoWhileSuspended) {
  ASSERT_TRUE(EventBind(13105, 4, -1, -1, OnHandedOver));
  for (bool suspended : {false, true}) {
    Seen().clear();
    if (suspended) EventSuspend();
    ASSERT_TRUE(PostMessageA(PostEventWindowHandle(), PostEventMessageNumber(), 0,
                             reinterpret_cast<LPARAM>(MakeBlock(13105, 9, 4, 2, 77))));
    EXPECT_EQ(PumpUntilEvent(), 13105) << suspended;
    EXPECT_EQ(EventWindow(), 4);
    EXPECT_EQ(EventObject(), 9);
    EXPECT_EQ(EventType(), 2);
    EXPECT_EQ(EventData(), 77);
    EXPECT_EQ(Seen().size(), 1u) << suspended;  // dispatched as it was queued
    if (suspended) EventResume();
  }
}

TEST_F(PostEventWindowTest, AnotherThreadHandsAnEventOver) {
  HWND window = PostEventWindowHandle();
  UINT message = PostEventMessageNumber();
  EventQueueNode* block = MakeBlock(13107, 1, 0, 0, 0);
  std::thread sender([=] { PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(block)); });
  sender.join();
  EXPECT_EQ(PumpUntilEvent(), 13107);
}

TEST_F(PostEventWindowTest, EndDestroysTheWindow) {
  HWND window = PostEventWindowHandle();
  EventEnd();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(PostEventWindowHandle(), nullptr);
}

}  // namespace
