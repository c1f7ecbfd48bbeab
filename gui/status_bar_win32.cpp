// Status bars on Win32: the common-controls status control, its fields, its texts, and the
// two subclass procedures that keep the fields in step with the window and release the
// record when the control goes away.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "event/event_queue.h"
#include "gui/status_bar.h"
#include "gui/text_win32.h"
#include "gui/window_procedures_win32.h"
#include "runtime/heaps.h"
#include "runtime/library_state.h"

ObjectTable* StatusBarTable = nullptr;

namespace {

// The window's procedure before StatusParentProcedure, and on the control the control's
// procedure before StatusBarProcedure.
constexpr const char* PropertyCallback = "qv_statusbar_callback";
// On the window: the number of its status bar + 1.
constexpr const char* PropertyBarId = "qv_statusbar_id";

constexpr UINT StatusControlId = 0xE404040F;
constexpr WPARAM StatusMinimumHeight = 18;
constexpr std::int32_t FieldStep = 8;
// Up to this many edges are laid out on the stack.
constexpr std::int32_t StackEdges = 32;

struct StatusBarState {
  ObjectId current;  // the bar StatusBarAddField extends; its record is looked up each time
  bool hasCurrent;
};

void* StateBlock = nullptr;

StatusBarState* State() { return static_cast<StatusBarState*>(LibraryState(StateBlock)); }

HWND ControlOf(const StatusBarRecord* record) { return reinterpret_cast<HWND>(record->handle); }

ObjectId BarNumberOf(HWND window) {
  return reinterpret_cast<ObjectId>(GetPropA(window, PropertyBarId)) - 1;
}

void StatusBarFree(ObjectId id) {
  if (id == AllObjects) {
    ObjectFreeAll(StatusBarTable);
    return;
  }
  // StatusBarProcedure releases the record when the control reports its destruction.
  if (auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, id))) DestroyWindow(ControlOf(record));
}

LRESULT CALLBACK StatusParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StatusBarProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the fields out again when the window's client size really changed: dragging the
// border sends many size messages, some for the same size.
void ParentSized(HWND window) {
  const ObjectId number = BarNumberOf(window);
  if (number < 0) return;
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, number));
  if (record == nullptr) return;
  RECT client{};
  GetClientRect(GetParent(ControlOf(record)), &client);
  if (client.right == record->lastWidth && client.bottom == record->lastHeight) return;
  SendMessageW(ControlOf(record), WM_SIZE, 0, 0);  // the control docks itself at the bottom
  StatusBarLayout(record);
  InvalidateRect(ControlOf(record), nullptr, FALSE);
  record->lastWidth = client.right;
  record->lastHeight = client.bottom;
}

LRESULT CALLBACK StatusParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<LONG_PTR>(GetPropA(window, PropertyCallback));
  if (message == WM_SIZE && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) {
    ParentSized(window);
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, PropertyCallback);
  }
  return CallPreviousProcedure(previous, window, message, wParam, lParam);
}

void BarDestroyed(HWND control) {
  HWND parent = GetParent(control);
  const ObjectId number = BarNumberOf(parent);
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, number));
  if (record == nullptr || ControlOf(record) != control) return;
  RemovePropA(control, PropertyCallback);
  RemovePropA(parent, PropertyBarId);
  MainHeapFree(record->fields);
  ObjectRelease(StatusBarTable, number);
}

LRESULT CALLBACK StatusBarProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<LONG_PTR>(GetPropA(control, PropertyCallback));
  if (message == WM_NCDESTROY) BarDestroyed(control);
  return CallPreviousProcedure(previous, control, message, wParam, lParam);
}

void Subclass(HWND window, WNDPROC procedure) {
  const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  SetPropA(window, PropertyCallback, reinterpret_cast<HANDLE>(previous));
}

// The window is laid out again as if it had just been sized, so that the bar docks and its
// fields are set; the window's own size event is not wanted for that.
void RelayoutParentQuietly(HWND parent) {
  RECT client{};
  GetClientRect(parent, &client);
  EventSuspend();
  SendMessageW(parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EventResume();
}

}  // namespace

