// The picture stage in a real window under Wine: the embedded picture shown unscaled at
// (5, 5), and damaged pictures that leave the area empty without stopping anything.
#include <windows.h>

#include <cstring>
#include <vector>

#include "app/embedded_picture.h"
#include "app/picture_stage.h"
#include "event/event_queue.h"
#include "gui/gadget.h"
#include "gui/image_gadget.h"
#include "gui/window.h"
#include "image/bitmap_alpha.h"
#include "image/image.h"
#include "image/jpeg_decoder.h"
#include "tests/gui/gui_fixture_win32.h"

namespace {

constexpr int PictureWidth = 330;
constexpr int PictureHeight = 100;

// 32-bit pixels, top row first, of a bitmap.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

// What the window shows in a rectangle of its inner area.
std::vector<std::uint32_t> Shown(HWND window, int x, int y, int width, int height) {
  HDC windowDc = GetDC(window);
  HDC copyDc = CreateCompatibleDC(windowDc);
  HBITMAP copy = CreateCompatibleBitmap(windowDc, width, height);
  HGDIOBJ previous = SelectObject(copyDc, copy);
  BitBlt(copyDc, 0, 0, width, height, windowDc, x, y, SRCCOPY);
  SelectObject(copyDc, previous);
  DeleteDC(copyDc);
  ReleaseDC(window, windowDc);
  std::vector<std::uint32_t> pixels = BitmapPixels(copy, width, height);
  DeleteObject(copy);
  return pixels;
}

std::uint32_t Background() {
  const COLORREF colour = GetSysColor(COLOR_BTNFACE);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

class PictureStageTest : public GuiTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override {
    return {{"event queue", EventInit},         {"image decoders", ImageDecoderInit},
            {"images", ImageInit},              {"bitmap alpha support", BitmapAlphaInit},
            {"windows", WindowInit},            {"gadget layer", GadgetInit}};
  }
  std::vector<LibraryStep> ExtraEndSteps() override {
    return {{"windows", WindowEnd}, {"bitmap alpha support", BitmapAlphaEnd}, {"images", ImageEnd},
            {"event queue", EventEnd}};
  }
  void SetUp() override {
    GuiTest::SetUp();
    JpegDecoderRegister();  // before the window, as the program does
    window_ = reinterpret_cast<HWND>(WindowOpen(0, 20, 20, 340, 125, "picture", 0));
    ASSERT_NE(window_, nullptr);
    Settle();
  }
  // The gadget's control must sit at (5, 5) of the window's inner area.
  void ExpectPlaced(HWND control, int width, int height) {
    RECT area{};
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 5);
    EXPECT_EQ(area.top, 5);
    EXPECT_EQ(area.right - area.left, width);
    EXPECT_EQ(area.bottom - area.top, height);
  }
  HWND window_ = nullptr;
};

TEST_F(PictureStageTest, EmbeddedPictureIsShownUnscaledAtFiveFive) {
  HWND control = reinterpret_cast<HWND>(PictureShow(EmbeddedPicture, EmbeddedPictureSize));
  ASSERT_NE(control, nullptr);
  Settle();
  const ImageObject* image = ImageGet(1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(static_cast<ObjectId>(GetWindowLongPtrA(control, GWLP_ID)), 0);
  EXPECT_EQ(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), image->handle);
  ExpectPlaced(control, PictureWidth, PictureHeight);
  const std::vector<std::uint32_t> expected =
      BitmapPixels(reinterpret_cast<HBITMAP>(image->handle), PictureWidth, PictureHeight);
  EXPECT_TRUE(Shown(window_, 5, 5, PictureWidth, PictureHeight) == expected);
  // Around it the window's own background.
  EXPECT_EQ(Shown(window_, 4, 4, 1, 1).front(), Background());
  EXPECT_EQ(Shown(window_, 335, 105, 1, 1).front(), Background());
}

TEST_F(PictureStageTest, DamagedPictureLeavesTheAreaEmptyAndTheStageCarriesOn) {
  struct Case {
    const char* what;
    std::size_t length;
    void (*damage)(unsigned char*);
  };
  const Case cases[] = {
      {"headers overwritten", EmbeddedPictureSize, [](unsigned char* file) { std::memset(file + 2, 0x5A, 40); }},
      {"not a JPEG at all", EmbeddedPictureSize, [](unsigned char* file) { file[1] = 0; }},
      {"cut in its headers", 100, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> copy(EmbeddedPicture, EmbeddedPicture + c.length);
    if (c.damage != nullptr) c.damage(copy.data());
    // An intact picture shown first must not survive a damaged one.
    ASSERT_NE(PictureShow(EmbeddedPicture, EmbeddedPictureSize), 0);
    Settle();
    HWND control = reinterpret_cast<HWND>(PictureShow(copy.data(), copy.size()));
    ASSERT_NE(control, nullptr) << c.what;
    Settle();
    EXPECT_EQ(ImageGet(1), nullptr) << c.what;
    EXPECT_EQ(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << c.what;
    ExpectPlaced(control, PictureWidth, PictureHeight);
    const std::vector<std::uint32_t> empty(static_cast<std::size_t>(PictureWidth) * PictureHeight, Background());
    EXPECT_TRUE(Shown(window_, 5, 5, PictureWidth, PictureHeight) == empty) << c.what;
  }
  // The window goes on working: another gadget still comes up in it.
  EXPECT_NE(PictureShow(EmbeddedPicture, EmbeddedPictureSize), 0);
  EXPECT_NE(ImageGet(1), nullptr);
}

}  // namespace
