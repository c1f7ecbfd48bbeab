// What the window procedure makes of a message: the events to post, the new size state,
// the result, and which platform-side step (if any) the message still needs. Pure; the
// Win32 handler supplies the facts and carries out the step.
#pragma once

#include <cstdint>

#include "runtime/object_table.h"

namespace window_messages {
constexpr std::uint32_t Move = 0x0003;
constexpr std::uint32_t Size = 0x0005;
constexpr std::uint32_t Activate = 0x0006;
constexpr std::uint32_t Close = 0x0010;
constexpr std::uint32_t EraseBackground = 0x0014;
constexpr std::uint32_t SysColorChange = 0x0015;
constexpr std::uint32_t GetMinMaxInfo = 0x0024;
constexpr std::uint32_t Notify = 0x004E;
constexpr std::uint32_t NcDestroy = 0x0082;
constexpr std::uint32_t Command = 0x0111;
constexpr std::uint32_t Timer = 0x0113;
constexpr std::uint32_t HScroll = 0x0114;
constexpr std::uint32_t VScroll = 0x0115;
constexpr std::uint32_t CtlColorEdit = 0x0133;
constexpr std::uint32_t CtlColorListBox = 0x0134;
constexpr std::uint32_t CtlColorButton = 0x0135;
constexpr std::uint32_t CtlColorStatic = 0x0138;
constexpr std::uint32_t LeftButtonDown = 0x0201;
constexpr std::uint32_t LeftButtonUp = 0x0202;
constexpr std::uint32_t LeftButtonDoubleClick = 0x0203;
constexpr std::uint32_t RightButtonDown = 0x0204;
constexpr std::uint32_t RightButtonUp = 0x0205;
constexpr std::uint32_t RightButtonDoubleClick = 0x0206;
constexpr std::uint32_t GadgetPrivate = 0x3340;  // 13120, offered to the gadget's kind
}  // namespace window_messages

// The control identifier that makes a control's WM_COMMAND a menu command.
constexpr std::intptr_t MenuCommandControlId = -10000;

// What the Win32 side knows about a message when it asks for the mapping.
struct MessageFacts {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  ObjectId windowNumber;   // of the nearest window carrying "QV_WindowID", -1 when none
  bool hasRecord;          // that number has an open window
  bool isRecordsWindow;    // the message is for that window itself (not a child or owned one)
  std::int32_t sizeState;  // the record's size state (0 without record)
  std::intptr_t controlId; // WM_COMMAND from a control: the control's identifier
};

// Platform-side steps some messages need besides their events.
enum class MessageStep {
  None,
  RestoreFocus,          // WM_ACTIVATE, activation: focus the control in "QV_Focus"
  SaveFocusHideCues,     // WM_ACTIVATE, deactivation: remember the focus, hide the cues
  BroadcastSysColor,     // send WM_SYSCOLORCHANGE to every descendant
  ToolWindowMinTrack,    // minimum tracking width 1 for a tool window
  ForwardToGadget,       // offer the message to the gadget named by the NMHDR or lParam
  TabNext,
  TabPrevious,
  RemoveFocusProperty,   // WM_NCDESTROY
  WakeEventLoop,         // post WM_NULL so a waiting event loop returns
};

struct PostedEvent {
  std::int32_t code;
  ObjectId object;
  std::int32_t type;
};

struct MessageOutcome {
  PostedEvent events[2];
  int eventCount;
  std::int32_t sizeState;  // the record's size state after the message
  std::intptr_t result;    // ResultNotHandled leaves the message to the default procedure
  MessageStep step;
};

// For WM_COMMAND the caller first offers the message to the gadget (ForwardToGadget is
// not returned for it): call this only when the gadget left it unhandled.
MessageOutcome MapWindowMessage(const MessageFacts& facts);

// Type of a tray-icon event for the mouse message in lParam; -1 for messages that post none.
std::int32_t TrayIconType(std::intptr_t mouseMessage);
