#include <gtest/gtest.h>

#include <vector>

#include "gui/event_codes.h"
#include "gui/message_events.h"

namespace {

using namespace window_messages;

// A message to window 3, which has a record and is the window found.
MessageFacts ToWindow3(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
  return MessageFacts{message, wParam, lParam, 3, true, true, 0, 0};
}

struct Expected {
  std::int32_t code;
  ObjectId object;
  std::int32_t type;
};

struct MessageCase {
  const char* name;
  MessageFacts facts;
  std::vector<Expected> events;
  std::intptr_t result;
  MessageStep step;
  std::int32_t sizeState;
};

MessageFacts With(MessageFacts facts, bool hasRecord, bool isRecordsWindow, std::int32_t sizeState = 0) {
  facts.hasRecord = hasRecord;
  facts.isRecordsWindow = isRecordsWindow;
  facts.sizeState = sizeState;
  if (!hasRecord && !isRecordsWindow) facts.windowNumber = -1;
  return facts;
}

MessageFacts FromControl(std::uintptr_t wParam, std::intptr_t controlId) {
  MessageFacts facts = ToWindow3(Command, wParam, 0x1234);
  facts.controlId = controlId;
  return facts;
}

const std::vector<MessageCase>& Cases() {
  static const std::vector<MessageCase> cases = {
      {"close posts the window's number", ToWindow3(Close), {{EventCloseWindow, 3, 0}}, 0, MessageStep::None, 0},
      {"close of a child posts nothing", With(ToWindow3(Close), true, false), {}, 0, MessageStep::None, 0},
      {"close without record posts nothing", With(ToWindow3(Close), false, false), {}, 0, MessageStep::None, 0},
      {"move posts the window's number", ToWindow3(Move), {{EventWindowMoved, 3, 0}}, 0, MessageStep::None, 0},
      {"restore while normal: sized only", ToWindow3(Size, 0), {{EventWindowSized, 0, 0}}, 0, MessageStep::None, 0},
      {"restore from min or max: restored, sized", With(ToWindow3(Size, 0), true, true, 1),
       {{EventWindowRestored, 0, 0}, {EventWindowSized, 0, 0}}, 0, MessageStep::None, 0},
      {"minimize: minimized alone", ToWindow3(Size, 1), {{EventWindowMinimized, 0, 0}}, 0, MessageStep::None, 1},
      {"maximize: maximized, sized", ToWindow3(Size, 2), {{EventWindowMaximized, 0, 0}, {EventWindowSized, 0, 0}}, 0,
       MessageStep::None, 1},
      {"other size kinds: sized", With(ToWindow3(Size, 4), true, true, 1), {{EventWindowSized, 0, 0}}, 0,
       MessageStep::None, 1},
      {"size of another window: result 1", With(ToWindow3(Size, 0), true, false), {}, 1, MessageStep::None, 0},
      {"activation restores focus", ToWindow3(Activate, 1), {{EventWindowActivated, 0, 0}}, 1, MessageStep::RestoreFocus,
       0},
      {"click activation counts too", ToWindow3(Activate, 0x00010002), {{EventWindowActivated, 0, 0}}, 1,
       MessageStep::RestoreFocus, 0},
      {"deactivation saves focus", ToWindow3(Activate, 0x00010000), {{EventWindowDeactivated, 0, 0}}, 1,
       MessageStep::SaveFocusHideCues, 0},
      {"erase background: redraw, default erase", ToWindow3(EraseBackground), {{EventRedraw, 0, 0}}, ResultNotHandled,
       MessageStep::None, 0},
      {"system colours reach descendants", ToWindow3(SysColorChange), {}, ResultNotHandled,
       MessageStep::BroadcastSysColor, 0},
      {"system colours without record", With(ToWindow3(SysColorChange), false, false), {}, ResultNotHandled,
       MessageStep::None, 0},
      {"min-max info with record", ToWindow3(GetMinMaxInfo), {}, 0, MessageStep::ToolWindowMinTrack, 0},
      {"min-max info without record", With(ToWindow3(GetMinMaxInfo), false, false), {}, ResultNotHandled,
       MessageStep::None, 0},
      {"notify goes to the gadget", ToWindow3(Notify), {}, ResultNotHandled, MessageStep::ForwardToGadget, 0},
      {"control colours go to the gadget", ToWindow3(CtlColorStatic), {}, ResultNotHandled,
       MessageStep::ForwardToGadget, 0},
      {"gadget private message", ToWindow3(GadgetPrivate), {}, ResultNotHandled, MessageStep::ForwardToGadget, 0},
      {"final destroy drops the focus property", ToWindow3(NcDestroy), {}, 1, MessageStep::RemoveFocusProperty, 0},
      {"timer posts its identifier", ToWindow3(Timer, 77), {{EventTimerTick, 77, 0}}, 0, MessageStep::None, 0},
      {"timer without record is left alone", With(ToWindow3(Timer, 77), false, false), {}, ResultNotHandled,
       MessageStep::None, 0},
      {"left click", ToWindow3(LeftButtonUp), {{EventClickLeft, 0, 0}}, 0, MessageStep::None, 0},
      {"left double click", ToWindow3(LeftButtonDoubleClick), {{EventDoubleClickLeft, 0, 0}}, 0, MessageStep::None, 0},
      {"right click", ToWindow3(RightButtonUp), {{EventClickRight, 0, 0}}, 0, MessageStep::None, 0},
      {"left button down is not an event", ToWindow3(LeftButtonDown), {}, ResultNotHandled, MessageStep::None, 0},
      {"tray right button", ToWindow3(TrayCallbackMessage, 9, RightButtonDown), {{EventTrayIcon, 9, 1}}, 0,
       MessageStep::WakeEventLoop, 0},
      {"tray mouse move wakes only", ToWindow3(TrayCallbackMessage, 9, 0x200), {}, 0, MessageStep::WakeEventLoop, 0},
      {"control notification", FromControl(0x00050007, 7), {{EventGadgetAction, 7, 5}}, 0, MessageStep::None, 0},
      {"control with id 0", FromControl(0x00000000, 0), {{EventGadgetAction, 0, 0}}, 0, MessageStep::None, 0},
      {"control with the menu identifier", FromControl(0x0001002A, MenuCommandControlId), {{EventMenuCommand, 42, 0}},
       0, MessageStep::None, 0},
      {"menu command", ToWindow3(Command, 0x0000002A), {{EventMenuCommand, 42, 0}}, 0, MessageStep::None, 0},
      {"Tab accelerator", ToWindow3(Command, 0x0001FA01), {}, 0, MessageStep::TabNext, 0},
      {"Shift+Tab accelerator", ToWindow3(Command, 0x0001FA02), {}, 0, MessageStep::TabPrevious, 0},
      {"another accelerator", ToWindow3(Command, 0x00010063), {{EventMenuCommand, 99, 0}}, 0, MessageStep::None, 0},
      {"Tab command from a menu is a menu command", ToWindow3(Command, 0x0000FA01), {{EventMenuCommand, 64001, 0}}, 0,
       MessageStep::None, 0},
      {"unknown message", ToWindow3(0x0400), {}, ResultNotHandled, MessageStep::None, 0},
  };
  return cases;
}

TEST(MessageEventsTest, MapsEveryMessageOfTheTable) {
  for (const MessageCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const MessageOutcome outcome = MapWindowMessage(c.facts);
    ASSERT_EQ(outcome.eventCount, static_cast<int>(c.events.size()));
    for (int i = 0; i < outcome.eventCount; ++i) {
      EXPECT_EQ(outcome.events[i].code, c.events[i].code);
      EXPECT_EQ(outcome.events[i].object, c.events[i].object);
      EXPECT_EQ(outcome.events[i].type, c.events[i].type);
    }
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.step, c.step);
    EXPECT_EQ(outcome.sizeState, c.sizeState);
  }
}

TEST(MessageEventsTest, TrayIconTypesFollowTheMouseMessage) {
  EXPECT_EQ(TrayIconType(LeftButtonDown), 0);
  EXPECT_EQ(TrayIconType(RightButtonDown), 1);
  EXPECT_EQ(TrayIconType(LeftButtonDoubleClick), 2);
  EXPECT_EQ(TrayIconType(RightButtonDoubleClick), 3);
  EXPECT_EQ(TrayIconType(LeftButtonUp), -1);
}

TEST(MessageEventsTest, ResultNotHandledIsTheRuntimesMarker) {
  EXPECT_EQ(static_cast<std::uint32_t>(ResultNotHandled), 0xD0D0D0D1u);
}

}  // namespace
