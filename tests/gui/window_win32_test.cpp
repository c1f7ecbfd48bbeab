// Real windows opened and closed under the window library.
#include <windows.h>

#include <string>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/window.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

constexpr std::uint32_t ApplicationFlags = 0x90CE0001;
// "Загрузка данных TLE" in Windows-1251 and in UTF-16.
const char* const RussianTitle = "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xE4\xE0\xED\xED\xFB\xF5 TLE";
const wchar_t* const RussianTitleWide =
    L"\x0417\x0430\x0433\x0440\x0443\x0437\x043A\x0430 \x0434\x0430\x043D\x043D\x044B\x0445 TLE";

HWND Hwnd(NativeHandle handle) { return reinterpret_cast<HWND>(handle); }

std::string ClassNameOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool ClassRegistered(const char* name) {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), name, &info) != 0;
}

using WindowTest = GuiTest;

TEST_F(WindowTest, ApplicationWindowIsHiddenWithItsStyleAndCentredWithTheInnerSizeAsked) {
  HWND window = Hwnd(WindowOpen(0, 150, 150, 340, 125, RussianTitle, ApplicationFlags));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowHandle(0), reinterpret_cast<NativeHandle>(window));
  EXPECT_FALSE(IsWindowVisible(window));
  // The system adds WS_CLIPSIBLINGS to every top-level window.
  const auto style = static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_STYLE));
  EXPECT_EQ(style & ~static_cast<std::uint32_t>(WS_CLIPSIBLINGS), 0x80CE0000u);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

  RECT inner;
  GetClientRect(window, &inner);
  EXPECT_EQ(inner.right - inner.left, 340);
  EXPECT_EQ(inner.bottom - inner.top, 125);
  // The outer frame is centred on the whole screen; the given position 150,150 is overridden.
  RECT outer;
  GetWindowRect(window, &outer);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(outer.left, (screenWidth - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (screenHeight - (outer.bottom - outer.top)) / 2);
  // The inner area sits inside the frame, horizontally centred.
  POINT corner{0, 0};
  ClientToScreen(window, &corner);
  EXPECT_EQ(corner.x, (screenWidth - 340) / 2);
  EXPECT_GE(corner.y, outer.top);
  EXPECT_LE(corner.y + 125, outer.bottom);
}

TEST_F(WindowTest, RussianTitleReadsCorrectlyWhateverTheCodePage) {
  HWND window = Hwnd(WindowOpen(1, 10, 10, 200, 80, RussianTitle, 0));
  ASSERT_NE(window, nullptr);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_EQ(std::wstring(title), std::wstring(RussianTitleWide));
  // Internal title storage, read without the window procedure.
  InternalGetWindowText(window, title, 64);
  EXPECT_EQ(std::wstring(title), std::wstring(RussianTitleWide));
}

TEST_F(WindowTest, EachWindowHasItsOwnClassWithTheProgramIconAndItsNumberProperty) {
  HWND window = Hwnd(WindowOpen(5, 0, 0, 100, 50, nullptr, 0));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ClassNameOf(window), "WindowClass_5");
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(GetPropA(window, "QV_WindowID")), 6);
  EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(16));
  EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u);
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HICON),
            reinterpret_cast<ULONG_PTR>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))));
  // Shown normally with a caption when no flag asks otherwise.
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);

  WindowClose(5);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(ClassRegistered("WindowClass_5"));
  EXPECT_EQ(WindowHandle(5), 0);
  WindowClose(5);  // a second close finds nothing to do
}

