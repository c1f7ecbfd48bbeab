// Keyboard navigation between real tab-stop controls, and the gadget layer.
#include <windows.h>

#include <vector>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/event_loop.h"
#include "gui/focus.h"
#include "gui/gadget.h"
#include "gui/window.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

HWND Button(HWND parent, int id, DWORD extraStyle = WS_TABSTOP) {
  return CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | extraStyle, 10 + 30 * id, 10, 25,
                         20, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                         nullptr);
}

void PressTab(bool withShift) {
  INPUT keys[4] = {};
  int count = 0;
  auto key = [&](WORD vk, bool up) {
    keys[count].type = INPUT_KEYBOARD;
    keys[count].ki.wVk = vk;
    keys[count].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++count;
  };
  if (withShift) key(VK_SHIFT, false);
  key(VK_TAB, false);
  key(VK_TAB, true);
  if (withShift) key(VK_SHIFT, true);
  SendInput(count, keys, sizeof(INPUT));
}

class FocusTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    window_ = reinterpret_cast<HWND>(WindowOpen(0, 50, 50, 300, 100, "focus", WS_POPUP));
    ASSERT_NE(window_, nullptr);
    first_ = Button(window_, 1);
    Button(window_, 2, WS_TABSTOP | WS_DISABLED);  // skipped: disabled
    HWND hidden = Button(window_, 3);              // skipped: hidden
    ShowWindow(hidden, SW_HIDE);
    Button(window_, 4, 0);                          // skipped: no tab stop
    second_ = Button(window_, 5);
    third_ = Button(window_, 6);
    Activate(window_);
    ASSERT_EQ(GetActiveWindow(), window_);
  }
  // Presses Tab (or Shift+Tab) on the keyboard and runs the loop until the focus moves.
  HWND TabFrom(HWND from, bool backward) {
    SetFocus(from);
    Settle();
    PressTab(backward);
    for (int i = 0; i < 100 && GetFocus() == from; ++i) EventWaitTimeout(10);
    Settle();
    return GetFocus();
  }
  HWND window_ = nullptr, first_ = nullptr, second_ = nullptr, third_ = nullptr;
};

TEST_F(FocusTest, TabMovesThroughEnabledVisibleTabStopsAndWraps) {
  EXPECT_EQ(TabFrom(first_, false), second_);
  EXPECT_EQ(TabFrom(second_, false), third_);
  EXPECT_EQ(TabFrom(third_, false), first_);
}

TEST_F(FocusTest, ShiftTabMovesBackAndWrapsToTheLast) {
  EXPECT_EQ(TabFrom(third_, true), second_);
  EXPECT_EQ(TabFrom(first_, true), third_);
}

TEST_F(FocusTest, TabIsNotPostedAsAnEvent) {
  SetFocus(first_);
  Settle();
  PressTab(false);
  const std::vector<SeenEvent> seen = PumpFor(300);
  EXPECT_EQ(GetFocus(), second_);
  EXPECT_TRUE(Only(seen, {EventMenuCommand, EventGadgetAction}).empty());
}

TEST_F(FocusTest, FocusOutsideTheWindowGoesToTheFirstOrLastStop) {
  SetFocus(window_);  // the window itself is not inside the container
  TabNavigate(false);
  EXPECT_EQ(GetFocus(), first_);
  SetFocus(window_);
  TabNavigate(true);
  EXPECT_EQ(GetFocus(), third_);
}

TEST_F(FocusTest, ReactivationGivesTheFocusBackToTheControlThatHadIt) {
  SetFocus(second_);
  HWND other = reinterpret_cast<HWND>(WindowOpen(1, 400, 300, 100, 50, "other", WS_POPUP));
  Activate(other);
  EXPECT_NE(GetFocus(), second_);
  EXPECT_EQ(GetPropA(window_, "QV_Focus"), second_);
  Activate(window_);
  EXPECT_EQ(GetFocus(), second_);
}

// Records the UI-state updates a window is sent, then passes them on.
std::vector<WPARAM> UiUpdates;
WNDPROC RecorderPrevious;
LRESULT CALLBACK RecordUiUpdates(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_UPDATEUISTATE) UiUpdates.push_back(wParam);
  return CallWindowProcW(RecorderPrevious, window, message, wParam, lParam);
}

