// Acts as the person in front of the program during an end-to-end run: waits for the
// program's window, watches its status text, reads and dismisses every message box, and
// closes the window once the job is over (or at once, with --close-early). Everything it
// sees goes to standard output as tab-separated UTF-8 lines stamped with the Unix time
// in milliseconds:
//   window <ms>                  the window is on the screen
//   status <ms> <text>           the status text changed (tabs shown as \t)
//   box <ms> <title> <text>      a message box appeared; OK is pressed
//   inner <ms> <x> <y> <w> <h>   where the window's inner area lies on the screen, and its size
//   done <ms> final|idle         the job is over: final status seen, or the program waits
//   final-status <ms> <text>     the status text just before closing
//   close <ms>                   the close button was pressed
//   gone <ms>                    the window no longer exists
//   error <ms> <what>            something did not happen in time (exit code 1)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "tests/e2e/person/other_process_window.h"

namespace {

// "Загрузка данных TLE"
const std::wstring WindowTitleText = L"\u0417\u0430\u0433\u0440\u0443\u0437\u043a\u0430 \u0434\u0430\u043d\u043d\u044b\u0445 TLE";
// The satellite list comes last: "Файл  *satonline.txt* загружен" (fetched) or
// "Файл  *satonline.txt* актуален" (still current, not fetched). When it fails, the job's
// end shows only as the program waiting.
const std::wstring FinalStatusTexts[] = {
    L"\u0424\u0430\u0439\u043b  *satonline.txt* \u0437\u0430\u0433\u0440\u0443\u0436\u0435\u043d",
    L"\u0424\u0430\u0439\u043b  *satonline.txt* \u0430\u043a\u0442\u0443\u0430\u043b\u0435\u043d",
};

constexpr DWORD WindowWaitMs = 30000;
constexpr DWORD JobWaitMs = 60000;
constexpr DWORD CloseWaitMs = 20000;
constexpr DWORD HoldWaitMs = 15000;
constexpr DWORD PollMs = 50;
// Polls in a row in which the program answered with no box open: it is in its event loop.
constexpr int IdlePollsForDone = 10;

long long UnixMilliseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return static_cast<long long>((ticks.QuadPart - 116444736000000000ULL) / 10000);
}

std::string Utf8(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'\t') escaped += L"\\t";
    else if (c == L'\n') escaped += L"\\n";
    else if (c == L'\r') escaped += L"\\r";
    else escaped += c;
  }
  if (escaped.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

void Report(const char* kind) {
  std::printf("%s\t%lld\n", kind, UnixMilliseconds());
  std::fflush(stdout);
}

void Report(const char* kind, const std::string& fields) {
  std::printf("%s\t%lld\t%s\n", kind, UnixMilliseconds(), fields.c_str());
  std::fflush(stdout);
}

// The status text without the tabs that align it in its field.
std::wstring WithoutAlignment(const std::wstring& text) {
  std::size_t first = text.find_first_not_of(L'\t');
  return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

bool IsFinalStatus(const std::wstring& text) {
  for (const std::wstring& finalText : FinalStatusTexts) {
    if (WithoutAlignment(text) == finalText) return true;
  }
  return false;
}

bool Elapsed(DWORD since, DWORD limit) { return GetTickCount() - since > limit; }

void PressClose(HWND window) {
  Report("close");
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

struct Watch {
  HWND window = nullptr;
  DWORD processId = 0;
  HWND statusBar = nullptr;
  std::wstring status;
  bool statusSeen = false;
  std::set<HWND> boxesReported;
  int idlePolls = 0;
};

// One look at the screen: new boxes are read and dismissed, a changed status reported.
// Returns true when the program answered and no box was open.
bool LookOnce(Watch& watch) {
  bool boxOpen = false;
  for (HWND box : DialogBoxesOf(watch.processId)) {
    boxOpen = true;
    if (!IsWindowVisible(box)) continue;
    if (watch.boxesReported.insert(box).second) {
      MessageBoxSeen seen = ReadMessageBox(box);
      Report("box", Utf8(seen.title) + "\t" + Utf8(seen.text));
    }
    PressOk(box);
  }
  if (watch.statusBar == nullptr) watch.statusBar = StatusBarOf(watch.window);
  std::wstring text;
  bool answered = watch.statusBar != nullptr ? ControlText(watch.statusBar, &text) : ThreadAnswers(watch.window);
  if (answered && watch.statusBar != nullptr && (!watch.statusSeen || text != watch.status)) {
    watch.status = text;
    watch.statusSeen = true;
    Report("status", Utf8(text));
  }
  return answered && !boxOpen;
}

// For the checks of the screenshot taken once the job is over.
void ReportInnerArea(HWND window) {
  POINT origin{0, 0};
  RECT inner{};
  ClientToScreen(window, &origin);
  GetClientRect(window, &inner);
  Report("inner", std::to_string(origin.x) + "\t" + std::to_string(origin.y) + "\t" + std::to_string(inner.right) +
                      "\t" + std::to_string(inner.bottom));
}

bool WaitForFile(const wchar_t* path, DWORD limit) {
  DWORD start = GetTickCount();
  while (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
    if (Elapsed(start, limit)) return false;
    Sleep(PollMs);
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Lines end in LF alone, as the checks on the Linux side read them.
  _setmode(_fileno(stdout), _O_BINARY);
  bool closeEarly = false;
  const wchar_t* holdFile = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--close-early") == 0) closeEarly = true;
    else if (std::wcscmp(argv[i], L"--hold") == 0 && i + 1 < argc) holdFile = argv[++i];
  }

  Watch watch;
  DWORD start = GetTickCount();
  while ((watch.window = FindTopLevelWindow(WindowTitleText)) == nullptr || !IsWindowVisible(watch.window)) {
    if (Elapsed(start, WindowWaitMs)) {
      Report("error", "no window");
      return 1;
    }
    Sleep(PollMs / 2);
  }
  GetWindowThreadProcessId(watch.window, &watch.processId);
  Report("window");

  if (closeEarly) PressClose(watch.window);
  start = GetTickCount();
  while (IsWindow(watch.window)) {
    if (Elapsed(start, JobWaitMs)) {
      Report("error", closeEarly ? "window not closed" : "job not over");
      return 1;
    }
    bool idle = LookOnce(watch);
    watch.idlePolls = idle ? watch.idlePolls + 1 : 0;
    if (!closeEarly) {
      bool finalShown = IsFinalStatus(watch.status);
      if (finalShown || watch.idlePolls >= IdlePollsForDone) {
        ReportInnerArea(watch.window);
        Report("done", finalShown ? "final" : "idle");
        break;
      }
    }
    Sleep(PollMs);
  }

  if (IsWindow(watch.window)) {
    if (holdFile != nullptr && !WaitForFile(holdFile, HoldWaitMs)) Report("error", "hold file never came");
    std::wstring text;
    if (ControlText(watch.statusBar, &text)) Report("final-status", Utf8(text));
    PressClose(watch.window);
    start = GetTickCount();
    while (IsWindow(watch.window)) {
      if (Elapsed(start, CloseWaitMs)) {
        Report("error", "window not closed");
        return 1;
      }
      Sleep(PollMs);
    }
  }
  Report("gone");
  return 0;
}