TEST_F(WindowTest, ExecutableAsksForCommonControlsSix) {
  HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  const auto* text = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
  const std::string body(text, SizeofResource(nullptr, manifest));
  EXPECT_NE(body.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(body.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST_F(WindowTest, ReopeningANumberClosesTheOldWindowFirst) {
  HWND first = Hwnd(WindowOpen(0, 0, 0, 100, 50, "one", 0));
  HWND second = Hwnd(WindowOpen(0, 0, 0, 120, 60, "two", 0));
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(WindowHandle(0), reinterpret_cast<NativeHandle>(second));
  EXPECT_EQ(ClassNameOf(second), "WindowClass_0");
}

TEST_F(WindowTest, DynamicWindowIsNamedByItsId) {
  const NativeHandle id = WindowOpen(DynamicNumber, 0, 0, 100, 50, "dynamic", 0);
  ASSERT_NE(id, 0);
  HWND window = Hwnd(WindowHandle(id));
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(ClassNameOf(window), "WindowClass_" + std::to_string(id));
  EXPECT_EQ(reinterpret_cast<ObjectId>(GetPropA(window, "QV_WindowID")), id + 1);
  WindowClose(id);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(WindowHandle(id), 0);
}

TEST_F(WindowTest, FailedCreationLeavesNoWindowNoClassAndNoRecord) {
  HWND open = Hwnd(WindowOpen(3, 0, 0, 100, 50, "open", 0));
  ASSERT_NE(open, nullptr);
  // An owner that is no window makes the creation fail.
  const NativeHandle result = WindowOpen(3, 0, 0, 100, 50, "bad", 0, 0x7FFF0);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(IsWindow(open));  // the window that was open under 3 stays closed
  EXPECT_EQ(WindowHandle(3), 0);
  EXPECT_FALSE(ClassRegistered("WindowClass_3"));
}

TEST_F(WindowTest, CentresOnTheOwnerGivenOrOnTheScreenWithoutOne) {
  HWND owner = Hwnd(WindowOpen(0, 40, 60, 500, 400, "owner", WS_POPUP));
  ASSERT_NE(owner, nullptr);
  HWND owned = Hwnd(WindowOpen(1, 0, 0, 100, 50, "owned", WS_POPUP | WindowCentreOwner,
                               reinterpret_cast<NativeHandle>(owner)));
  ASSERT_NE(owned, nullptr);
  RECT o, w;
  GetWindowRect(owner, &o);
  GetWindowRect(owned, &w);
  EXPECT_EQ(w.left, o.left + ((o.right - o.left) - (w.right - w.left)) / 2);
  EXPECT_EQ(w.top, o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);

  // No owner and no active window: centred on the screen.
  WindowClose(AllObjects);
  Settle();
  ASSERT_EQ(GetActiveWindow(), nullptr);
  HWND lone = Hwnd(WindowOpen(2, 0, 0, 100, 50, "lone", WS_POPUP | WindowCentreOwner | WindowStartHidden));
  ASSERT_NE(lone, nullptr);
  GetWindowRect(lone, &w);
  EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2);
  EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2);
}

TEST_F(WindowTest, ToolFrameIgnoresStartMaximized) {
  HWND window = Hwnd(WindowOpen(0, 0, 0, 100, 50, "tool", WindowToolFrame | WindowStartMaximized | WS_SYSMENU));
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(WindowTest, ClosingAWindowDropsItsQueuedEventsAndKeepsOthersInOrder) {
  HWND one = Hwnd(WindowOpen(1, 0, 0, 100, 50, "one", 0));
  HWND two = Hwnd(WindowOpen(2, 0, 0, 100, 50, "two", 0));
  Settle();
  SendMessageA(two, WM_CLOSE, 0, 0);
  SendMessageA(one, WM_CLOSE, 0, 0);
  SendMessageA(two, WM_LBUTTONUP, 0, 0);
  SendMessageA(one, WM_RBUTTONUP, 0, 0);
  WindowClose(1);
  const std::vector<SeenEvent> expected = {{EventCloseWindow, 2, 2, 0}, {EventClickLeft, 2, 0, 0}};
  EXPECT_EQ(Only(FetchQueued(), {EventCloseWindow, EventClickLeft, EventClickRight}), expected);
}

TEST_F(WindowTest, WindowDestroyedWithItsOwnerReleasesItsRecordOnce) {
  HWND owner = Hwnd(WindowOpen(0, 0, 0, 300, 200, "owner", WS_POPUP));
  HWND owned = Hwnd(WindowOpen(1, 0, 0, 100, 50, "owned", WS_POPUP, reinterpret_cast<NativeHandle>(owner)));
  ASSERT_NE(owned, nullptr);
  Settle();
  SendMessageA(owned, WM_CLOSE, 0, 0);  // queues an event of window 1
  WindowClose(0);
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_EQ(WindowHandle(1), 0);
  EXPECT_TRUE(Only(FetchQueued(), {EventCloseWindow}).empty());
  // A new window of the same number opens normally.
  HWND again = Hwnd(WindowOpen(1, 0, 0, 100, 50, "again", 0));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(ClassNameOf(again), "WindowClass_1");
  WindowClose(1);
  EXPECT_FALSE(ClassRegistered("WindowClass_1"));
}

TEST_F(WindowTest, EndWithoutStartFindsNothingToDo) {
  WindowEnd();
  WindowEnd();
  EXPECT_EQ(WindowOpen(0, 0, 0, 100, 50, "late", 0), 0);
  WindowClose(AllObjects);
}

}  // namespace
