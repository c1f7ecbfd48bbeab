#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "gui/message_box.h"
#include "tests/gui/raw_windows_win32.h"
#include "tests/support/runtime_fixture.h"

namespace {

constexpr DWORD Shown = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

class MessageBoxTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override { return {{"common controls and COM", MessageBoxInit}}; }

  void SetUp() override {
    RuntimeTest::SetUp();
    foreground_ = RawWindowCreate(Shown);
    plain_ = RawWindowCreate(Shown);
    alreadyDisabled_ = RawWindowCreate(Shown | WS_DISABLED);
    hidden_ = RawWindowCreate(WS_OVERLAPPEDWINDOW);
    topmost_ = RawWindowCreate(Shown, WS_EX_TOPMOST);
    ASSERT_TRUE(foreground_ && plain_ && alreadyDisabled_ && hidden_ && topmost_);
    ASSERT_TRUE(IsTopmost(topmost_));
    otherThread_ = std::thread([this] {
      otherWindow_ = RawWindowCreate(Shown);
      otherReady_ = true;
      while (!otherDone_) {
        PumpMessages();
        Sleep(10);
      }
      DestroyWindow(otherWindow_);
      otherFinished_ = true;
    });
    ASSERT_TRUE(WaitFor([this] { return otherReady_.load(); }));
    ASSERT_TRUE(BringToForeground(foreground_));
  }

  void TearDown() override {
    otherDone_ = true;
    // Its window's destruction may send messages to this thread's windows.
    WaitFor([this] { return otherFinished_.load(); });
    otherThread_.join();
    for (HWND window : {foreground_, plain_, alreadyDisabled_, hidden_, topmost_}) DestroyWindow(window);
    RuntimeTest::TearDown();
  }

  // The state every window has before and after a box.
  void ExpectUntouched() {
    EXPECT_TRUE(IsWindowEnabled(foreground_));
    EXPECT_TRUE(IsWindowEnabled(plain_));
    EXPECT_FALSE(IsWindowEnabled(alreadyDisabled_));
    EXPECT_TRUE(IsWindowEnabled(hidden_));
    EXPECT_TRUE(IsWindowEnabled(topmost_));
    EXPECT_TRUE(IsTopmost(topmost_));
    EXPECT_TRUE(IsWindowEnabled(otherWindow_));
  }

  HWND foreground_ = nullptr, plain_ = nullptr, alreadyDisabled_ = nullptr, hidden_ = nullptr, topmost_ = nullptr;
  HWND otherWindow_ = nullptr;
  std::thread otherThread_;
  std::atomic<bool> otherReady_{false}, otherDone_{false}, otherFinished_{false};
};

TEST_F(MessageBoxTest, DisableTouchesOnlyVisibleEnabledWindowsOfThisThreadBesideTheForeground) {
  ThreadWindowsDisable();
  EXPECT_EQ(GetForegroundWindow(), foreground_) << "moving a window between bands must not activate it";
  EXPECT_TRUE(IsWindowEnabled(foreground_));
  EXPECT_FALSE(IsWindowEnabled(plain_));
  EXPECT_FALSE(IsWindowEnabled(alreadyDisabled_));
  EXPECT_TRUE(IsWindowEnabled(hidden_));
  EXPECT_FALSE(IsWindowEnabled(topmost_));
  EXPECT_FALSE(IsTopmost(topmost_));
  EXPECT_TRUE(IsWindowEnabled(otherWindow_));
  ThreadWindowsRestore();
  ExpectUntouched();
  EXPECT_EQ(GetForegroundWindow(), foreground_);
}

