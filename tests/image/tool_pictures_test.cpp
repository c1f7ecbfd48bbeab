// Pictures made by ImageMagick and cjpeg (tools/make_test_pictures.sh), loaded with their
// known size the way the program loads its own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "image/bitmap_stride.h"
#include "image/jpeg_decoder.h"
#include "tests/image/image_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadPicture(const std::string& name) {
  std::ifstream in(std::string(TLE_TEST_PICTURES) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Mean red minus mean blue over one memory row of a 24-bit image.
int WarmthOfRow(NativeHandle bitmap, int row) {
  NativeBitmapDescription described{};
  if (!NativeBitmapDescribe(bitmap, &described)) return 0;
  const unsigned char* pixels = described.pixels + BitmapRowStride(described.width, 24) * row;
  long sum = 0;
  for (int x = 0; x < described.width; ++x) sum += pixels[x * 3 + 2] - pixels[x * 3];
  return static_cast<int>(sum / described.width);
}

class ToolPictureTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    JpegDecoderRegister();
  }
};

TEST_F(ToolPictureTest, EachPictureLoadsWithItsDepthsAndFormat) {
  struct Case {
    const char* name;
    int width, height, depth, sourceDepth;
    std::uint32_t format;
  };
  const std::uint32_t jpeg = ImageTag('J', 'P', 'E', 'G');
  const Case cases[] = {
      {"baseline420.jpg", 128, 96, 24, 24, jpeg},        {"grayscale.jpg", 128, 96, 24, 24, jpeg},
      {"progressive.jpg", 128, 96, 24, 24, jpeg},        {"adobe_ycck.jpg", 128, 96, 24, 32, jpeg},
      {"truncated.jpg", 128, 96, 24, 24, jpeg},          {"bitmap1.bmp", 48, 32, 24, 1, ImageFormatBitmap},
      {"bitmap8.bmp", 48, 32, 24, 8, ImageFormatBitmap}, {"bitmap24.bmp", 48, 32, 24, 24, ImageFormatBitmap},
      {"bitmap32.bmp", 48, 32, 32, 32, ImageFormatBitmap}, {"icon_two_sizes.ico", 32, 32, 0, 0, ImageFormatIcon},
  };
  for (const Case& c : cases) {
    const Bytes file = ReadPicture(c.name);
    ASSERT_FALSE(file.empty()) << c.name;
    ASSERT_NE(ImageFromMemory(1, file.data(), file.size()), 0) << c.name;
    const ImageObject* image = ImageGet(1);
    EXPECT_EQ(image->width, c.width) << c.name;
    EXPECT_EQ(image->height, c.height) << c.name;
    EXPECT_EQ(image->format, c.format) << c.name;
    if (c.format == ImageFormatIcon) continue;  // depths follow the display's icon bitmaps
    EXPECT_EQ(image->depth, c.depth) << c.name;
    EXPECT_EQ(image->sourceDepth, c.sourceDepth) << c.name;
  }
}

TEST_F(ToolPictureTest, ColourJpegsKeepTheirWarmTopAtTheEndOfMemory) {
  for (const char* name : {"baseline420.jpg", "progressive.jpg", "adobe_ycck.jpg"}) {
    const Bytes file = ReadPicture(name);
    const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
    ASSERT_NE(handle, 0) << name;
    EXPECT_GT(WarmthOfRow(handle, 95), 100) << name;
    EXPECT_LT(WarmthOfRow(handle, 0), -100) << name;
  }
}

TEST_F(ToolPictureTest, CorruptHeaderIsDeclined) {
  const Bytes file = ReadPicture("corrupt_header.jpg");
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(ImageFromMemory(1, file.data(), file.size()), 0);
  EXPECT_EQ(ImageGet(1), nullptr);
}

}  // namespace
