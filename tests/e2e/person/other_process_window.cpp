#include "tests/e2e/person/other_process_window.h"

namespace {

constexpr UINT AnswerLimitMs = 200;

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  if (WindowTitle(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

struct DialogSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ClassName(window) == L"#32770") search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND control, LPARAM data) {
  auto* text = reinterpret_cast<std::wstring*>(data);
  std::wstring piece;
  if (_wcsicmp(ClassName(control).c_str(), L"Static") == 0 && ControlText(control, &piece) && !piece.empty()) {
    if (!text->empty()) text->push_back(L'\n');
    text->append(piece);
  }
  return TRUE;
}

}  // namespace

HWND FindTopLevelWindow(const std::wstring& title) {
  TitleSearch search{&title, nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowTitle(HWND window) {
  wchar_t title[512] = {};
  InternalGetWindowText(window, title, 512);
  return title;
}

bool ControlText(HWND control, std::wstring* text) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, AnswerLimitMs,
                           &copied)) {
    return false;
  }
  text->assign(buffer, copied < 1024 ? copied : 1023);
  return true;
}

bool ThreadAnswers(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, AnswerLimitMs, &ignored) != 0;
}

HWND StatusBarOf(HWND window) { return FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr); }

std::vector<HWND> DialogBoxesOf(DWORD processId) {
  DialogSearch search{processId, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen{box, WindowTitle(box), {}};
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
  return seen;
}

void PressOk(HWND box) {
  HWND button = GetDlgItem(box, IDOK);
  DWORD_PTR ignored = 0;
  if (button != nullptr) SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, AnswerLimitMs, &ignored);
}
