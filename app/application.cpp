// The program's job: slide the window in, fetch the amateur and weather element sets of
// the primary server and join them into "mytle.txt", fetch the satellite list of the
// secondary server (each at most once every two hours, and kept only when it holds
// element sets), show progress in the status bar and failures in message boxes, then
// wait until the window is closed. Everything runs on the one thread, in this order.
#include "app/application.h"

#include <cstring>
#include <ctime>

#include "app/element_sets.h"
#include "app/embedded_picture.h"
#include "app/fetch_stamp.h"
#include "app/picture_stage.h"
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
#include "image/jpeg_decoder.h"
#include "net/connection.h"
#include "net/http_download.h"
#include "platform/platform_file.h"
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
  WorkAreaAppend("https://");
  WorkAreaAppend(source.server);
  WorkAreaAppend(source.path);
  StringAssign(variable, start);
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// Downloads the source to its temporary and keeps it only if it holds element sets: an
// error page, a refusal or a damaged file never goes further.
bool FetchElementSets(SourceIndex index, const char* temporary) {
  AssignUrl(&App.url, Sources[index]);
  if (HttpDownloadFile(App.url, temporary) != 0 && ElementSetFileValid(temporary)) return true;
  FileDelete(temporary);
  return false;
}

void ReportPrimaryServerDown() {
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend(PrimaryServerDownBefore);
  WorkAreaAppend(PrimaryServer);
  WorkAreaAppend(PrimaryServerDownAfter);
  StringAssign(&App.messageText, start);
  MessageBoxShow(PrimaryServerDownTitle, App.messageText, 0);
}

void ReportSavingFailed() { MessageBoxShow(SavingFailedTitle, SavingFailedText, 0); }

void AssignNextLine(char** variable, ObjectId file) {
  const std::int32_t start = WorkAreaPosition;
  FileReadLine(file, start);
  StringAssign(variable, start);
}

bool WriteWholeLine(const char* text) {
  const std::size_t length = text == nullptr ? 0 : std::strlen(text);
  return FileWriteLine(MergedFile, text) == static_cast<std::int32_t>(length + 2);
}

// Appends the temporary's lines to the merged file, two at a time: the end is tested once
// per pair, so an odd count of lines adds one empty line. False when the temporary cannot
// be read or a line was not written whole.
bool MergeTemporary(ObjectId file, const char* path) {
  if (FileOpenRead(file, path) == 0) return false;
  bool written = true;
  while (written && FileEof(file) == 0) {
    AssignNextLine(&App.firstLine, file);
    AssignNextLine(&App.secondLine, file);
    written = WriteWholeLine(App.firstLine) && WriteWholeLine(App.secondLine);
  }
  FileClose(file);
  return written;
}

// Joins both temporaries into "mytle.txt" in the current directory. The merge is written
// beside it and takes its place only when complete and still element sets on disk (which
// also catches a write the system refused while closing), so a merge that fails leaves
// the file from before as it was, and says so.
bool MergeTemporaries() {
  bool merged = FileCreate(MergedFile, MergedPartName) != 0;
  if (merged) {
    merged = MergeTemporary(FirstTemporary, App.firstTemporaryPath) &&
             MergeTemporary(SecondTemporary, App.secondTemporaryPath);
    FileClose(MergedFile);
    merged = merged && ElementSetFileValid(MergedPartName) && PlatformFileReplace(MergedPartName, MergedFileName);
  }
  if (!merged) {
    FileDelete(MergedPartName);
    ReportSavingFailed();
  }
  return merged;
}

// Files of an earlier run that ended abnormally: never to be merged or kept as new data.
void DeleteTemporaries() {
  FileDelete(App.firstTemporaryPath);
  FileDelete(App.secondTemporaryPath);
}

