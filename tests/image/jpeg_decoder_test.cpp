// The JPEG decoder in the chain: colour spaces, row order and padding, and the pictures
// it must decline or survive.
#include <gtest/gtest.h>

#include <cstdlib>

#include "image/jpeg_decoder.h"
#include "tests/image/image_fixture.h"
#include "tests/image/jpeg_writer.h"

namespace {

// Red over the top half, blue over the bottom half, in blocks of 16 so that 4:2:0
// sampling keeps the colours flat.
std::vector<unsigned char> TwoBands(int width, int height) {
  std::vector<unsigned char> samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool top = y < height / 2;
      samples.push_back(top ? 250 : 0);
      samples.push_back(0);
      samples.push_back(top ? 0 : 250);
    }
  }
  return samples;
}

std::vector<unsigned char> Repeat(std::vector<unsigned char> pixel, int count) {
  std::vector<unsigned char> samples;
  for (int i = 0; i < count; ++i) samples.insert(samples.end(), pixel.begin(), pixel.end());
  return samples;
}

bool Near(std::uint32_t bgr, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((bgr >> shift) & 0xFF);
    const int b = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

class JpegTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    JpegDecoderRegister();
  }
};

TEST_F(JpegTest, SecondRegistrationRegistersNothing) {
  EXPECT_NE(JpegDecoderRegister(), 0);
  EXPECT_EQ(ImageDecoderCount(), 1);
  EXPECT_TRUE(ImageDecoderIsRegistered(&JpegDecoder));
}

TEST_F(JpegTest, Colour420PictureBecomesBottomUp24BitsWithPaddingUntouched) {
  for (JpegKind kind : {JpegKind::Colour420, JpegKind::Progressive}) {
    const Bytes file = WriteJpeg(kind, 330, 100, TwoBands(330, 100));
    const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
    ASSERT_NE(handle, 0);
    const ImageObject* image = ImageGet(1);
    EXPECT_EQ(image->width, 330);
    EXPECT_EQ(image->height, 100);
    EXPECT_EQ(image->depth, 24);
    EXPECT_EQ(image->sourceDepth, 24);
    EXPECT_EQ(image->format, ImageTag('J', 'P', 'E', 'G'));
    // The picture's top row (red) is the last memory row; blue is in the first.
    EXPECT_TRUE(Near(PixelAt(handle, 5, 99), 0xFA0000, 6)) << std::hex << PixelAt(handle, 5, 99);
    EXPECT_TRUE(Near(PixelAt(handle, 5, 0), 0x0000FA, 6)) << std::hex << PixelAt(handle, 5, 0);
    NativeBitmapDescription described{};
    ASSERT_TRUE(NativeBitmapDescribe(handle, &described));
    for (int row = 0; row < 100; ++row) {
      EXPECT_EQ(described.pixels[row * 992 + 990], 0);
      EXPECT_EQ(described.pixels[row * 992 + 991], 0);
    }
  }
}

TEST_F(JpegTest, GrayscaleGivesEqualChannelsAndSourceDepth24) {
  std::vector<unsigned char> grey;
  for (int i = 0; i < 16 * 16; ++i) grey.push_back(static_cast<unsigned char>(i));
  const Bytes file = WriteJpeg(JpegKind::Grayscale, 16, 16, grey);
  const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
  ASSERT_NE(handle, 0);
  EXPECT_EQ(ImageGet(1)->sourceDepth, 24);
  for (int x = 0; x < 16; ++x) {
    const std::uint32_t bgr = PixelAt(handle, x, 7);
    EXPECT_EQ(bgr & 0xFF, (bgr >> 8) & 0xFF);
    EXPECT_EQ(bgr & 0xFF, (bgr >> 16) & 0xFF);
  }
}