TEST_F(MessageBoxTest, InnerBoxRestoresOnlyItsOwnWindows) {
  ThreadWindowsDisable();
  HWND openedMeanwhile = RawWindowCreate(Shown);  // say, by a window procedure during the box
  ASSERT_TRUE(BringToForeground(foreground_));
  ThreadWindowsDisable();
  EXPECT_FALSE(IsWindowEnabled(openedMeanwhile));
  ThreadWindowsRestore();
  EXPECT_TRUE(IsWindowEnabled(openedMeanwhile));
  EXPECT_FALSE(IsWindowEnabled(plain_)) << "the outer box is still open";
  EXPECT_FALSE(IsWindowEnabled(topmost_));
  EXPECT_FALSE(IsTopmost(topmost_));
  ThreadWindowsRestore();
  ExpectUntouched();
  DestroyWindow(openedMeanwhile);
}

TEST_F(MessageBoxTest, OwnerIsTheForegroundWindowOfThisProcess) {
  EXPECT_EQ(MessageBoxOwner(), reinterpret_cast<NativeHandle>(foreground_));
}

// What a person sees of the open box, read from another thread while the box's own thread
// is inside it.
struct SeenBox {
  HWND dialog = nullptr;
  std::wstring title;
  std::wstring text;
  bool plainEnabled = true;
  bool ownerEnabled = true;
  bool topmostStillTopmost = true;
  bool alreadyDisabledEnabled = true;
  bool hiddenEnabled = false;
  bool otherEnabled = false;
  bool okPressed = false;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(parameter) = window;
  return FALSE;
}

BOOL CALLBACK FindText(HWND child, LPARAM parameter) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  if (_wcsicmp(className, L"Static") != 0 || text[0] == 0) return TRUE;
  *reinterpret_cast<std::wstring*>(parameter) = text;
  return FALSE;
}

TEST_F(MessageBoxTest, PersonReadsTheBoxInCyrillicAndPressesOk) {
  const DWORD boxThread = GetCurrentThreadId();
  SeenBox seen;
  std::thread person([&] {
    WaitFor([&] {
      EnumThreadWindows(boxThread, FindDialog, reinterpret_cast<LPARAM>(&seen.dialog));
      return seen.dialog != nullptr;
    });
    if (seen.dialog == nullptr) return;
    wchar_t title[256] = {};
    GetWindowTextW(seen.dialog, title, 256);
    seen.title = title;
    EnumChildWindows(seen.dialog, FindText, reinterpret_cast<LPARAM>(&seen.text));
    seen.plainEnabled = IsWindowEnabled(plain_);
    // The box disables its owner just after it appears.
    seen.ownerEnabled = !WaitFor([this] { return !IsWindowEnabled(foreground_); }, 2000);
    seen.topmostStillTopmost = IsTopmost(topmost_);
    seen.alreadyDisabledEnabled = IsWindowEnabled(alreadyDisabled_);
    seen.hiddenEnabled = IsWindowEnabled(hidden_);
    seen.otherEnabled = IsWindowEnabled(otherWindow_);
    HWND ok = GetDlgItem(seen.dialog, IDOK);
    seen.okPressed = ok != nullptr && PostMessageW(ok, BM_CLICK, 0, 0);
  });
  // "Ошибка" and "Не удалось загрузить файл" in Windows-1251.
  const std::int32_t result = MessageBoxShow("\xCE\xF8\xE8\xE1\xEA\xE0",
                                             "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xE7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC "
                                             "\xF4\xE0\xE9\xEB");
  person.join();
  ASSERT_NE(seen.dialog, nullptr) << "no message box appeared";
  EXPECT_EQ(seen.title, L"Ошибка");
  EXPECT_EQ(seen.text, L"Не удалось загрузить файл");
  EXPECT_TRUE(seen.okPressed);
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(seen.plainEnabled);
  EXPECT_FALSE(seen.ownerEnabled) << "the box disables its owner";
  EXPECT_FALSE(seen.topmostStillTopmost);
  EXPECT_FALSE(seen.alreadyDisabledEnabled);
  EXPECT_TRUE(seen.hiddenEnabled);
  EXPECT_TRUE(seen.otherEnabled);
  ExpectUntouched();
}

}  // namespace