TEST_F(FocusTest, DeactivationHidesTheFocusCues) {
  UiUpdates.clear();
  RecorderPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordUiUpdates)));
  HWND other = reinterpret_cast<HWND>(WindowOpen(1, 400, 300, 100, 50, "other", WS_POPUP));
  Activate(other);
  ASSERT_FALSE(UiUpdates.empty());
  // The cues start visible here, so deactivation hides both.
  EXPECT_EQ(UiUpdates.front(), static_cast<WPARAM>(0x30001));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecorderPrevious));
}

TEST_F(FocusTest, WindowWithoutTabStopsKeepsItsFocus) {
  HWND bare = reinterpret_cast<HWND>(WindowOpen(2, 0, 0, 100, 50, "bare", WS_POPUP));
  HWND plain = Button(bare, 1, 0);
  Activate(bare);
  SetFocus(plain);
  TabNavigate(false);
  EXPECT_EQ(GetFocus(), plain);
  TabNavigate(true);
  EXPECT_EQ(GetFocus(), plain);
}

TEST_F(FocusTest, AcceleratorTableIsThatOfTheActiveRuntimeWindow) {
  auto* record = static_cast<WindowRecord*>(ObjectGet(WindowTable, 0));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->acceleratorCount, 2);
  EXPECT_EQ(AcceleratorFor(reinterpret_cast<NativeHandle>(window_)), record->acceleratorTable);
  ACCEL entries[2] = {};
  ASSERT_EQ(CopyAcceleratorTableA(reinterpret_cast<HACCEL>(record->acceleratorTable), entries, 2), 2);
  EXPECT_EQ(entries[0].key, VK_TAB);
  EXPECT_EQ(entries[0].cmd, CommandTabNext);
  EXPECT_EQ(entries[1].fVirt & FSHIFT, FSHIFT);
  EXPECT_EQ(entries[1].cmd, CommandTabPrevious);
  // A control that keeps every key for itself switches the table off.
  SetFocus(first_);
  SetPropA(first_, "QV_Hotkey", reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(AcceleratorFor(reinterpret_cast<NativeHandle>(window_)), 0);
  RemovePropA(first_, "QV_Hotkey");
  EXPECT_EQ(AcceleratorFor(0), 0);
}

// A gadget kind for the tests: counts releases and may handle notifications.
int Releases;
int Notifications;
void CountRelease(GadgetRecord*) { ++Releases; }
// Handles only WM_COMMAND: the buttons also send colour messages while they paint.
std::intptr_t HandleNotification(GadgetRecord*, NativeHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) {
  if (message != WM_COMMAND) return ResultNotHandled;
  ++Notifications;
  return 5;
}
const GadgetKind CountingKind = {nullptr, CountRelease};
const GadgetKind HandlingKind = {HandleNotification, CountRelease};

class GadgetTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    Releases = 0;
    Notifications = 0;
  }
  // A button made a gadget in the current gadget list.
  static HWND MakeGadget(ObjectId number, const GadgetKind* kind, NativeHandle* id = nullptr) {
    HWND parent = reinterpret_cast<HWND>(GadgetListUse(0));
    HWND control = CreateWindowExA(0, "BUTTON", "g", WS_CHILD | WS_VISIBLE, 5, 5, 40, 20, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    auto* record = static_cast<GadgetRecord*>(ObjectNew(GadgetTable, number));
    const NativeHandle result = GadgetRegister(number, record, reinterpret_cast<NativeHandle>(control), kind);
    if (id != nullptr) *id = result;
    return control;
  }
};

TEST_F(GadgetTest, RegisteredGadgetCarriesItsNumberAndPostsItsNotifications) {
  HWND window = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 200, 100, "gadgets", 0));
  HWND control = MakeGadget(0, &CountingKind);
  EXPECT_EQ(GetParent(control), window);
  EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), 0);
  EXPECT_EQ(GetPropA(control, "QV_ID"), nullptr);
  EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  Settle();
  // A real click on the button: the button's notification reaches the window.
  SendMessageA(control, BM_CLICK, 0, 0);
  EXPECT_EQ(Only(FetchQueued(), {EventGadgetAction}),
            (std::vector<SeenEvent>{{EventGadgetAction, 1, 0, BN_CLICKED}}));
  GadgetEventPost(reinterpret_cast<NativeHandle>(control), 7);
  EXPECT_EQ(FetchQueued(), (std::vector<SeenEvent>{{EventGadgetAction, 1, 0, 7}}));
}