NativeHandle StatusBarCreate(ObjectId number, NativeHandle parent) {
  ThemeCheck();
  HWND parentWindow = reinterpret_cast<HWND>(parent);
  // One bar per window: the window's property can name only one, and a second would leave
  // the first unreleasable.
  if (parentWindow != nullptr && GetPropA(parentWindow, PropertyBarId) != nullptr) return 0;
  auto* record = static_cast<StatusBarRecord*>(ObjectNew(StatusBarTable, number));
  if (record == nullptr) return 0;
  const ObjectId id = number == DynamicNumber ? reinterpret_cast<ObjectId>(record) : number;
  auto* fields = static_cast<StatusField*>(MainHeapAllocZero(sizeof(StatusField) * FieldStep));
  if (fields == nullptr) {
    ObjectRelease(StatusBarTable, id);
    return 0;
  }
  HWND control = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, nullptr, parentWindow, StatusControlId);
  if (control == nullptr) {
    MainHeapFree(fields);
    ObjectRelease(StatusBarTable, id);
    return 0;
  }
  record->handle = reinterpret_cast<NativeHandle>(control);
  record->fields = fields;
  record->fieldCount = 0;
  record->fieldCapacity = FieldStep;
  record->lastWidth = 0;
  record->lastHeight = 0;

  // The window is subclassed once, whatever bars it has carried before.
  if (GetPropA(parentWindow, PropertyCallback) == nullptr) Subclass(parentWindow, StatusParentProcedure);
  SetPropA(parentWindow, PropertyBarId, reinterpret_cast<HANDLE>(id + 1));
  Subclass(control, StatusBarProcedure);

  SendMessageW(control, SB_SETMINHEIGHT, StatusMinimumHeight, 0);
  SendMessageW(control, WM_SIZE, 0, 0);
  State()->current = id;
  State()->hasCurrent = true;
  RelayoutParentQuietly(parentWindow);
  return number == DynamicNumber ? id : record->handle;
}

void StatusBarAddField(std::int32_t width) {
  StatusBarState* state = State();
  if (!state->hasCurrent) return;
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, state->current));
  if (record == nullptr || record->fieldCount >= StatusFieldLimit) return;
  if (record->fieldCount == record->fieldCapacity) {
    const std::int32_t capacity = record->fieldCapacity + FieldStep;
    auto* grown = static_cast<StatusField*>(MainHeapAllocZero(sizeof(StatusField) * capacity));
    if (grown == nullptr) return;
    std::memcpy(grown, record->fields, sizeof(StatusField) * record->fieldCount);
    MainHeapFree(record->fields);
    record->fields = grown;
    record->fieldCapacity = capacity;
  }
  record->fields[record->fieldCount] = StatusField{width, 0};
  ++record->fieldCount;
  StatusBarLayout(record);
}

void StatusBarLayout(StatusBarRecord* record) {
  std::int32_t stackEdges[StackEdges];
  std::int32_t* edges = stackEdges;
  if (record->fieldCount > StackEdges) {
    edges = static_cast<std::int32_t*>(MainHeapAllocZero(sizeof(std::int32_t) * record->fieldCount));
    if (edges == nullptr) return;
  }
  HWND control = ControlOf(record);
  RECT client{};
  GetClientRect(control, &client);
  HWND parent = GetParent(control);
  const bool sizeGrip = !IsZoomed(parent) && (GetWindowLongA(parent, GWL_STYLE) & WS_THICKFRAME) != 0;
  const std::int32_t right = StatusBarUsableRight(client.right, client.bottom, sizeGrip);
  StatusBarEdges(record->fields, record->fieldCount, client.left, right, edges);
  static_assert(sizeof(int) == sizeof(std::int32_t), "SB_SETPARTS takes an array of int");
  SendMessageW(control, SB_SETPARTS, static_cast<WPARAM>(record->fieldCount), reinterpret_cast<LPARAM>(edges));
  if (edges != stackEdges) MainHeapFree(edges);
}

void StatusBarSetText(ObjectId number, std::int32_t field, const char* text, std::uint32_t flags) {
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, number));
  if (record == nullptr) return;
  // The flags are kept only for a field the bar has: any other index would write past the
  // array. The control itself ignores texts for fields it does not have.
  if (field >= 0 && field < record->fieldCount) record->fields[field].textFlags = flags;
  const std::uint32_t partWord = StatusTextPartWord(field, flags);
  char* aligned = StatusTextAligned(text, flags, ThemedControls == 1);
  if (aligned == nullptr) return;
  WCHAR* wide = WideFrom1251(aligned);
  MainHeapFree(aligned);
  if (wide == nullptr) return;
  // The wide call: Windows-1251 texts read correctly whatever the system's code page.
  SendMessageW(ControlOf(record), SB_SETTEXTW, partWord, reinterpret_cast<LPARAM>(wide));
  MainHeapFree(wide);
  if (partWord & StatusPartNoBorders) {
    RECT part{};
    SendMessageW(ControlOf(record), SB_GETRECT, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(&part));
    InvalidateRect(ControlOf(record), &part, TRUE);
  }
}

void StatusBarInit() {
  StatusBarTable = ObjectTableCreate(sizeof(StatusBarRecord), 16, StatusBarFree);
  StateBlock = LibraryStateCreate(sizeof(StatusBarState), nullptr, nullptr);
}