// A download cut off by the end of an earlier run leaves its target + ".part" behind.
void DeleteUnfinishedDownload(const char* target) {
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend(target);
  WorkAreaAppend(HttpDownloadTempSuffix);
  StringAssign(&App.unfinishedDownloadPath, start);
  FileDelete(App.unfinishedDownloadPath);
}

// The amateur and weather element sets, joined into "mytle.txt", unless an earlier run
// fetched them less than two hours ago. False when the primary server gave nothing usable:
// then nothing else is fetched.
bool FetchAndMergeElementSets() {
  if (FetchedRecently(MergedFileName, Now())) {
    StatusBarSetText(StatusBar, 0, MergedFileCurrentStatus, StatusTextCentre);
    return true;
  }
  if (!FetchElementSets(AmateurElements, App.firstTemporaryPath)) {
    ReportPrimaryServerDown();
    return false;
  }
  // Without the weather sets the file from before, which has both, is worth more than a
  // new one with half of them: it stays.
  if (!FetchElementSets(WeatherElements, App.secondTemporaryPath)) {
    ReportSavingFailed();
  } else if (MergeTemporaries()) {
    FetchStampWrite(MergedFileName, Now());
    StatusBarSetText(StatusBar, 0, MergedFileStatus, StatusTextCentre);
  }
  DeleteTemporaries();
  return true;
}

// The satellite list beside the program, unless an earlier run fetched it less than two
// hours ago. The list from before is replaced only by one that holds element sets; when
// the download fails the status bar keeps what it said, since nothing was loaded.
void FetchSatelliteList() {
  AssignProgramDirectoryFile(&App.satelliteListPath, SatelliteListName);
  if (FetchedRecently(App.satelliteListPath, Now())) {
    StatusBarSetText(StatusBar, 0, SatelliteListCurrentStatus, StatusTextCentre);
    return;
  }
  if (!FetchElementSets(SatelliteList, App.satelliteListTemporaryPath)) return;
  if (!PlatformFileReplace(App.satelliteListTemporaryPath, App.satelliteListPath)) {
    FileDelete(App.satelliteListTemporaryPath);
    return;
  }
  FetchStampWrite(App.satelliteListPath, Now());
  StatusBarSetText(StatusBar, 0, SatelliteListStatus, StatusTextCentre);
}

// The downloads, the merge and the satellite list, with their reports.
void FetchAndMerge() {
  NetworkInit();  // if the sockets do not start, the first download fails and says so
  AssignProgramDirectoryFile(&App.firstTemporaryPath, Sources[AmateurElements].savedAs);
  AssignProgramDirectoryFile(&App.secondTemporaryPath, Sources[WeatherElements].savedAs);
  AssignProgramDirectoryFile(&App.satelliteListTemporaryPath, Sources[SatelliteList].savedAs);
  DeleteTemporaries();
  FileDelete(App.satelliteListTemporaryPath);
  FileDelete(MergedPartName);
  DeleteUnfinishedDownload(App.firstTemporaryPath);
  DeleteUnfinishedDownload(App.secondTemporaryPath);
  DeleteUnfinishedDownload(App.satelliteListTemporaryPath);
  if (FetchAndMergeElementSets()) FetchSatelliteList();
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
  JpegDecoderRegister();  // the window's picture is a JPEG
  // Without its window the program has nothing to show and no way to be closed.
  if (WindowOpen(MainWindow, 150, 150, InnerWidth, InnerHeight, WindowTitle, MainWindowFlags) == 0) ProgramEnd();
  // The window slides in empty; the status bar and the picture come afterwards.
  WindowSlideIn(WindowHandle(MainWindow), SlideMilliseconds);
  StatusBarCreate(StatusBar, WindowHandle(MainWindow));
  StatusBarAddField(StatusFieldWidth);
  PictureShow(EmbeddedPicture, EmbeddedPictureSize);  // a picture that cannot be shown changes nothing else
  FetchAndMerge();
  WaitForClose();
  WindowClose(MainWindow);
  ProgramEnd();
}
