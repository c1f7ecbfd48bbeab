#include "gui/message_events.h"

#include "gui/event_codes.h"

using namespace window_messages;

namespace {

constexpr std::uintptr_t SizeRestored = 0;
constexpr std::uintptr_t SizeMinimized = 1;
constexpr std::uintptr_t SizeMaximized = 2;

std::uint32_t LowWord(std::uintptr_t value) { return static_cast<std::uint32_t>(value & 0xFFFF); }
std::uint32_t HighWord(std::uintptr_t value) { return static_cast<std::uint32_t>((value >> 16) & 0xFFFF); }

struct Outcome {
  MessageOutcome value;
  explicit Outcome(const MessageFacts& facts) : value{{}, 0, facts.sizeState, 0, MessageStep::None} {}
  Outcome& Post(std::int32_t code, ObjectId object = 0, std::int32_t type = 0) {
    value.events[value.eventCount++] = PostedEvent{code, object, type};
    return *this;
  }
  Outcome& Result(std::intptr_t result) {
    value.result = result;
    return *this;
  }
  Outcome& Step(MessageStep step) {
    value.step = step;
    return *this;
  }
};

MessageOutcome MapSize(const MessageFacts& facts) {
  Outcome out(facts);
  if (!facts.isRecordsWindow) return out.Result(1).value;
  switch (facts.wParam) {
    case SizeRestored:
      if (out.value.sizeState == 1) {
        out.value.sizeState = 0;
        out.Post(EventWindowRestored);
      }
      return out.Post(EventWindowSized).value;
    case SizeMinimized:
      out.value.sizeState = 1;
      return out.Post(EventWindowMinimized).value;
    case SizeMaximized:
      out.value.sizeState = 1;
      return out.Post(EventWindowMaximized).Post(EventWindowSized).value;
    default:
      return out.Post(EventWindowSized).value;
  }
}

// WM_COMMAND that no gadget kind handled: from a control, a menu or an accelerator.
MessageOutcome MapCommand(const MessageFacts& facts) {
  Outcome out(facts);
  const auto command = static_cast<ObjectId>(LowWord(facts.wParam));
  if (facts.lParam != 0) {
    if (facts.controlId == MenuCommandControlId) return out.Post(EventMenuCommand, command).value;
    return out.Post(EventGadgetAction, facts.controlId, static_cast<std::int32_t>(HighWord(facts.wParam))).value;
  }
  if (HighWord(facts.wParam) == 0) return out.Post(EventMenuCommand, static_cast<ObjectId>(facts.wParam)).value;
  if (command == CommandTabNext) return out.Step(MessageStep::TabNext).value;
  if (command == CommandTabPrevious) return out.Step(MessageStep::TabPrevious).value;
  return out.Post(EventMenuCommand, command).value;
}

}  // namespace

std::int32_t TrayIconType(std::intptr_t mouseMessage) {
  switch (mouseMessage) {
    case LeftButtonDown: return 0;
    case RightButtonDown: return 1;
    case LeftButtonDoubleClick: return 2;
    case RightButtonDoubleClick: return 3;
    default: return -1;
  }
}

MessageOutcome MapWindowMessage(const MessageFacts& facts) {
  Outcome out(facts);
  const bool ownRecord = facts.hasRecord && facts.isRecordsWindow;
  switch (facts.message) {
    case Close:
      if (ownRecord) out.Post(EventCloseWindow, facts.windowNumber);
      return out.value;
    case Move:
      if (ownRecord) out.Post(EventWindowMoved, facts.windowNumber);
      return out.value;
    case Size:
      return MapSize(facts);
    case Activate:
      if (LowWord(facts.wParam) != 0) return out.Post(EventWindowActivated).Step(MessageStep::RestoreFocus).Result(1).value;
      return out.Post(EventWindowDeactivated).Step(MessageStep::SaveFocusHideCues).Result(1).value;
    case EraseBackground:
      return out.Post(EventRedraw).Result(ResultNotHandled).value;
    case SysColorChange:
      if (facts.hasRecord) out.Step(MessageStep::BroadcastSysColor);
      return out.Result(ResultNotHandled).value;
    case GetMinMaxInfo:
      if (!facts.hasRecord) return out.Result(ResultNotHandled).value;
      return out.Step(MessageStep::ToolWindowMinTrack).value;
    case NcDestroy:
      return out.Step(MessageStep::RemoveFocusProperty).Result(1).value;
    case Command:
      return MapCommand(facts);
    case Timer:
      if (!facts.hasRecord) return out.Result(ResultNotHandled).value;
      return out.Post(EventTimerTick, static_cast<ObjectId>(facts.wParam)).value;
    case Notify:
    case HScroll:
    case VScroll:
    case CtlColorEdit:
    case CtlColorListBox:
    case CtlColorButton:
    case CtlColorStatic:
    case GadgetPrivate:
      return out.Step(MessageStep::ForwardToGadget).Result(ResultNotHandled).value;
    case LeftButtonUp:
      return out.Post(EventClickLeft).value;
    case LeftButtonDoubleClick:
      return out.Post(EventDoubleClickLeft).value;
    case RightButtonUp:
      return out.Post(EventClickRight).value;
    case TrayCallbackMessage: {
      const std::int32_t type = TrayIconType(facts.lParam);
      if (type >= 0) out.Post(EventTrayIcon, static_cast<ObjectId>(facts.wParam), type);
      return out.Step(MessageStep::WakeEventLoop).value;
    }
    default:
      return out.Result(ResultNotHandled).value;
  }
}
