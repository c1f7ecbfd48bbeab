// Alpha drawing over GDI: the alpha test, the premultiplied copy and the blend.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "image/bitmap_alpha.h"
#include "runtime/heaps.h"
#include "tests/support/runtime_fixture.h"

namespace {

class BitmapAlphaTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override { return {{"bitmap alpha", BitmapAlphaInit}}; }
  std::vector<LibraryStep> ExtraEndSteps() override { return {{"bitmap alpha", BitmapAlphaEnd}}; }

  // A bottom-up section with the given 32-bit pixels (bottom row first in memory).
  static HBITMAP Section(int width, int height, int bits, const std::vector<std::uint32_t>& pixels) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &memory,
                                       nullptr, 0);
    if (section != nullptr && bits == 32) std::memcpy(memory, pixels.data(), pixels.size() * 4);
    return section;
  }
  static NativeHandle H(HGDIOBJ object) { return reinterpret_cast<NativeHandle>(object); }
};

TEST_F(BitmapAlphaTest, SectionsHaveAlphaByDepthAndOtherBitmapsByTheirBytes) {
  HBITMAP section32 = Section(2, 2, 32, {0, 0, 0, 0});
  HBITMAP section24 = Section(2, 2, 24, {});
  EXPECT_EQ(BitmapHasAlpha(H(section32)), 1);
  EXPECT_EQ(BitmapHasAlpha(H(section24)), 0);
  const std::uint32_t zeroAlpha[4] = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
  HBITMAP plain = CreateBitmap(2, 2, 1, 32, zeroAlpha);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(BitmapHasAlpha(H(plain)), 0);
  const std::uint32_t oneAlpha[4] = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x01FFFFFF};
  HBITMAP translucent = CreateBitmap(2, 2, 1, 32, oneAlpha);
  EXPECT_EQ(BitmapHasAlpha(H(translucent)), 1);
  unsigned char* pixels = BitmapPixels32(H(translucent));
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels[15], 1);  // top row first: the fourth pixel is the last one
  MainHeapFree(pixels);
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  EXPECT_EQ(BitmapHasAlpha(reinterpret_cast<NativeHandle>(icon)), 0);
  for (HBITMAP bitmap : {section32, section24, plain, translucent}) DeleteObject(bitmap);
}

TEST_F(BitmapAlphaTest, PremultipliedCopyDrawsOverTheTarget) {
  // Blue 200, green 100, red 50 at alpha 128, then opaque blue.
  HBITMAP source = Section(2, 1, 32, {0x803264C8u, 0xFF0000FFu});
  ASSERT_NE(source, nullptr);
  NativeHandle copy = BitmapPremultiply(H(source), 0);
  ASSERT_NE(copy, 0);
  DIBSECTION described{};
  ASSERT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(copy), sizeof described, &described),
            static_cast<int>(sizeof described));
  EXPECT_GT(described.dsBmih.biHeight, 0);
  const auto* bytes = static_cast<const unsigned char*>(described.dsBm.bmBits);
  const unsigned char expected[8] = {100, 50, 25, 128, 0xFF, 0, 0, 0xFF};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;

  // Drawn with width and height 0 onto white: the opaque pixel replaces the target, the
  // half-transparent one mixes with it.
  HDC target = CreateCompatibleDC(nullptr);
  HBITMAP canvas = Section(4, 1, 32, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
  HGDIOBJ previous = SelectObject(target, canvas);
  BitmapDrawAlpha(H(target), 1, 0, 0, 0, copy, 0, 255);
  SelectObject(target, previous);
  DIBSECTION drawn{};
  GetObjectA(canvas, sizeof drawn, &drawn);
  const auto* out = static_cast<const std::uint32_t*>(drawn.dsBm.bmBits);
  EXPECT_EQ(out[0] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_NEAR(static_cast<int>(out[1] & 0xFF), 100 + 127, 3);
  EXPECT_NEAR(static_cast<int>((out[1] >> 16) & 0xFF), 25 + 127, 3);
  EXPECT_EQ(out[2] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(out[3] & 0xFFFFFF, 0xFFFFFFu);
  DeleteDC(target);
  DeleteObject(canvas);
  BitmapFreeAlphaCopy(copy);
  DeleteObject(source);
}

TEST(BitmapAlphaWithoutInit, EveryRoutineDoesNothing) {
  BitmapAlphaEnd();  // tolerates a start-up that never ran the initialiser
  HBITMAP section = CreateBitmap(1, 1, 1, 32, nullptr);
  EXPECT_EQ(BitmapHasAlpha(reinterpret_cast<NativeHandle>(section)), 0);
  EXPECT_EQ(BitmapPremultiply(reinterpret_cast<NativeHandle>(section), 0), 0);
  DeleteObject(section);
}

}  // namespace
