// The image gadget in a real window under Wine: its size, the picture it paints (opaque
// and blended), the messages it answers and the mouse actions it reports.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "event/event_queue.h"
#include "gui/event_codes.h"
#include "gui/event_loop.h"
#include "gui/gadget.h"
#include "gui/image_gadget.h"
#include "gui/window.h"
#include "image/bitmap_alpha.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

// 0xAARRGGBB of pixel (x, y), y counted from the top.
using PixelRule = std::function<std::uint32_t(int x, int y)>;

HBITMAP Section(int width, int height, int bits, const PixelRule& pixel) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, like the images the program decodes
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = BI_RGB;
  void* memory = nullptr;
  HBITMAP section =
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &memory, nullptr, 0);
  if (section == nullptr) return nullptr;
  const int bytes = bits / 8;
  const int stride = ((width * bits + 31) / 32) * 4;
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<unsigned char*>(memory) + stride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t value = pixel(x, y);
      for (int b = 0; b < bytes; ++b) row[x * bytes + b] = static_cast<unsigned char>(value >> (8 * b));
    }
  }
  return section;
}

NativeHandle H(HGDIOBJ object) { return reinterpret_cast<NativeHandle>(object); }

SIZE OuterSize(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// 0x00RRGGBB as the window shows it at (x, y) of its inner area.
std::uint32_t ShownAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

std::uint32_t Background() {
  const COLORREF colour = GetSysColor(COLOR_BTNFACE);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

bool Near(std::uint32_t shown, std::uint32_t expected, int tolerance = 2) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((shown >> shift) & 0xFF);
    const int b = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

class ImageGadgetTest : public GuiTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override {
    return {{"event queue", EventInit},
            {"bitmap alpha support", BitmapAlphaInit},
            {"windows", WindowInit},
            {"gadget layer", GadgetInit}};
  }
  std::vector<LibraryStep> ExtraEndSteps() override {
    return {{"windows", WindowEnd}, {"bitmap alpha support", BitmapAlphaEnd}, {"event queue", EventEnd}};
  }
  void SetUp() override {
    GuiTest::SetUp();
    window_ = reinterpret_cast<HWND>(WindowOpen(0, 40, 40, 340, 125, "picture", 0));
    ASSERT_NE(window_, nullptr);
    Settle();
  }
  void TearDown() override {
    WindowClose(AllObjects);
    for (HGDIOBJ bitmap : bitmaps_) DeleteObject(bitmap);
    GuiTest::TearDown();
  }
  HBITMAP Keep(HBITMAP bitmap) {
    bitmaps_.push_back(bitmap);
    return bitmap;
  }
  HBITMAP Opaque(int width, int height, const PixelRule& pixel) { return Keep(Section(width, height, 24, pixel)); }
  HWND Gadget(ObjectId number, HBITMAP picture, std::uint32_t flags = 0, int width = 330, int height = 100) {
    const NativeHandle control = ImageGadgetCreate(number, 5, 5, width, height, H(picture), flags);
    Settle();
    return reinterpret_cast<HWND>(control);
  }
  static GadgetRecord* Record(ObjectId number) { return static_cast<GadgetRecord*>(ObjectGet(GadgetTable, number)); }

  HWND window_ = nullptr;
  std::vector<HGDIOBJ> bitmaps_;
};

// A picture whose every pixel differs from its neighbours, so a shift shows.
std::uint32_t Pattern(int x, int y) {
  return (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>(y) << 8) | 0x40;
}

TEST_F(ImageGadgetTest, ApplicationPictureKeepsItsSizeAndIsDrawnUnscaledAtTheCorner) {
  HWND control = Gadget(0, Opaque(330, 100, Pattern));
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(GetParent(control), window_);
  EXPECT_EQ(OuterSize(control).cx, 330);
  EXPECT_EQ(OuterSize(control).cy, 100);
  ASSERT_NE(Record(0), nullptr);
  EXPECT_EQ(Record(0)->kindFields[ImageFieldAlphaCopy], 0);
  for (const POINT& at : {POINT{0, 0}, POINT{329, 0}, POINT{0, 99}, POINT{329, 99}, POINT{123, 45}}) {
    EXPECT_EQ(ShownAt(window_, 5 + at.x, 5 + at.y), Pattern(at.x, at.y) & 0xFFFFFF) << at.x << "," << at.y;
  }
  EXPECT_EQ(ShownAt(window_, 4, 4), Background());
  EXPECT_EQ(ShownAt(window_, 335, 105), Background());
}

TEST_F(ImageGadgetTest, ControlTakesThePictureSizePlusItsBorder) {
  struct Case {
    std::uint32_t flags;
    int width, height;
  };
  const Case cases[] = {{0, 200, 50}, {ImageBorderSunken, 204, 54}, {ImageBorderRaised, 204, 54},
                        {ImageBorderSunken | ImageBorderRaised, 204, 54}};
  HBITMAP picture = Opaque(200, 50, Pattern);
  for (const Case& c : cases) {
    HWND control = Gadget(1, picture, c.flags);
    ASSERT_NE(control, nullptr) << c.flags;
    EXPECT_EQ(OuterSize(control).cx, c.width) << c.flags;
    EXPECT_EQ(OuterSize(control).cy, c.height) << c.flags;
  }
  // The sunken border's inside starts 2 pixels in.
  EXPECT_EQ(ShownAt(window_, 7, 7), Pattern(0, 0));
  EXPECT_EQ(ShownAt(window_, 7 + 199, 7 + 49), Pattern(199, 49));
  // An icon gives its colour bitmap's size.
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  HWND iconControl = reinterpret_cast<HWND>(ImageGadgetCreate(2, 5, 5, 100, 100, reinterpret_cast<NativeHandle>(icon)));
  EXPECT_EQ(OuterSize(iconControl).cx, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(OuterSize(iconControl).cy, GetSystemMetrics(SM_CYICON));
}

TEST_F(ImageGadgetTest, AnswersForItsPictureAndSetsANewOne) {
  HBITMAP first = Opaque(20, 10, Pattern);
  HWND control = Gadget(DynamicNumber, first);
  // DynamicNumber returns the id, not the control.
  const NativeHandle id = reinterpret_cast<NativeHandle>(control);
  ASSERT_NE(Record(id), nullptr);
  control = reinterpret_cast<HWND>(Record(id)->handle);
  EXPECT_EQ(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(SendMessageA(control, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(first));
  HBITMAP second = Opaque(30, 15, Pattern);
  EXPECT_EQ(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(second));
  EXPECT_EQ(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
  EXPECT_EQ(OuterSize(control).cx, 30);
  EXPECT_EQ(OuterSize(control).cy, 15);
}

// Left half fully transparent, then half-transparent (blue 200, green 100, red 50 at
// alpha 128), then opaque red.
std::uint32_t Translucent(int x, int) {
  if (x < 10) return 0x00FFFFFF;
  if (x < 20) return 0x803264C8u;
  return 0xFFFF0000u;
}

TEST_F(ImageGadgetTest, AlphaPictureIsBlendedOverTheWindowBackground) {
  HBITMAP picture = Keep(Section(30, 10, 32, Translucent));
  HWND control = Gadget(0, picture);
  ASSERT_NE(control, nullptr);
  ASSERT_NE(Record(0)->kindFields[ImageFieldAlphaCopy], 0);
  EXPECT_EQ(OuterSize(control).cx, 30);
  const std::uint32_t background = Background();
  EXPECT_TRUE(Near(ShownAt(window_, 5 + 2, 5 + 5), background)) << std::hex << ShownAt(window_, 7, 10);
  EXPECT_EQ(ShownAt(window_, 5 + 25, 5 + 5), 0xFF0000u);
  // Source over: premultiplied colour plus the background times (255 - alpha) / 255.
  auto over = [&](int shift, int premultiplied) {
    const int behind = static_cast<int>((background >> shift) & 0xFF);
    return static_cast<std::uint32_t>(premultiplied + behind * (255 - 128) / 255) << shift;
  };
  const std::uint32_t mixed = over(16, 25) | over(8, 50) | over(0, 100);
  EXPECT_TRUE(Near(ShownAt(window_, 5 + 15, 5 + 5), mixed)) << std::hex << ShownAt(window_, 20, 10) << " " << mixed;
  // A repaint of the window shows the same.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(Near(ShownAt(window_, 5 + 15, 5 + 5), mixed));
}

TEST_F(ImageGadgetTest, PictureZeroKeepsTheSizeDropsTheAlphaCopyAndShowsTheWindow) {
  HWND control = Gadget(0, Keep(Section(30, 10, 32, [](int, int) { return 0xFF0000FFu; })));
  const NativeHandle copy = Record(0)->kindFields[ImageFieldAlphaCopy];
  ASSERT_NE(copy, 0);
  SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
  EXPECT_EQ(Record(0)->kindFields[ImageFieldAlphaCopy], 0);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(copy)), 0u);  // deleted
  // An opaque picture taken away: only the repaint behind the control can clear it.
  SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Opaque(30, 10, Pattern)));
  Settle();
  ASSERT_EQ(ShownAt(window_, 10, 10), Pattern(5, 5));
  SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
  EXPECT_EQ(OuterSize(control).cx, 30);
  EXPECT_EQ(OuterSize(control).cy, 10);
  EXPECT_EQ(ShownAt(window_, 10, 10), Background());
}

TEST_F(ImageGadgetTest, ClosingTheWindowDeletesTheAlphaCopyButNotThePicture) {
  HBITMAP picture = Keep(Section(8, 8, 32, [](int, int) { return 0x80808080u; }));
  Gadget(0, picture);
  const NativeHandle copy = Record(0)->kindFields[ImageFieldAlphaCopy];
  ASSERT_NE(copy, 0);
  WindowClose(0);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(copy)), 0u);
  EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
}

