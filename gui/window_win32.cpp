// Opening and closing the numbered top-level windows.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/gadget.h"
#include "gui/text_win32.h"
#include "gui/window.h"
#include "gui/window_internal_win32.h"
#include "gui/window_procedures_win32.h"
#include "gui/window_properties_win32.h"
#include "runtime/heaps.h"

ObjectTable* WindowTable;

namespace {

constexpr int WindowTableStep = 16;
constexpr int IconResource = 1;
constexpr int AcceleratorCount = 2;
// COLOR_BTNFACE + 1: the class brush paints the client area in the dialog colour.
constexpr INT_PTR ClassBackgroundBrush = 16;
constexpr UINT MoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

HICON ClassIcon;
HCURSOR ClassCursor;

// "WindowClass_<number>", a dynamic id printed as a signed decimal.
struct ClassName {
  char text[40];
  WCHAR wide[40];
  explicit ClassName(ObjectId id) {
    std::snprintf(text, sizeof text, "WindowClass_%lld", static_cast<long long>(id));
    for (int i = 0; i < 40; ++i) wide[i] = static_cast<unsigned char>(text[i]);
  }
};

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(InstanceHandle); }

// The class is registered with the wide call so that its windows are Unicode windows and
// keep a converted title intact.
void RegisterWindowClass(const ClassName& name) {
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowClassProcedure;
  windowClass.hInstance = Instance();
  windowClass.hIcon = ClassIcon;
  windowClass.hCursor = ClassCursor;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(ClassBackgroundBrush);
  windowClass.lpszClassName = name.wide;
  RegisterClassW(&windowClass);
}

void Centre(HWND window, WindowCentring centring, HWND parent) {
  if (centring == WindowCentring::None) return;
  RECT outer;
  GetWindowRect(window, &outer);
  const std::int32_t width = outer.right - outer.left;
  const std::int32_t height = outer.bottom - outer.top;
  HWND reference = centring == WindowCentring::Owner ? (parent != nullptr ? parent : GetActiveWindow()) : nullptr;
  if (reference == window) reference = nullptr;
  WindowPoint corner;
  if (reference != nullptr) {
    RECT r;
    GetWindowRect(reference, &r);
    corner = CentreOnWindow(width, height, WindowRectangle{r.left, r.top, r.right, r.bottom});
  } else {
    // Nothing to centre on (no parent, no active window): the screen is the sensible reference.
    corner = CentreOnScreen(width, height, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0, MoveOnly);
}

void CreateAccelerators(WindowRecord* record) {
  auto* entries = static_cast<ACCEL*>(MainHeapAllocZero(sizeof(ACCEL) * AcceleratorCount));
  if (entries == nullptr) return;
  entries[0] = ACCEL{FVIRTKEY | FNOINVERT, VK_TAB, static_cast<WORD>(CommandTabNext)};
  entries[1] = ACCEL{FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, static_cast<WORD>(CommandTabPrevious)};
  record->acceleratorEntries = entries;
  record->acceleratorCount = AcceleratorCount;
  record->acceleratorTable = reinterpret_cast<NativeHandle>(CreateAcceleratorTableA(entries, AcceleratorCount));
}

// The handle is only trusted while it still names this window: a window destroyed behind
// the library's back (with its owner, say) may have had its handle reused.
bool StillOurWindow(HWND window, ObjectId id) {
  return IsWindow(window) && reinterpret_cast<ObjectId>(GetPropA(window, PropertyWindowId)) == id + 1;
}

}  // namespace

