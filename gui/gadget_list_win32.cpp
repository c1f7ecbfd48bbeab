// The current gadget list: the window that new gadgets are created in. Every window that
// has been a gadget list keeps a saved list under a property and is subclassed so that
// its destruction ends its being the current parent.
#include <windows.h>

#include <cstdio>

#include "gui/gadget.h"
#include "gui/gadget_list_win32.h"
#include "gui/window_procedures_win32.h"
#include "runtime/heaps.h"
#include "runtime/library_state.h"

namespace {

struct GadgetListState {
  HWND currentParent;
  NativeHandle font;
};

struct SavedGadgetList {
  HWND window;
  HWND savedParent;
  LONG_PTR previousProcedure;
};

void* StateBlock;

GadgetListState* State() {
  return StateBlock != nullptr ? static_cast<GadgetListState*>(LibraryState(StateBlock)) : nullptr;
}

// "QV_GadgetStack_<instance handle>": two modules with this runtime keep separate lists.
struct SavedListName {
  char text[48];
  SavedListName() { std::snprintf(text, sizeof text, "QV_GadgetStack_%lld", static_cast<long long>(InstanceHandle)); }
};

SavedGadgetList* SavedListOf(HWND window) {
  return static_cast<SavedGadgetList*>(GetPropA(window, SavedListName().text));
}

}  // namespace

void GadgetListStateCreate(NativeHandle font) {
  StateBlock = LibraryStateCreate(sizeof(GadgetListState), nullptr, nullptr);
  if (StateBlock != nullptr) State()->font = font;
}

NativeHandle GadgetListFont() {
  GadgetListState* state = State();
  return state != nullptr ? state->font : 0;
}

NativeHandle GadgetListUse(NativeHandle windowHandle) {
  GadgetListState* state = State();
  if (state == nullptr) return 0;
  auto window = reinterpret_cast<HWND>(windowHandle);
  HWND previous = state->currentParent;
  if (window == nullptr) return reinterpret_cast<NativeHandle>(previous);
  if (previous != nullptr) {
    SavedGadgetList* previousList = SavedListOf(previous);
    if (previousList != nullptr) previousList->savedParent = state->currentParent;
  }
  SavedGadgetList* list = SavedListOf(window);
  if (list != nullptr) {
    state->currentParent = list->savedParent;
  } else {
    state->currentParent = window;
    list = static_cast<SavedGadgetList*>(MainHeapAllocZero(sizeof(SavedGadgetList)));
    if (list == nullptr) return reinterpret_cast<NativeHandle>(previous);
    list->window = window;
    SetPropA(window, SavedListName().text, list);
    list->previousProcedure = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListProcedure));
  }
  return reinterpret_cast<NativeHandle>(previous);
}

LRESULT CALLBACK GadgetListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SavedGadgetList* list = SavedListOf(window);
  if (list == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const LONG_PTR previous = list->previousProcedure;
  if (message == WM_NCDESTROY) {
    GadgetListState* state = State();
    if (state != nullptr && state->currentParent == window) state->currentParent = nullptr;
    RemovePropA(window, SavedListName().text);
    MainHeapFree(list);
  }
  return CallPreviousProcedure(previous, window, message, wParam, lParam);
}