TEST_F(ImageGadgetTest, CreationFailsWithoutAGadgetList) {
  WindowClose(0);
  ASSERT_EQ(GadgetListUse(0), 0);
  EXPECT_EQ(ImageGadgetCreate(0, 5, 5, 10, 10, 0), 0);
  EXPECT_EQ(Record(0), nullptr);
}

// Real mouse input at points of the control.
class ImageGadgetMouseTest : public ImageGadgetTest {
 protected:
  void SetUp() override {
    ImageGadgetTest::SetUp();
    control_ = Gadget(0, Opaque(330, 100, Pattern));
    ASSERT_NE(control_, nullptr);
    Activate(window_);
    PumpFor(GetDoubleClickTime() + 100);  // no double-click with an earlier test's clicks
    seen_.clear();
  }
  // Moves the pointer to (x, y) of the control's inner area.
  void MoveTo(int x, int y) {
    POINT at{x, y};
    ClientToScreen(control_, &at);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (at.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
    move.mi.dy = (at.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
    Remember(PumpFor(30));
  }
  void Button(DWORD flags) {
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = flags;
    SendInput(1, &press, sizeof press);
  }
  void Click(DWORD down, DWORD up) {
    Button(down);
    Button(up);
  }
  void Remember(const std::vector<SeenEvent>& events) { seen_.insert(seen_.end(), events.begin(), events.end()); }
  // The gadget actions since the last call, after running the loop a little longer.
  std::vector<SeenEvent> Actions(int milliseconds = 300) {
    Remember(PumpFor(milliseconds));
    std::vector<SeenEvent> actions = Only(seen_, {EventGadgetAction});
    seen_.clear();
    return actions;
  }
  static SeenEvent Action(std::int32_t type) { return SeenEvent{EventGadgetAction, 0, 0, type}; }

  HWND control_ = nullptr;
  std::vector<SeenEvent> seen_;
};

TEST_F(ImageGadgetMouseTest, PointerReachesTheControl) {
  MoveTo(100, 50);
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(control_, &at);
  EXPECT_EQ(at.x, 100);
  EXPECT_EQ(at.y, 50);
}

TEST_F(ImageGadgetMouseTest, LeftClickIsReportedByTheStaticControl) {
  MoveTo(100, 50);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventClick)}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ImageGadgetMouseTest, LeftDoubleClickPostsTypeTwoAndNoStaticDoubleClick) {
  MoveTo(100, 50);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventClick), Action(ImageEventDoubleClick)}));
}