NativeHandle WindowOpen(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        const char* title, std::uint32_t flags, NativeHandle parent) {
  // An open window under this number is closed here first.
  auto* record = static_cast<WindowRecord*>(ObjectNew(WindowTable, number));
  if (record == nullptr) return 0;
  const ObjectId id = number == DynamicNumber ? reinterpret_cast<ObjectId>(record) : number;
  const ClassName name(id);
  RegisterWindowClass(name);

  const WindowFlagTranslation translated = TranslateWindowFlags(flags);
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, translated.style, FALSE, translated.extendedStyle);
  const WindowPoint position = WindowCreatePosition(x, y, flags);

  WCHAR* wideTitle = WideFrom1251(title);
  HWND window = CreateWindowExW(translated.extendedStyle, name.wide, wideTitle != nullptr ? wideTitle : L"",
                                translated.style, position.x, position.y, outer.right - outer.left,
                                outer.bottom - outer.top, reinterpret_cast<HWND>(parent), nullptr, Instance(), nullptr);
  MainHeapFree(wideTitle);
  if (window == nullptr) {
    UnregisterClassA(name.text, Instance());
    ObjectRelease(WindowTable, id);
    return 0;
  }
  record->handle = reinterpret_cast<NativeHandle>(window);

  Centre(window, translated.centring, reinterpret_cast<HWND>(parent));
  if (!translated.hidden) ShowWindow(window, translated.showCommand);
  record->sizeState = translated.sizeState;
  CreateAccelerators(record);
  if (translated.gadgetListWanted) GadgetListUse(reinterpret_cast<NativeHandle>(window));
  SetPropA(window, PropertyWindowId, reinterpret_cast<HANDLE>(id + 1));
  return number == DynamicNumber ? id : reinterpret_cast<NativeHandle>(window);
}

NativeHandle WindowHandle(ObjectId number) {
  auto* record = static_cast<WindowRecord*>(ObjectGet(WindowTable, number));
  return record != nullptr ? record->handle : 0;
}

namespace {

// What a record holds besides its window: the accelerators, queued events and bindings.
void ReleaseWindowRecord(WindowRecord* record, ObjectId number) {
  if (record->acceleratorEntries != nullptr) {
    MainHeapFree(record->acceleratorEntries);
    DestroyAcceleratorTable(reinterpret_cast<HACCEL>(record->acceleratorTable));
  }
  EventPurgeWindow(number);
  EventUnbindWindow(number);
  ObjectRelease(WindowTable, number);
}

}  // namespace

// The teardown order matters: the owner is activated before the window goes so that the
// activation does not fall to an unrelated window; the class can only be unregistered
// once its last window is gone; the events are dropped last, after the destruction's own
// messages have posted theirs.
void WindowClose(ObjectId number) {
  if (number == AllObjects) {
    ObjectFreeAll(WindowTable);
    return;
  }
  auto* record = static_cast<WindowRecord*>(ObjectGet(WindowTable, number));
  if (record == nullptr) return;
  HWND window = reinterpret_cast<HWND>(record->handle);
  if (StillOurWindow(window, number)) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != nullptr) SetActiveWindow(owner);
    RemovePropA(window, PropertyWindowId);
    if (RemovePropA(window, PropertyDropAccept) != nullptr) RevokeDragDrop(window);
    DestroyWindow(window);
  }
  UnregisterClassA(ClassName(number).text, Instance());
  ReleaseWindowRecord(record, number);
}

void WindowDestroyedElsewhere(HWND window, ObjectId number) {
  auto* record = static_cast<WindowRecord*>(ObjectGet(WindowTable, number));
  if (record == nullptr || record->handle != reinterpret_cast<NativeHandle>(window)) return;
  RemovePropA(window, PropertyWindowId);
  if (RemovePropA(window, PropertyDropAccept) != nullptr) RevokeDragDrop(window);
  // The class cannot go while its window still exists; a later window of this number
  // finds it registered with the same attributes, and WindowClose removes it then.
  ReleaseWindowRecord(record, number);
}

void WindowInit() {
  WindowTable = ObjectTableCreate(sizeof(WindowRecord), WindowTableStep, WindowClose);
  ClassIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IconResource));
  ClassCursor = LoadCursorA(nullptr, IDC_ARROW);
}

void WindowEnd() {
  WindowClose(AllObjects);
  // The table dies with MainHeap; forget it so a later end without a start finds nothing.
  WindowTable = nullptr;
}
