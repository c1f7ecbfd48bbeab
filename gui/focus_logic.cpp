#include "gui/focus_logic.h"

AcceleratorDecision DecideAccelerator(const AcceleratorFacts& facts) {
  AcceleratorDecision decision{false, false};
  // An editable rich-edit control takes Tab as text.
  if (facts.hasFocus && facts.tabDown && !facts.modifierDown && facts.focusIsEditableRichEdit) return decision;
  decision.showCues = facts.hasActiveWindow && facts.modifierDown;
  // A hot-key control keeps every key for itself.
  if (facts.focusHasHotkey) return decision;
  decision.useWindowTable = facts.hasActiveWindow && facts.activeIsOurs;
  return decision;
}

std::uintptr_t FocusCuesUpdate(std::uint32_t uiState, bool show) {
  const std::uint32_t both = UiStateHideFocus | UiStateHideAccel;
  if (show) return (uiState & both) != 0 ? UiStateClearBoth : 0;
  return (uiState & both) != both ? UiStateSetBoth : 0;
}

bool TabWalk::Visit(NativeHandle stop) {
  if (backward_) {
    if (stop == current_ && previous_ != 0) {
      target_ = previous_;
      done_ = true;
      return false;
    }
    previous_ = stop;
    return true;
  }
  if (takeNext_) {
    target_ = stop;
    takeNext_ = false;
    return false;
  }
  if (current_ == 0) {
    target_ = stop;
    return false;
  }
  if (stop == current_) takeNext_ = true;
  return true;
}

void TabWalk::Finish() {
  // Shift+Tab on the first stop, or from outside the window, goes to the last stop.
  if (backward_ && !done_ && previous_ != 0) target_ = previous_;
}
