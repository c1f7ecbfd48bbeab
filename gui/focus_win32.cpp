// Keyboard navigation in the runtime's plain windows: the Tab accelerators, focus cues
// and moving the focus between tab stops.
#include <windows.h>

#include <cstring>

#include "gui/focus.h"
#include "gui/focus_logic.h"
#include "gui/window.h"
#include "gui/window_properties_win32.h"

namespace {

constexpr int ClassNameLength = 50;
constexpr UINT RichEditGetOptions = 0x44E;   // EM_GETOPTIONS
constexpr LRESULT RichEditReadOnly = 0x800;  // ECO_READONLY

bool KeyDown(int key) { return (GetKeyState(key) & 0x80) != 0; }

void ClassNameOf(HWND window, char (&name)[ClassNameLength + 1]) {
  name[0] = '\0';
  GetClassNameA(window, name, ClassNameLength + 1);
}

bool IsEditableRichEdit(HWND focus) {
  char name[ClassNameLength + 1];
  ClassNameOf(focus, name);
  if (std::strncmp(name, "Rich", 4) != 0) return false;
  return (SendMessageA(focus, RichEditGetOptions, 0, 0) & RichEditReadOnly) == 0;
}

bool IsTabStop(HWND window) {
  return IsWindowEnabled(window) && IsWindowVisible(window) && (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

BOOL CALLBACK VisitTabStop(HWND window, LPARAM walk) {
  if (!IsTabStop(window)) return TRUE;
  return reinterpret_cast<TabWalk*>(walk)->Visit(reinterpret_cast<NativeHandle>(window)) ? TRUE : FALSE;
}

}  // namespace

NativeHandle AcceleratorFor(NativeHandle activeHandle) {
  auto active = reinterpret_cast<HWND>(activeHandle);
  HWND focus = GetFocus();
  AcceleratorFacts facts{};
  facts.hasFocus = focus != nullptr;
  facts.tabDown = KeyDown(VK_TAB);
  facts.modifierDown = KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU);
  if (facts.hasFocus && facts.tabDown && !facts.modifierDown) facts.focusIsEditableRichEdit = IsEditableRichEdit(focus);
  facts.hasActiveWindow = active != nullptr;
  facts.focusHasHotkey = focus != nullptr && GetPropA(focus, PropertyHotkey) != nullptr;
  ObjectId number = -1;
  if (active != nullptr) {
    const auto property = reinterpret_cast<ObjectId>(GetPropA(active, PropertyWindowId));
    DWORD process = 0;
    GetWindowThreadProcessId(active, &process);
    facts.activeIsOurs = property != 0 && process == GetCurrentProcessId();
    number = property - 1;
  }
  const AcceleratorDecision decision = DecideAccelerator(facts);
  if (decision.showCues) FocusCues(activeHandle, true);
  if (!decision.useWindowTable) return 0;
  auto* record = static_cast<WindowRecord*>(ObjectGet(WindowTable, number));
  return record != nullptr ? record->acceleratorTable : 0;
}

void FocusCues(NativeHandle windowHandle, bool show) {
  auto window = reinterpret_cast<HWND>(windowHandle);
  const auto state = static_cast<std::uint32_t>(SendMessageA(window, WM_QUERYUISTATE, 0, 0));
  const std::uintptr_t update = FocusCuesUpdate(state, show);
  if (update != 0) SendMessageA(window, WM_UPDATEUISTATE, update, 0);
}

void TabNavigate(bool backward) {
  HWND container = GetActiveWindow();
  // Without an active window there is nothing to navigate (and enumerating the children
  // of none would walk every top-level window).
  if (container == nullptr) return;
  HWND focus = GetFocus();
  HWND current = nullptr;
  if (focus != nullptr && IsChild(container, focus)) {
    // A focus inside a composite control counts as the composite control.
    current = focus;
    const HWND top = container;
    for (HWND window = focus; window != nullptr && window != top; window = GetParent(window)) {
      char name[ClassNameLength + 1];
      ClassNameOf(window, name);
      if (std::strcmp(name, "MDI_ChildClass") == 0) {
        container = window;
        if (window == focus) current = nullptr;
      } else if (std::strcmp(name, "ComboBoxEx32") == 0 && (GetWindowLongPtrA(window, GWL_STYLE) & 0x1) != 0) {
        current = window;
      } else if (std::strcmp(name, "SysIPAddress32") == 0) {
        current = window;
      }
    }
  }
  TabWalk walk(reinterpret_cast<NativeHandle>(current), backward);
  EnumChildWindows(container, VisitTabStop, reinterpret_cast<LPARAM>(&walk));
  if (walk.NeedsSecondPass()) EnumChildWindows(container, VisitTabStop, reinterpret_cast<LPARAM>(&walk));
  walk.Finish();
  if (walk.target() != 0) SetFocus(reinterpret_cast<HWND>(walk.target()));
}
