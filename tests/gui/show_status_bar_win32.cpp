// Opens a window with the application's flags and status bar, shows the text
// "Файл  *mytle.txt* загружен" centred in its field, and keeps it up for the given number
// of seconds, so that a screenshot can show the status bar's Cyrillic text.
// Prints the bar's rectangle in screen coordinates.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  const ProgramDescription program{nullptr, 0, StartOrder, std::size(StartOrder), EndOrder, std::size(EndOrder), nullptr};
  if (!ProgramStartup(program)) return 1;
  // "Загрузка данных TLE"
  HWND window = reinterpret_cast<HWND>(
      WindowOpen(0, 150, 150, 340, 125, "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xE4\xE0\xED\xED\xFB\xF5 TLE", 0x90CE0001));
  StatusBarCreate(2, reinterpret_cast<NativeHandle>(window));
  StatusBarAddField(350);
  // "Файл  *mytle.txt* загружен", centred.
  StatusBarSetText(2, 0, "\xD4\xE0\xE9\xEB  *mytle.txt* \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED", StatusTextCentre);
  ShowWindow(window, SW_SHOWNORMAL);
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, 2));
  RECT bar{};
  GetWindowRect(reinterpret_cast<HWND>(record->handle), &bar);
  std::printf("bar %ldx%ld at %ld,%ld\n", bar.right - bar.left, bar.bottom - bar.top, bar.left, bar.top);
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) EventWaitTimeout(50);
  ProgramShutdown();
  return 0;
}
