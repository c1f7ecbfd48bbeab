// The program's job: slide the window in, fetch the amateur and weather element sets of
// the primary server and join them into "mytle.txt", fetch the satellite list of the
// secondary server, show progress in the status bar and failures in message boxes, then
// wait until the window is closed. Everything runs on the one thread, in this order.
#include "app/application.h"

#include "app/sources.h"
#include "app/texts.h"
#include "app/window_slide.h"
#include "event/event_queue.h"
#include "file/sequential_file.h"
#include "gui/event_codes.h"
#include "gui/event_loop.h"
#include "gui/message_box.h"
#include "gui/status_bar.h"
#include "gui/window.h"
#include "net/connection.h"
#include "net/http_download.h"
#include "runtime/paths.h"
#include "runtime/program.h"
#include "runtime/strings.h"
#include "runtime/work_area.h"

ApplicationGlobals App;

namespace {

constexpr ObjectId MainWindow = 0;
constexpr ObjectId StatusBar = 2;
constexpr ObjectId MergedFile = 10;
constexpr ObjectId FirstTemporary = 0;
constexpr ObjectId SecondTemporary = 1;

// Hidden at creation, pop-up with caption, system menu, sizing border and minimise box,
// centred on the screen (which overrides the position).
constexpr std::uint32_t MainWindowFlags = 0x90CE0001;
constexpr std::int32_t InnerWidth = 340;
constexpr std::int32_t InnerHeight = 125;
constexpr unsigned SlideMilliseconds = 500;
// Ten pixels wider than the window, so the one field spans the whole bar.
constexpr std::int32_t StatusFieldWidth = 350;

// variable = the program's directory (with its separator) + name.
void AssignProgramDirectoryFile(char** variable, const char* name) {
  const std::int32_t start = WorkAreaPosition;
  ProgramPath(start);
  DirectoryPart(WorkAreaBase + start, start);
  WorkAreaAppend(name);
  StringAssign(variable, start);
}

void AssignUrl(char** variable, const DownloadSource& source) {
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend("http://");
  WorkAreaAppend(source.server);
  WorkAreaAppend(source.path);
  StringAssign(variable, start);
}

std::int32_t Download(SourceIndex index, const char* target) {
  AssignUrl(&App.url, Sources[index]);
  return HttpDownloadFile(App.url, target);
}

void ReportPrimaryServerDown() {
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend(PrimaryServerDownBefore);
  WorkAreaAppend(PrimaryServer);
  WorkAreaAppend(PrimaryServerDownAfter);
  StringAssign(&App.messageText, start);
  MessageBoxShow(PrimaryServerDownTitle, App.messageText, 0);
}

void AssignNextLine(char** variable, ObjectId file) {
  const std::int32_t start = WorkAreaPosition;
  FileReadLine(file, start);
  StringAssign(variable, start);
}

// Appends the temporary's lines to the merged file, two at a time: the end is tested once
// per pair, so an odd count of lines adds one empty line.
void MergeTemporary(ObjectId file, const char* path) {
  if (FileOpenRead(file, path) == 0) {
    MessageBoxShow(SavingFailedTitle, SavingFailedText, 0);
    return;
  }
  while (FileEof(file) == 0) {
    AssignNextLine(&App.firstLine, file);
    AssignNextLine(&App.secondLine, file);
    FileWriteLine(MergedFile, App.firstLine);
    FileWriteLine(MergedFile, App.secondLine);
  }
  FileClose(file);
}

// Joins both temporaries into "mytle.txt" in the current directory. A file that cannot be
// created is reported rather than passed over in silence; false then.
bool MergeTemporaries() {
  if (FileCreate(MergedFile, MergedFileName) == 0) {
    MessageBoxShow(SavingFailedTitle, SavingFailedText, 0);
    return false;
  }
  MergeTemporary(FirstTemporary, App.firstTemporaryPath);
  MergeTemporary(SecondTemporary, App.secondTemporaryPath);
  FileClose(MergedFile);
  return true;
}

void DeleteTemporaries() {
  FileDelete(App.firstTemporaryPath);
  FileDelete(App.secondTemporaryPath);
}

// The downloads, the merge and the satellite list, with their reports.
void FetchAndMerge() {
  NetworkInit();  // if the sockets do not start, the first download fails and says so
  AssignProgramDirectoryFile(&App.firstTemporaryPath, Sources[AmateurElements].savedAs);
  AssignProgramDirectoryFile(&App.secondTemporaryPath, Sources[WeatherElements].savedAs);
  // Temporaries of an earlier run that ended abnormally must never be merged as new data.
  DeleteTemporaries();

  if (Download(AmateurElements, App.firstTemporaryPath) == 0) {
    ReportPrimaryServerDown();
    return;
  }
  Download(WeatherElements, App.secondTemporaryPath);  // a missing file is reported by the merge
  const bool merged = MergeTemporaries();
  DeleteTemporaries();
  if (merged) StatusBarSetText(StatusBar, 0, MergedFileStatus, StatusTextCentre);

  AssignProgramDirectoryFile(&App.satelliteListPath, Sources[SatelliteList].savedAs);
  Download(SatelliteList, App.satelliteListPath);
  StatusBarSetText(StatusBar, 0, SatelliteListStatus, StatusTextCentre);
}

// Waits until the program's window is asked to close; every other event is ignored.
void WaitForClose() {
  do {
    App.lastEventCode = EventWait();
    App.lastEventWindow = static_cast<std::int32_t>(EventWindow());
  } while (App.lastEventCode != EventCloseWindow || App.lastEventWindow != MainWindow);
}

}  // namespace

void ApplicationRun() {
  // Without its window the program has nothing to show and no way to be closed.
  if (WindowOpen(MainWindow, 150, 150, InnerWidth, InnerHeight, WindowTitle, MainWindowFlags) == 0) ProgramEnd();
  // The window slides in empty; the status bar comes afterwards.
  WindowSlideIn(WindowHandle(MainWindow), SlideMilliseconds);
  StatusBarCreate(StatusBar, WindowHandle(MainWindow));
  StatusBarAddField(StatusFieldWidth);
  FetchAndMerge();
  WaitForClose();
  WindowClose(MainWindow);
  ProgramEnd();
}
