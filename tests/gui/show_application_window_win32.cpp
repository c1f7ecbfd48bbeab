// Opens a window with the application's flags and inner size, shows it, and keeps it up
// for the given number of seconds, so that a screenshot can show where its inner area is;
// prints the inner rectangle in screen coordinates. With --status-bar the window also has
// the application's status bar showing "Файл  *mytle.txt* загружен" centred in its field,
// and the bar's rectangle is printed instead.
//   show_application_window [--status-bar] [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "event/event_queue.h"
#include "gui/event_loop.h"
#include "gui/gadget.h"
#include "gui/message_box.h"
#include "gui/status_bar.h"
#include "gui/window.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

const LibraryStep StartOrder[] = {
    {"string work area", WorkAreaInit, WorkAreaReady},
    {"event queue", EventInit},
    {"windows", WindowInit},
    {"gadget layer", GadgetInit},
    {"common controls and COM", MessageBoxInit},
    {"status bars", StatusBarInit},
};
const LibraryStep EndOrder[] = {{"windows", WindowEnd}, {"event queue", EventEnd}};

void PrintRectangle(const char* what, const RECT& rectangle) {
  std::printf("%s %ldx%ld at %ld,%ld\n", what, rectangle.right - rectangle.left, rectangle.bottom - rectangle.top,
              rectangle.left, rectangle.top);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const bool withStatusBar = argc > 1 && std::strcmp(argv[1], "--status-bar") == 0;
  const int secondsArgument = withStatusBar ? 2 : 1;
  const int seconds = argc > secondsArgument ? std::atoi(argv[secondsArgument]) : 5;
  const ProgramDescription program{nullptr, 0, StartOrder, std::size(StartOrder), EndOrder, std::size(EndOrder), nullptr};
  if (!ProgramStartup(program)) return 1;
  // "Загрузка данных TLE"
  HWND window = reinterpret_cast<HWND>(
      WindowOpen(0, 150, 150, 340, 125, "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xE4\xE0\xED\xED\xFB\xF5 TLE", 0x90CE0001));
  if (withStatusBar) {
    StatusBarCreate(2, reinterpret_cast<NativeHandle>(window));
    StatusBarAddField(350);
    // "Файл  *mytle.txt* загружен", centred.
    StatusBarSetText(2, 0, "\xD4\xE0\xE9\xEB  *mytle.txt* \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED", StatusTextCentre);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  RECT shown{};
  if (withStatusBar) {
    auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, 2));
    GetWindowRect(reinterpret_cast<HWND>(record->handle), &shown);
    PrintRectangle("bar", shown);
  } else {
    GetClientRect(window, &shown);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&shown), 2);
    PrintRectangle("inner", shown);
  }
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) EventWaitTimeout(50);
  ProgramShutdown();
  return 0;
}
