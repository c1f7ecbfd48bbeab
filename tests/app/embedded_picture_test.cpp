// The picture the program carries: its format as the window needs it, its decoding, and
// damaged copies that must never lead the decoder past their last byte (AddressSanitizer
// watches the host build).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/embedded_picture.h"
#include "image/image.h"
#include "image/jpeg_decoder.h"
#include "tests/support/runtime_fixture.h"

namespace {

struct FrameFacts {
  std::uint8_t marker = 0;       // the start-of-frame marker's second byte
  std::size_t scanHeader = 0;    // the start-of-scan marker
  std::size_t scanStart = 0;     // first byte of entropy-coded data
  std::uint8_t precision = 0;
  std::uint16_t height = 0, width = 0;
  std::uint8_t components = 0;
  std::uint8_t sampling[3] = {};
};

std::uint16_t Big16(const unsigned char* at) { return static_cast<std::uint16_t>((at[0] << 8) | at[1]); }

// Walks the marker segments from the start-of-image marker to the first scan.
FrameFacts ReadFrame(const unsigned char* file, std::size_t size) {
  FrameFacts facts;
  std::size_t at = 2;
  while (at + 4 <= size && file[at] == 0xFF) {
    const std::uint8_t marker = file[at + 1];
    const std::size_t length = Big16(file + at + 2);
    const unsigned char* segment = file + at + 4;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      facts.marker = marker;
      facts.precision = segment[0];
      facts.height = Big16(segment + 1);
      facts.width = Big16(segment + 3);
      facts.components = segment[5];
      for (int c = 0; c < 3 && c < facts.components; ++c) facts.sampling[c] = segment[6 + 3 * c + 1];
    }
    if (marker == 0xDA) facts.scanHeader = at;
    at += 2 + length;
    if (marker == 0xDA) {
      facts.scanStart = at;
      break;
    }
  }
  return facts;
}

TEST(EmbeddedPicture, IsABaselineJpegOf330By100WithLumaSampledTwoByTwo) {
  ASSERT_GT(EmbeddedPictureSize, 4u);
  EXPECT_EQ(EmbeddedPicture[0], 0xFF);
  EXPECT_EQ(EmbeddedPicture[1], 0xD8);
  EXPECT_EQ(EmbeddedPicture[EmbeddedPictureSize - 2], 0xFF);  // the length ends at the end-of-image marker
  EXPECT_EQ(EmbeddedPicture[EmbeddedPictureSize - 1], 0xD9);
  const FrameFacts frame = ReadFrame(EmbeddedPicture, EmbeddedPictureSize);
  EXPECT_EQ(frame.marker, 0xC0);  // baseline process
  EXPECT_EQ(frame.precision, 8);
  EXPECT_EQ(frame.width, 330);
  EXPECT_EQ(frame.height, 100);
  ASSERT_EQ(frame.components, 3);
  EXPECT_EQ(frame.sampling[0], 0x22);
  EXPECT_EQ(frame.sampling[1], 0x11);
  EXPECT_EQ(frame.sampling[2], 0x11);
  EXPECT_GT(frame.scanStart, 0u);
}

class EmbeddedPictureDecodeTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override {
    return {{"image decoders", ImageDecoderInit}, {"images", ImageInit}};
  }
  std::vector<LibraryStep> ExtraEndSteps() override { return {{"images", ImageEnd}}; }
  void SetUp() override {
    RuntimeTest::SetUp();
    JpegDecoderRegister();
  }
};

TEST_F(EmbeddedPictureDecodeTest, BecomesA24BitImageOfItsOwnSize) {
  ASSERT_NE(ImageFromMemory(1, EmbeddedPicture, EmbeddedPictureSize), 0);
  const ImageObject* image = ImageGet(1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 330);
  EXPECT_EQ(image->height, 100);
  EXPECT_EQ(image->depth, 24);
  EXPECT_EQ(image->sourceDepth, 24);
  EXPECT_EQ(image->format, ImageTag('J', 'P', 'E', 'G'));
}

// A damaged copy in a heap block of exactly its own length.
std::unique_ptr<unsigned char[]> Copy(std::size_t length, void (*damage)(unsigned char*, std::size_t)) {
  auto copy = std::make_unique<unsigned char[]>(length);
  std::memcpy(copy.get(), EmbeddedPicture, length);
  if (damage != nullptr) damage(copy.get(), length);
  return copy;
}

TEST_F(EmbeddedPictureDecodeTest, DamagedCopiesAreReadOnlyUpToTheirLength) {
  const FrameFacts frame = ReadFrame(EmbeddedPicture, EmbeddedPictureSize);
  const std::size_t scanStart = frame.scanStart;
  ASSERT_GT(frame.scanHeader, 20u);
  struct Case {
    const char* what;
    std::size_t length;
    void (*damage)(unsigned char*, std::size_t);
    bool decodes;
  };
  const Case cases[] = {
      {"only the start-of-image marker", 2, nullptr, false},
      {"cut inside the headers", frame.scanHeader / 2, nullptr, false},
      {"cut before the scan header", frame.scanHeader, nullptr, false},
      // With its length known, a picture cut in its image data is finished by the decoder.
      {"cut in the image data", scanStart + 200, nullptr, true},
      {"end-of-image marker missing", EmbeddedPictureSize - 2, nullptr, true},
      {"header bytes overwritten", EmbeddedPictureSize,
       [](unsigned char* file, std::size_t) { std::memset(file + 2, 0x5A, 40); }, false},
      {"image data overwritten with markers", EmbeddedPictureSize,
       [](unsigned char* file, std::size_t length) { std::memset(file + length / 2, 0xFF, length / 2); }, true},
  };
  for (const Case& c : cases) {
    auto copy = Copy(c.length, c.damage);
    EXPECT_EQ(ImageFromMemory(1, copy.get(), c.length) != 0, c.decodes) << c.what;
    EXPECT_EQ(ImageGet(1) != nullptr, c.decodes) << c.what;
  }
}

}  // namespace
