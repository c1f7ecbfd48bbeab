// Image objects: bitmap and icon files, the decoder chain, numbers, and loads that must
// fail without reading past the data they are given.
#include <gtest/gtest.h>

#include "tests/image/image_fixture.h"
#include "tests/image/picture_builder.h"

namespace {

std::uint32_t Checker(int x, int y) { return static_cast<std::uint32_t>((x + y) % 2); }
std::uint32_t Stripes(int x, int) { return x == 0 ? 0x00112233u : 0x00445566u; }
std::uint32_t NoAlpha(int x, int) { return 0x00102030u + static_cast<std::uint32_t>(x); }
std::uint32_t OneAlpha(int x, int y) { return x == 1 && y == 1 ? 0x07102030u : 0x00102030u; }

TEST_F(ImageTest, BitmapFilesBecomeSectionsOfAtLeast24Bits) {
  struct Case {
    DibSpec spec;
    std::uint8_t depth;
    std::uint32_t first, second;  // pixels 0 and 1 of memory row 0
  };
  const Case cases[] = {
      {{3, 2, 1, {0x0000FF, 0xFFFFFF}, Checker}, 24, 0x0000FF, 0xFFFFFF},
      {{3, 2, 8, {0x000000, 0x123456}, Checker}, 24, 0x000000, 0x123456},
      {{3, -2, 24, {}, Stripes}, 24, 0x112233, 0x445566},
      {{3, 2, 32, {}, OneAlpha}, 32, 0x00102030, 0x00102030},
  };
  for (const Case& c : cases) {
    const Bytes file = BuildBitmapFile(c.spec);
    const std::intptr_t handle = ImageFromMemory(1, file.data(), file.size());
    ASSERT_NE(handle, 0) << c.spec.bitCount << " bits";
    const ImageObject* image = ImageGet(1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->handle, handle);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->depth, c.depth);
    EXPECT_EQ(image->sourceDepth, c.spec.bitCount);
    EXPECT_EQ(image->format, ImageFormatBitmap);
    EXPECT_EQ(PixelAt(handle, 0, 0), c.first);
    EXPECT_EQ(PixelAt(handle, 1, 0), c.second);
  }
}

TEST_F(ImageTest, ThirtyTwoBitFileWithoutAlphaBecomesOpaque) {
  const Bytes opaque = BuildBitmapFile({2, 2, 32, {}, NoAlpha});
  const std::intptr_t repaired = ImageFromMemory(1, opaque.data(), opaque.size());
  ASSERT_NE(repaired, 0);
  EXPECT_EQ(PixelAt(repaired, 0, 0), 0xFF102030u);
  EXPECT_EQ(PixelAt(repaired, 1, 1), 0xFF102031u);

  const Bytes translucent = BuildBitmapFile({2, 2, 32, {}, OneAlpha});
  const std::intptr_t kept = ImageFromMemory(2, translucent.data(), translucent.size());
  ASSERT_NE(kept, 0);
  EXPECT_EQ(PixelAt(kept, 0, 0), 0x00102030u);
  EXPECT_EQ(PixelAt(kept, 1, 1), 0x07102030u);
}

TEST_F(ImageTest, IconFileTakesTheDeepestEntryOfTheFirstEntrysSize) {
  const Bytes file = BuildIconFile({{16, 16, 4, {0x0000FF, 0x0000FF}, Checker},
                                    {32, 32, 32, {}, NoAlpha},
                                    {16, 16, 8, {0x00FF00, 0x00FF00}, Checker}});
  const std::intptr_t handle = ImageFromMemory(3, file.data(), file.size());
  ASSERT_NE(handle, 0);
  const ImageObject* image = ImageGet(3);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(image->height, 16);
  EXPECT_EQ(image->format, ImageFormatIcon);
  EXPECT_EQ(image->sourceDepth, image->depth);
  EXPECT_FALSE(NativeImageIsBitmap(handle));
  ImageFree(3);
  EXPECT_EQ(ImageGet(3), nullptr);
}

TEST_F(ImageTest, KnownSizeLoadsReadNothingPastTheData) {
  const Bytes bitmap = BuildBitmapFile({4, 4, 24, {}, Stripes});
  Bytes pointsPast = bitmap;
  PutU32(pointsPast, 10, 0x100000);  // pixel data offset beyond the file
  Bytes tallerThanData = bitmap;
  PutU32(tallerThanData, 22, 400);
  const Bytes icon = BuildIconFile({{16, 16, 32, {}, NoAlpha}});
  Bytes longDirectory = icon;
  PutU16(longDirectory, 4, 1000);
  Bytes entryPast = icon;
  PutU32(entryPast, 6 + 12, static_cast<std::uint32_t>(icon.size()));
  struct Case {
    const char* name;
    const Bytes* file;
    std::size_t size;
  };
  const Case cases[] = {
      {"bitmap cut in its rows", &bitmap, bitmap.size() - 1},
      {"bitmap cut in its header", &bitmap, 30},
      {"bitmap offset past the end", &pointsPast, pointsPast.size()},
      {"bitmap taller than its data", &tallerThanData, tallerThanData.size()},
      {"icon directory longer than the data", &longDirectory, longDirectory.size()},
      {"icon entry past the end", &entryPast, entryPast.size()},
      {"icon cut in its image", &icon, icon.size() - 10},
  };
  for (const Case& c : cases) {
    // A copy of exactly the allowed length, so that AddressSanitizer sees any read beyond.
    const Bytes exact(c.file->begin(), c.file->begin() + static_cast<std::ptrdiff_t>(c.size));
    EXPECT_EQ(ImageFromMemory(1, exact.data(), exact.size()), 0) << c.name;
    EXPECT_EQ(ImageGet(1), nullptr) << c.name;
  }
}