TEST_F(ImageGadgetMouseTest, RightClickPostsItsRelease) {
  MoveTo(100, 50);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventRightRelease)}));
}

TEST_F(ImageGadgetMouseTest, RightDoubleClickPostsTheFirstReleaseAndTheDoubleClickOnly) {
  MoveTo(100, 50);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventRightRelease), Action(ImageEventRightDoubleClick)}));
  // The next right click is reported again.
  Actions(GetDoubleClickTime() + 100);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventRightRelease)}));
}

TEST_F(ImageGadgetMouseTest, DragStartsOnceBeyondTheThresholdAndEndsTheCapture) {
  const int across = GetSystemMetrics(SM_CXDRAG);
  const int down = GetSystemMetrics(SM_CYDRAG);
  MoveTo(100, 50);
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(ImageEventClick)}));
  EXPECT_EQ(GetCapture(), control_);
  // Within the thresholds: nothing.
  MoveTo(100 + across, 50 - down);
  EXPECT_TRUE(Actions().empty());
  EXPECT_EQ(GetCapture(), control_);
  // One pixel beyond: the drag starts, once.
  MoveTo(100 + across + 1, 50);
  MoveTo(100 + across + 20, 50);
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(GadgetTypeDragStart)}));
  EXPECT_EQ(GetCapture(), nullptr);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(Actions().empty());
}

TEST_F(ImageGadgetMouseTest, DragAlsoStartsUpwardAndOutsideTheControl) {
  MoveTo(100, 10);
  Button(MOUSEEVENTF_LEFTDOWN);
  Actions();
  MoveTo(100, -30);  // above the control: still captured
  EXPECT_EQ(Actions(), (std::vector<SeenEvent>{Action(GadgetTypeDragStart)}));
  Button(MOUSEEVENTF_LEFTUP);
  Actions();
}

}  // namespace
