#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "gui/event_codes.h"
#include "gui/message_box.h"
#include "gui/status_bar.h"
#include "gui/window.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

// The application's window: popup with caption, system menu, sizing border and minimize
// box, centred, started hidden; 340 by 125 inside.
constexpr std::uint32_t ApplicationFlags = 0x90CE0001;
// The same without the sizing border.
constexpr std::uint32_t FixedFlags = ApplicationFlags & ~static_cast<std::uint32_t>(WS_THICKFRAME);
constexpr ObjectId Bar = 2;
// "Файл  *mytle.txt* загружен" in Windows-1251, and in UTF-16.
constexpr const char* LoadedText = "\xD4\xE0\xE9\xEB  *mytle.txt* \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED";
const std::wstring LoadedWide = L"Файл  *mytle.txt* загружен";

class StatusBarTest : public GuiTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override {
    std::vector<LibraryStep> steps = GuiTest::ExtraStartSteps();
    steps.push_back({"common controls and COM", MessageBoxInit});
    steps.push_back({"status bars", StatusBarInit});
    return steps;
  }

  HWND OpenWindow(std::uint32_t flags) {
    HWND window = reinterpret_cast<HWND>(WindowOpen(0, 150, 150, 340, 125, "tle", flags));
    EXPECT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    Settle();
    return window;
  }

  static HWND Control(ObjectId bar) {
    auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, bar));
    return record != nullptr ? reinterpret_cast<HWND>(record->handle) : nullptr;
  }

  static std::vector<int> Edges(HWND control) {
    int edges[StatusFieldLimit] = {};
    const auto count = static_cast<int>(SendMessageW(control, SB_GETPARTS, StatusFieldLimit, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + count);
  }

  static RECT ClientOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
  }

  static std::wstring Text(HWND control, int field) {
    wchar_t text[512] = {};
    SendMessageW(control, SB_GETTEXTW, field, reinterpret_cast<LPARAM>(text));
    return text;
  }
};

TEST_F(StatusBarTest, OneFieldWiderThanTheWindowSpansTheBar) {
  HWND window = OpenWindow(ApplicationFlags);
  const NativeHandle created = StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window));
  ASSERT_NE(created, 0);
  HWND control = Control(Bar);
  EXPECT_EQ(reinterpret_cast<HWND>(created), control);
  StatusBarAddField(350);
  EXPECT_EQ(Edges(control), std::vector<int>{350});
  // Docked at the bottom across the whole window.
  RECT bar{};
  GetWindowRect(control, &bar);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.left, 0);
  EXPECT_EQ(bar.right, 340);
  EXPECT_EQ(bar.bottom, 125);
}

TEST_F(StatusBarTest, SharedFieldLeavesRoomForTheSizeGripOnlyWhereThereIsOne) {
  struct Case {
    const char* name;
    std::uint32_t flags;
    bool maximize;
    bool sizeGrip;
  };
  const Case cases[] = {
      {"sizing border", ApplicationFlags, false, true},
      {"no sizing border", FixedFlags, false, false},
      {"maximized", ApplicationFlags, true, false},
  };
  for (const Case& c : cases) {
    HWND window = OpenWindow(c.flags);
    ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0) << c.name;
    StatusBarAddField(IgnoreValue);
    StatusBarAddField(100);
    if (c.maximize) {
      ShowWindow(window, SW_MAXIMIZE);
      Settle();
      ASSERT_TRUE(IsZoomed(window)) << c.name;
    }
    HWND control = Control(Bar);
    const RECT client = ClientOf(control);
    const int right = c.sizeGrip ? client.right - client.bottom + 3 : client.right;
    EXPECT_EQ(Edges(control), (std::vector<int>{right - 100, right})) << c.name << ", bar " << client.right << "x"
                                                                      << client.bottom;
    WindowClose(0);
  }
}

TEST_F(StatusBarTest, TextIsAlignedByTabsAndShownInCyrillic) {
  HWND window = OpenWindow(ApplicationFlags);
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  StatusBarAddField(100);
  StatusBarAddField(100);
  StatusBarAddField(IgnoreValue);
  HWND control = Control(Bar);
  struct Case {
    int field;
    std::uint32_t flags;
    std::wstring shown;
    int border;  // the type bits the control reports
  };
  const std::wstring rightSuffix = ThemedControls == 1 ? L"    " : L"";
  const Case cases[] = {
      {0, StatusTextCentre, L"\t" + LoadedWide, 0},
      {1, StatusTextRight, L"\t\t" + LoadedWide + rightSuffix, 0},
      {2, 0, LoadedWide, 0},
      {0, StatusTextRaised | StatusTextNoBorder, LoadedWide, SBT_POPOUT},
      {1, StatusTextNoBorder | StatusTextCentre, L"\t" + LoadedWide, SBT_NOBORDERS},
      {2, StatusTextCentre | StatusTextRight, L"\t" + LoadedWide, 0},
  };
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, Bar));
  for (const Case& c : cases) {
    StatusBarSetText(Bar, c.field, LoadedText, c.flags);
    EXPECT_EQ(Text(control, c.field), c.shown) << "field " << c.field << " flags " << c.flags;
    const auto length = static_cast<DWORD>(SendMessageW(control, SB_GETTEXTLENGTHW, c.field, 0));
    EXPECT_EQ(HIWORD(length) & (SBT_POPOUT | SBT_NOBORDERS), c.border) << "flags " << c.flags;
    EXPECT_EQ(record->fields[c.field].textFlags, c.flags);
  }
  StatusBarSetText(Bar, 2, nullptr, 0);
  EXPECT_EQ(Text(control, 2), L"");
}