TEST_F(JpegTest, AdobeCmykAndYcckScaleByKey) {
  struct Case {
    std::vector<unsigned char> cmyk;
    std::uint32_t bgr;
  };
  const Case cases[] = {
      {{255, 255, 255, 255}, 0xFFFFFF},
      {{200, 100, 50, 0}, 0x000000},
      {{255, 255, 0, 255}, 0xFFFF00},  // B = Y*K/255 = 0: pure yellow as blue, green, red = 0, 255, 255
  };
  for (JpegKind kind : {JpegKind::AdobeCmyk, JpegKind::AdobeYcck}) {
    for (const Case& c : cases) {
      const Bytes file = WriteJpeg(kind, 16, 16, Repeat(c.cmyk, 16 * 16));
      const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
      ASSERT_NE(handle, 0);
      EXPECT_EQ(ImageGet(1)->sourceDepth, 32);
      EXPECT_EQ(ImageGet(1)->depth, 24);
      EXPECT_TRUE(Near(PixelAt(handle, 8, 8), c.bgr, 3)) << std::hex << PixelAt(handle, 8, 8);
    }
  }
}

TEST_F(JpegTest, DeclinesTwoComponentsAndCorruptHeadersHoldingNothing) {
  const Bytes two = WriteJpeg(JpegKind::TwoComponents, 16, 16, Repeat({10, 20}, 16 * 16));
  EXPECT_EQ(ImageFromMemory(1, two.data(), two.size()), 0);

  Bytes corrupt = WriteJpeg(JpegKind::Grayscale, 16, 16, Repeat({9}, 16 * 16));
  for (std::size_t i = 2; i < 40 && i < corrupt.size(); ++i) corrupt[i] = 0x5A;
  EXPECT_EQ(ImageFromMemory(1, corrupt.data(), corrupt.size()), 0);
  EXPECT_EQ(ImageGet(1), nullptr);

  ImageDecodeContext context{};
  context.sourceAddress = corrupt.data();
  context.sourceSize = static_cast<std::uint32_t>(corrupt.size());
  EXPECT_EQ(JpegOpen(&context), 0);
  for (std::intptr_t word : context.privateData) EXPECT_EQ(word, 0);

  const unsigned char notJpeg[] = {0xFF, 0xD9, 0, 0};
  EXPECT_EQ(ImageFromMemory(1, notJpeg, sizeof notJpeg), 0);
  EXPECT_EQ(ImageFromMemory(1, notJpeg, 1), 0);
}

TEST_F(JpegTest, TruncatedDataWithKnownSizeStillLoads) {
  // Busy content, so that most of the file is image data and the cut falls inside it.
  std::vector<unsigned char> busy;
  for (int i = 0; i < 128 * 128 * 3; ++i) busy.push_back(static_cast<unsigned char>((i * 7919) % 251));
  const Bytes file = WriteJpeg(JpegKind::Colour420, 128, 128, busy);
  const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() * 3 / 4));
  EXPECT_NE(ImageFromMemory(1, cut.data(), cut.size()), 0);
  const Bytes headerOnly(file.begin(), file.begin() + 100);
  EXPECT_EQ(ImageFromMemory(2, headerOnly.data(), headerOnly.size()), 0);
}

// A picture whose frame header claims 65000 x 65000 pixels fails to load: no bitmap (or,
// for progressive pictures, no coefficient memory) can be had for it.
TEST_F(JpegTest, PictureTooLargeToAllocateFailsCleanly) {
  for (JpegKind kind : {JpegKind::Colour420, JpegKind::Progressive}) {
    Bytes file = WriteJpeg(kind, 16, 16, TwoBands(16, 16));
    bool patched = false;
    for (std::size_t i = 2; i + 9 < file.size(); ++i) {
      if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
        file[i + 5] = 0xFD;
        file[i + 6] = 0xE8;
        file[i + 7] = 0xFD;
        file[i + 8] = 0xE8;
        patched = true;
        break;
      }
    }
    ASSERT_TRUE(patched);
    EXPECT_EQ(ImageFromMemory(1, file.data(), file.size()), 0);
    EXPECT_EQ(ImageGet(1), nullptr);
  }
}

}  // namespace
