// The gadget table, registration of new controls, their release on destruction, gadget
// events and the offer of parent notifications to the gadget's kind.
#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include <cstring>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/gadget.h"
#include "gui/gadget_list_win32.h"
#include "gui/window_procedures_win32.h"
#include "gui/window_properties_win32.h"
#include "runtime/library_state.h"

ObjectTable* GadgetTable;

namespace {

constexpr int GadgetTableStep = 50;
constexpr DWORD CommonControlClasses = 0xB48;  // tab, hot-key, date, extended combo box, IP address
constexpr LONG_PTR ReleasedId = -1;

// The table's free routine: destroying the control is enough, its subclass releases the
// record when the control reports its destruction.
void GadgetFree(ObjectId id) {
  if (id == AllObjects) {
    ObjectFreeAll(GadgetTable);
    return;
  }
  auto* record = static_cast<GadgetRecord*>(ObjectGet(GadgetTable, id));
  if (record != nullptr) DestroyWindow(reinterpret_cast<HWND>(record->handle));
}

struct PropertySearch {
  const char* name;
  bool found;
};

BOOL CALLBACK MatchProperty(HWND, LPSTR name, HANDLE, ULONG_PTR search) {
  auto* wanted = reinterpret_cast<PropertySearch*>(search);
  // Properties set by atom have no string name.
  if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0) return TRUE;
  if (std::strcmp(name, wanted->name) != 0) return TRUE;
  wanted->found = true;
  return FALSE;
}

bool HasProperty(HWND window, const char* name) {
  PropertySearch search{name, false};
  EnumPropsExA(window, MatchProperty, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The gadget number of a control, or false when the control is no gadget. A control whose
// identifier merely happens to be 0 reads "QV_ID" as 0 too, so the property must exist.
bool GadgetNumberOf(HWND control, ObjectId* number) {
  const LONG_PTR id = GetWindowLongPtrA(control, GWLP_ID);
  const auto property = reinterpret_cast<ObjectId>(GetPropA(control, PropertyGadgetId));
  if (property != id) return false;
  if (property == 0 && !HasProperty(control, PropertyGadgetId)) return false;
  *number = id;
  return true;
}

}  // namespace

void GadgetInit() {
  const auto font = reinterpret_cast<NativeHandle>(GetStockObject(DEFAULT_GUI_FONT));
  GadgetTable = ObjectTableCreate(sizeof(GadgetRecord), GadgetTableStep, GadgetFree);
  GadgetListStateCreate(font);
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), CommonControlClasses};
  InitCommonControlsEx(&classes);
}

NativeHandle GadgetRegister(ObjectId number, GadgetRecord* record, NativeHandle controlHandle, const GadgetKind* kind) {
  auto control = reinterpret_cast<HWND>(controlHandle);
  const ObjectId id = number == DynamicNumber ? reinterpret_cast<ObjectId>(record) : number;
  record->handle = controlHandle;
  record->kind = kind;
  // The wide call keeps a Unicode control Unicode; the previous procedure is called back
  // with the matching wide call, which converts for an ANSI one.
  record->previousProcedure = SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProcedure));
  SetWindowLongPtrA(control, GWLP_ID, id);
  SetPropA(control, PropertyGadgetId, reinterpret_cast<HANDLE>(id));
  SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(GadgetListFont()), TRUE);
  return number == DynamicNumber ? id : controlHandle;
}

LRESULT CALLBACK GadgetProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const ObjectId id = GetWindowLongPtrA(control, GWLP_ID);
  auto* record = id == ReleasedId ? nullptr : static_cast<GadgetRecord*>(ObjectGet(GadgetTable, id));
  if (record == nullptr) return DefWindowProcW(control, message, wParam, lParam);
  const LRESULT result = CallPreviousProcedure(record->previousProcedure, control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The control is gone: release the record exactly once, here, whoever destroyed it.
    if (record->kind != nullptr && record->kind->release != nullptr) record->kind->release(record);
    RemovePropA(control, PropertyGadgetId);
    if (RemovePropA(control, PropertyDropAccept) != nullptr) RevokeDragDrop(control);
    SetWindowLongPtrA(control, GWLP_ID, ReleasedId);
    EventPurge(EventGadgetAction, id, -1, -1);
    ObjectRelease(GadgetTable, id);
  }
  return result;
}

NativeHandle OwningWindow(NativeHandle windowHandle) {
  auto window = reinterpret_cast<HWND>(windowHandle);
  for (;;) {
    if (GetPropA(window, PropertyWindowId) != nullptr) break;
    HWND parent = GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return reinterpret_cast<NativeHandle>(window);
}

void GadgetEventPost(NativeHandle controlHandle, std::int32_t type) {
  auto control = reinterpret_cast<HWND>(controlHandle);
  auto owner = reinterpret_cast<HWND>(OwningWindow(controlHandle));
  const auto windowNumber = reinterpret_cast<ObjectId>(GetPropA(owner, PropertyWindowId)) - 1;
  EventPostSimple(EventGadgetAction, GetWindowLongPtrA(control, GWLP_ID), windowNumber, type);
}

std::intptr_t GadgetForward(NativeHandle controlHandle, NativeHandle parent, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam) {
  auto control = reinterpret_cast<HWND>(controlHandle);
  if (control == nullptr) return ResultNotHandled;
  ObjectId number = 0;
  if (!GadgetNumberOf(control, &number)) return ResultNotHandled;
  auto* record = static_cast<GadgetRecord*>(ObjectGet(GadgetTable, number));
  if (record == nullptr) return ResultNotHandled;
  if (record->kind == nullptr || record->kind->notificationHandler == nullptr) return ResultNotHandled;
  return record->kind->notificationHandler(record, parent, message, wParam, lParam);
}