TEST_F(GadgetTest, ForwardOffersOnlyGadgetsToTheirKind) {
  HWND window = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 200, 100, "gadgets", 0));
  // A plain child whose identifier is 0 and which has no "QV_ID" is not gadget 0.
  HWND plain = CreateWindowExA(0, "BUTTON", "p", WS_CHILD | WS_VISIBLE, 60, 5, 40, 20, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND gadget = MakeGadget(0, &HandlingKind);
  const auto parent = reinterpret_cast<NativeHandle>(window);
  EXPECT_EQ(GadgetForward(reinterpret_cast<NativeHandle>(plain), parent, WM_COMMAND, 0, 0), ResultNotHandled);
  EXPECT_EQ(GadgetForward(0, parent, WM_COMMAND, 0, 0), ResultNotHandled);
  EXPECT_EQ(Notifications, 0);
  EXPECT_EQ(GadgetForward(reinterpret_cast<NativeHandle>(gadget), parent, WM_COMMAND, 0, 0), 5);
  EXPECT_EQ(Notifications, 1);
  // A command from the plain child is an ordinary control notification, not the gadget's.
  Settle();
  EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(plain)), 0);
  EXPECT_EQ(Notifications, 1);
  EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(gadget)), 5);
  EXPECT_EQ(Notifications, 2);
}

TEST_F(GadgetTest, ClosingTheWindowReleasesItsGadgetsOnceAndDropsTheirEvents) {
  HWND window = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 200, 100, "gadgets", 0));
  HWND control = MakeGadget(3, &CountingKind);
  NativeHandle dynamicId = 0;
  MakeGadget(DynamicNumber, &CountingKind, &dynamicId);
  ASSERT_NE(ObjectGet(GadgetTable, dynamicId), nullptr);
  HWND other = reinterpret_cast<HWND>(WindowOpen(2, 0, 0, 200, 100, "others", 0));
  Settle();
  GadgetEventPost(reinterpret_cast<NativeHandle>(control), 1);
  SendMessageA(other, WM_LBUTTONUP, 0, 0);
  WindowClose(1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Releases, 2);
  EXPECT_EQ(ObjectGet(GadgetTable, 3), nullptr);
  EXPECT_EQ(ObjectGet(GadgetTable, dynamicId), nullptr);
  EXPECT_EQ(Only(FetchQueued(), {EventGadgetAction, EventClickLeft}),
            (std::vector<SeenEvent>{{EventClickLeft, 2, 0, 0}}));
  WindowClose(AllObjects);
  EXPECT_EQ(Releases, 2);
}

TEST_F(GadgetTest, ReusingANumberOrShuttingDownReleasesEachGadgetExactlyOnce) {
  WindowOpen(1, 0, 0, 200, 100, "gadgets", 0);
  HWND first = MakeGadget(4, &CountingKind);
  HWND second = MakeGadget(4, &CountingKind);  // destroys the first control
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(Releases, 1);
  EXPECT_EQ(reinterpret_cast<GadgetRecord*>(ObjectGet(GadgetTable, 4))->handle, reinterpret_cast<NativeHandle>(second));
  // Shut-down closes the windows, which destroys the remaining gadget.
  WindowEnd();
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(Releases, 2);
}

TEST_F(GadgetTest, TheNewestWindowIsTheGadgetListUntilItIsDestroyed) {
  HWND first = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 200, 100, "first", 0));
  EXPECT_EQ(GadgetListUse(0), reinterpret_cast<NativeHandle>(first));
  HWND second = reinterpret_cast<HWND>(WindowOpen(2, 0, 0, 200, 100, "second", 0));
  EXPECT_EQ(GadgetListUse(0), reinterpret_cast<NativeHandle>(second));
  // A window opened without a gadget list leaves the list alone.
  WindowOpen(3, 0, 0, 200, 100, "third", WindowNoGadgetList);
  EXPECT_EQ(GadgetListUse(0), reinterpret_cast<NativeHandle>(second));
  WindowClose(2);
  EXPECT_EQ(GadgetListUse(0), 0);
  // Making the first window the list again returns the previous one (none).
  EXPECT_EQ(GadgetListUse(reinterpret_cast<NativeHandle>(first)), 0);
  EXPECT_EQ(GadgetListUse(0), reinterpret_cast<NativeHandle>(first));
  // A gadget's owning window is its runtime window.
  HWND control = MakeGadget(0, &CountingKind);
  EXPECT_EQ(OwningWindow(reinterpret_cast<NativeHandle>(control)), reinterpret_cast<NativeHandle>(first));
}

}  // namespace