TEST_F(ImageTest, FailedLoadFreesTheOldImageAndLeavesTheNumberEmpty) {
  const Bytes file = BuildBitmapFile({2, 2, 24, {}, Stripes});
  ASSERT_NE(ImageFromMemory(4, file.data(), file.size()), 0);
  const unsigned char garbage[] = {'n', 'o', 'p', 'e'};
  EXPECT_EQ(ImageFromMemory(4, garbage, sizeof garbage), 0);
  EXPECT_EQ(ImageGet(4), nullptr);
  EXPECT_EQ(ImageFromMemory(5, nullptr), 0);
  EXPECT_EQ(ImageGet(5), nullptr);
}

TEST_F(ImageTest, DynamicNumberReturnsTheRecordsId) {
  const Bytes file = BuildBitmapFile({2, 2, 24, {}, Stripes});
  const std::intptr_t id = ImageFromMemory(DynamicNumber, file.data(), file.size());
  ASSERT_NE(id, 0);
  const ImageObject* image = ImageGet(id);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(image), id);
  EXPECT_TRUE(NativeImageIsBitmap(image->handle));
  ImageFree(AllObjects);
  EXPECT_EQ(ImageGet(id), nullptr);
}

// A decoder for the chain tests: accepts sources whose first byte is its letter and
// counts what the chain asks of it.
struct FakeDecoder {
  ImageDecoder decoder;
  char letter;
  std::int32_t width, height;
  bool decodeSucceeds;
  int opens = 0, decodes = 0, closes = 0;
  std::int64_t stride = 0;
  std::uint32_t flags = 0;
  bool privateClearOnOpen = false;
};
FakeDecoder* Fakes[2];

FakeDecoder* FakeOf(const ImageDecodeContext* context, int which) { return context ? Fakes[which] : nullptr; }

template <int Which>
int FakeOpen(ImageDecodeContext* context) {
  FakeDecoder* fake = FakeOf(context, Which);
  ++fake->opens;
  fake->privateClearOnOpen = context->privateData[0] == 0 && context->privateData[7] == 0;
  context->privateData[0] = 0x55;
  if (context->sourceAddress[0] != fake->letter) return 0;
  context->width = fake->width;
  context->height = fake->height;
  context->depth = 24;
  context->sourceDepth = 8;
  return 1;
}

template <int Which>
int FakeDecode(ImageDecodeContext* context, unsigned char* pixels, std::int64_t stride, std::uint32_t flags) {
  FakeDecoder* fake = FakeOf(context, Which);
  ++fake->decodes;
  fake->stride = stride;
  fake->flags = flags;
  pixels[0] = 0xAB;
  return fake->decodeSucceeds ? 1 : 0;
}

template <int Which>
void FakeClose(ImageDecodeContext* context) {
  ++FakeOf(context, Which)->closes;
}

class DecoderChainTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    first_ = {{FakeOpen<0>, FakeDecode<0>, FakeClose<0>, ImageTag('F', 'S', 'T', '1')}, 'x', 330, 100, true};
    second_ = {{FakeOpen<1>, FakeDecode<1>, FakeClose<1>, ImageTag('S', 'N', 'D', '2')}, 'x', 5, 5, true};
    Fakes[0] = &first_;
    Fakes[1] = &second_;
    ImageDecoderRegister(&first_.decoder);
    ImageDecoderRegister(&second_.decoder);
  }
  FakeDecoder first_{}, second_{};
};

TEST_F(DecoderChainTest, FirstAcceptingDecoderWinsAndWritesIntoTheSection) {
  const unsigned char source[] = {'x', 0};
  const std::intptr_t handle = ImageFromMemory(1, source, sizeof source);
  ASSERT_NE(handle, 0);
  const ImageObject* image = ImageGet(1);
  EXPECT_EQ(image->format, ImageTag('F', 'S', 'T', '1'));
  EXPECT_EQ(image->width, 330);
  EXPECT_EQ(image->depth, 24);
  EXPECT_EQ(image->sourceDepth, 8);
  EXPECT_EQ(first_.stride, 992);
  EXPECT_EQ(first_.flags, ImageDecodeBottomUp);
  EXPECT_EQ(PixelAt(handle, 0, 0) & 0xFF, 0xABu);
  EXPECT_EQ(first_.closes, 1);
  EXPECT_EQ(second_.opens, 0);
}

TEST_F(DecoderChainTest, DeclinedSourceGoesToTheNextDecoderWithClearedPrivateWords) {
  first_.letter = 'y';
  const unsigned char source[] = {'x', 0};
  ASSERT_NE(ImageFromMemory(1, source, sizeof source), 0);
  EXPECT_EQ(ImageGet(1)->format, ImageTag('S', 'N', 'D', '2'));
  EXPECT_EQ(first_.closes, 0);
  EXPECT_TRUE(second_.privateClearOnOpen);
  EXPECT_EQ(second_.closes, 1);
}

TEST_F(DecoderChainTest, DecodeFailureOrAnUnallocatablePictureFailsAndStillCloses) {
  const unsigned char source[] = {'x', 0};
  first_.decodeSucceeds = false;
  EXPECT_EQ(ImageFromMemory(1, source, sizeof source), 0);
  EXPECT_EQ(ImageGet(1), nullptr);
  EXPECT_EQ(first_.closes, 1);

  first_.decodeSucceeds = true;
  first_.width = 60000;
  first_.height = 60000;
  EXPECT_EQ(ImageFromMemory(DynamicNumber, source, sizeof source), 0);
  EXPECT_EQ(first_.decodes, 1);
  EXPECT_EQ(first_.closes, 2);
}

}  // namespace
