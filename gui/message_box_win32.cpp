// Message boxes on Win32. MessageBoxW disables only the box's owner; the other visible
// windows of the thread are disabled here and taken out of the topmost band, so that
// nothing of the program can be used or cover the box while it is open.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "gui/message_box.h"
#include "gui/modal_window_list.h"
#include "gui/text_win32.h"
#include "runtime/heaps.h"

namespace {

// Shared by every thread; each entry carries its thread. Only the main thread shows boxes.
NodeList ModalWindows = nullptr;

// Tab, hot-key, date, extended combo box and internet-address classes.
constexpr DWORD CommonControlClasses = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES |
                                       ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
static_assert(CommonControlClasses == 0xB48, "the class set the program registers");

struct Enumeration {
  DWORD thread;
  HWND foreground;
};

BOOL CALLBACK RecordThreadWindow(HWND window, LPARAM parameter) {
  const auto* enumeration = reinterpret_cast<const Enumeration*>(parameter);
  if (GetWindowThreadProcessId(window, nullptr) != enumeration->thread || !IsWindowVisible(window)) return TRUE;
  ModalWindowEntry* entry =
      ModalEntryAdd(&ModalWindows, enumeration->thread, reinterpret_cast<NativeHandle>(window));
  if (entry == nullptr) return TRUE;
  if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) entry->wasTopmost = 1;
  // A window that was disabled already is recorded but stays disabled afterwards.
  if (window != enumeration->foreground && IsWindowEnabled(window)) {
    entry->disabledHere = 1;
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

// Without SWP_NOACTIVATE the move would also activate the window: the box would then be
// owned by whichever topmost window was moved last, not by the window the user was in.
void PlaceInBand(const ModalWindowEntry* entry, HWND band) {
  SetWindowPos(reinterpret_cast<HWND>(entry->window), band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// A MainHeap UTF-16 copy of a Windows-1251 text; an empty text when memory runs out.
struct WideText {
  explicit WideText(const char* text) : wide(WideFrom1251(text)) {}
  ~WideText() { MainHeapFree(wide); }
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  const WCHAR* get() const { return wide != nullptr ? wide : L""; }
  WCHAR* wide;
};

}  // namespace

void ThreadWindowsDisable() {
  const Enumeration enumeration{GetCurrentThreadId(), GetForegroundWindow()};
  if (!ModalBoxOpen(&ModalWindows, enumeration.thread)) return;
  EnumWindows(RecordThreadWindow, reinterpret_cast<LPARAM>(&enumeration));
  // Entries were added top of the Z-order first; demoting from the newest keeps the
  // windows' order among themselves.
  ModalBoxVisit(ModalWindows, enumeration.thread, [](ModalWindowEntry* entry) {
    if (entry->wasTopmost) PlaceInBand(entry, HWND_NOTOPMOST);
  });
}

void ThreadWindowsRestore() {
  ModalBoxClose(&ModalWindows, GetCurrentThreadId(), [](ModalWindowEntry* entry) {
    if (entry->disabledHere) EnableWindow(reinterpret_cast<HWND>(entry->window), TRUE);
    if (entry->wasTopmost) PlaceInBand(entry, HWND_TOPMOST);
  });
}

NativeHandle MessageBoxOwner() {
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return 0;
  DWORD process = 0;
  GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? reinterpret_cast<NativeHandle>(foreground) : 0;
}

std::int32_t MessageBoxShow(const char* title, const char* text, std::uint32_t flags) {
  ThreadWindowsDisable();
  std::int32_t result = 0;
  {
    // The wide call: Windows-1251 texts read correctly whatever the system's code page.
    const WideText wideTitle(title);
    const WideText wideText(text);
    result = MessageBoxW(reinterpret_cast<HWND>(MessageBoxOwner()), wideText.get(), wideTitle.get(), flags);
  }
  ThreadWindowsRestore();
  return result;
}

void MessageBoxInit() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = CommonControlClasses;
  InitCommonControlsEx(&classes);
  CoInitialize(nullptr);
}