TEST_F(StatusBarTest, CreatingTheBarPostsNoSizeEventButLaterResizesDo) {
  HWND window = OpenWindow(ApplicationFlags);
  FetchQueued();
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, Bar));
  EXPECT_EQ(record->lastWidth, 340) << "the window was laid out as if sized";
  EXPECT_EQ(record->lastHeight, 125);
  EXPECT_TRUE(Only(FetchQueued(), {EventWindowSized}).empty());
  SetWindowPos(window, nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_FALSE(Only(FetchQueued(), {EventWindowSized}).empty()) << "posting must be resumed";
}

// Counts the part layouts the control receives, stacked on top of the bar's own subclass.
LONG_PTR PreviousControlProcedure = 0;
int PartLayouts = 0;
LRESULT CALLBACK CountingProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SB_SETPARTS) ++PartLayouts;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(PreviousControlProcedure), control, message, wParam, lParam);
}

TEST_F(StatusBarTest, ResizeRelaysTheFieldsOncePerRealChange) {
  HWND window = OpenWindow(ApplicationFlags);
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  StatusBarAddField(IgnoreValue);
  StatusBarAddField(100);
  HWND control = Control(Bar);
  PreviousControlProcedure =
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure));
  PartLayouts = 0;

  RECT outer{};
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 60, outer.bottom - outer.top + 10,
               SWP_NOMOVE | SWP_NOZORDER);
  Settle();
  EXPECT_EQ(PartLayouts, 1);
  const RECT client = ClientOf(window);
  EXPECT_EQ(client.right, 400);
  const RECT bar = ClientOf(control);
  EXPECT_EQ(Edges(control), (std::vector<int>{bar.right - bar.bottom + 3 - 100, bar.right - bar.bottom + 3}));

  // The same size again, and a minimize and restore, change nothing.
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  ShowWindow(window, SW_MINIMIZE);
  Settle();
  ShowWindow(window, SW_RESTORE);
  Settle();
  EXPECT_EQ(PartLayouts, 1);

  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  Settle();
  EXPECT_EQ(PartLayouts, 2);
}

TEST_F(StatusBarTest, SecondBarOnAWindowIsRefusedAndTheFirstStays) {
  HWND window = OpenWindow(ApplicationFlags);
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  StatusBarAddField(350);
  HWND first = Control(Bar);
  EXPECT_EQ(StatusBarCreate(3, reinterpret_cast<NativeHandle>(window)), 0);
  EXPECT_EQ(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  EXPECT_EQ(ObjectGet(StatusBarTable, 3), nullptr);
  ASSERT_EQ(Control(Bar), first);
  EXPECT_TRUE(IsWindow(first));
  StatusBarAddField(50);  // still extends the first bar
  EXPECT_EQ(Edges(first), (std::vector<int>{350, 400}));
  StatusBarSetText(Bar, 0, LoadedText, 0);
  EXPECT_EQ(Text(first, 0), LoadedWide);
}

TEST_F(StatusBarTest, ClosingTheWindowReleasesTheBarAndAllowsANewOne) {
  HWND window = OpenWindow(ApplicationFlags);
  const NativeHandle id = StatusBarCreate(DynamicNumber, reinterpret_cast<NativeHandle>(window));
  ASSERT_NE(id, 0);
  HWND control = Control(id);
  ASSERT_NE(control, nullptr);
  StatusBarAddField(350);
  WindowClose(0);
  EXPECT_FALSE(IsWindow(control));
  window = OpenWindow(ApplicationFlags);
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  StatusBarAddField(350);
  EXPECT_EQ(Edges(Control(Bar)), std::vector<int>{350});
  WindowClose(0);
  EXPECT_EQ(ObjectGet(StatusBarTable, Bar), nullptr);
}

TEST_F(StatusBarTest, FieldsStopAt256) {
  HWND window = OpenWindow(ApplicationFlags);
  ASSERT_NE(StatusBarCreate(Bar, reinterpret_cast<NativeHandle>(window)), 0);
  for (int i = 0; i < 257; ++i) StatusBarAddField(1);
  auto* record = static_cast<StatusBarRecord*>(ObjectGet(StatusBarTable, Bar));
  EXPECT_EQ(record->fieldCount, 256);
  EXPECT_EQ(Edges(Control(Bar)).back(), 256);
}

TEST_F(StatusBarTest, ThemeCheckReadsTheVersionOnce) {
  const std::uint32_t version = ThemeCheck();
  EXPECT_GE(version >> 16, 5u) << "common controls " << (version >> 16) << "." << (version & 0xFFFF);
  EXPECT_EQ(ThemeCheck(), version);
  EXPECT_TRUE(ThemedControls == 0 || (ThemedControls == 1 && version >= 0x60000));
}

}  // namespace
