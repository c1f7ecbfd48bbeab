// Keyboard decisions of the runtime's own navigation: when the Tab accelerators apply,
// how the focus cues change, and which tab stop Tab or Shift+Tab focuses. Pure; the
// Win32 side gathers the facts and makes the calls.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct AcceleratorFacts {
  bool hasFocus;
  bool tabDown;
  bool modifierDown;            // Ctrl, Shift or Alt
  bool focusIsEditableRichEdit; // a "Rich..." control without ECO_READONLY
  bool hasActiveWindow;
  bool focusHasHotkey;          // the focus carries "QV_Hotkey"
  bool activeIsOurs;            // "QV_WindowID" set and in this process
};

struct AcceleratorDecision {
  bool showCues;       // make the active window's focus cues visible
  bool useWindowTable; // translate with the active window's accelerator table
};

AcceleratorDecision DecideAccelerator(const AcceleratorFacts& facts);

// UI-state bits and the WM_UPDATEUISTATE arguments that change them.
constexpr std::uint32_t UiStateHideFocus = 0x1;
constexpr std::uint32_t UiStateHideAccel = 0x2;
constexpr std::uintptr_t UiStateClearBoth = 0x30002;
constexpr std::uintptr_t UiStateSetBoth = 0x30001;

// The WM_UPDATEUISTATE wParam that shows (or hides) the cues of a window in uiState, or 0
// when nothing needs to change.
std::uintptr_t FocusCuesUpdate(std::uint32_t uiState, bool show);

// One Tab or Shift+Tab step over the tab stops in enumeration order. Feed every tab stop
// to Visit until it returns false; if NeedsSecondPass, feed them again (Tab on the last
// stop wraps to the first); then Finish. target is the stop to focus, or 0.
class TabWalk {
 public:
  TabWalk(NativeHandle current, bool backward) : current_(current), backward_(backward) {}
  bool Visit(NativeHandle stop);
  bool NeedsSecondPass() const { return !backward_ && takeNext_; }
  void Finish();
  NativeHandle target() const { return target_; }

 private:
  NativeHandle current_;
  bool backward_;
  NativeHandle previous_ = 0;
  bool takeNext_ = false;
  bool done_ = false;
  NativeHandle target_ = 0;
};
