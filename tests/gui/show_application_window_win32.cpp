// Opens a window with the application's flags and inner size, shows it, and keeps it up
// for the given number of seconds, so that a screenshot can show where its inner area is.
// Prints the inner rectangle in screen coordinates.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "event/event_queue.h"
#include "gui/event_loop.h"
#include "gui/gadget.h"
#include "gui/window.h"
#include "runtime/program.h"
#include "runtime/work_area.h"

namespace {

const LibraryStep StartOrder[] = {
    {"string work area", WorkAreaInit, WorkAreaReady},
    {"event queue", EventInit},
    {"windows", WindowInit},
    {"gadget layer", GadgetInit},
};
const LibraryStep EndOrder[] = {{"windows", WindowEnd}, {"event queue", EventEnd}};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  const ProgramDescription program{nullptr, 0, StartOrder, 4, EndOrder, 2, nullptr};
  if (!ProgramStartup(program)) return 1;
  // "Загрузка данных TLE"
  HWND window = reinterpret_cast<HWND>(
      WindowOpen(0, 150, 150, 340, 125, "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xE4\xE0\xED\xED\xFB\xF5 TLE", 0x90CE0001));
  ShowWindow(window, SW_SHOWNORMAL);
  RECT inner;
  GetClientRect(window, &inner);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
  std::printf("inner %ldx%ld at %ld,%ld\n", inner.right - inner.left, inner.bottom - inner.top, inner.left, inner.top);
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) EventWaitTimeout(50);
  ProgramShutdown();
  return 0;
}
