// The portable rules under the image objects: row strides, bitmap and icon headers read
// within bounds, the icon entry choice, the alpha repair and the DIB row conversion.
#include <gtest/gtest.h>

#include "image/bitmap_file.h"
#include "image/bitmap_stride.h"
#include "image/dib_convert.h"
#include "image/icon_file.h"
#include "tests/image/picture_builder.h"

namespace {

std::uint32_t Checker(int x, int y) { return static_cast<std::uint32_t>((x + y) % 2); }
std::uint32_t Grey(int x, int) { return 0x00404040u * static_cast<std::uint32_t>(x % 3 + 1); }

TEST(BitmapRowStride, PadsRowsToFourBytesByDepth) {
  struct Case {
    std::int64_t width;
    std::int32_t bits;
    std::int64_t stride;
  };
  const Case cases[] = {
      {1, 1, 4},   {32, 1, 4},  {33, 1, 8},    {9, 4, 8},     {8, 4, 4},     {5, 8, 8},
      {3, 16, 8},  {3, 15, 8},  {1, 24, 4},    {4, 24, 12},   {5, 24, 16},   {330, 24, 992},
      {330, 32, 1320}, {0, 24, 0}, {70000, 32, 280000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BitmapRowStride(c.width, c.bits), c.stride) << c.width << " px at " << c.bits;
  }
}

TEST(BitmapFileRead, ReadsHeadersOfACompleteFile) {
  const Bytes file = BuildBitmapFile({5, -3, 8, {0x000000, 0xFFFFFF}, Checker});
  BitmapFileView view{};
  ASSERT_TRUE(BitmapFileRead(file.data(), file.size(), &view));
  EXPECT_EQ(view.header.width, 5);
  EXPECT_EQ(view.header.height, -3);
  EXPECT_EQ(view.header.bitCount, 8);
  EXPECT_EQ(view.header.colourCount, 2u);
  EXPECT_EQ(view.pixels, file.data() + 14 + 40 + 8);
}

TEST(BitmapFileRead, RefusesHeadersThatPointPastTheData) {
  const Bytes good = BuildBitmapFile({4, 4, 24, {}, Grey});
  struct Case {
    const char* name;
    std::size_t at;
    std::uint32_t value;  // written as 32 bits at `at`
    std::size_t length;   // bytes the reader may see
  };
  const Case cases[] = {
      {"pixel offset past the end", 10, 0x10000, good.size()},
      {"pixel offset near 4 GB", 10, 0xFFFFFFF0u, good.size()},
      {"height larger than the rows", 22, 5, good.size()},
      {"huge width", 18, 0x7FFFFFFF, good.size()},
      {"info header longer than the file", 14, 200, good.size()},
      {"colour table past the end", 46, 0x01000000, good.size()},
      {"last pixel byte cut", 0, 0, good.size() - 1},
      {"file header only", 0, 0, 14},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    if (c.at != 0) PutU32(file, c.at, c.value);
    BitmapFileView view{};
    EXPECT_FALSE(BitmapFileRead(file.data(), c.length, &view)) << c.name;
  }
}

TEST(BitmapRepairAlpha, MakesAllZeroAlphaOpaqueAndKeepsRealAlpha) {
  // Two rows of two pixels with a padding word each: the padding must stay untouched.
  unsigned char pixels[24] = {};
  BitmapRepairAlpha(pixels, 2, 2, 12);
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(pixels[row * 12 + 3], 255);
    EXPECT_EQ(pixels[row * 12 + 7], 255);
    EXPECT_EQ(pixels[row * 12 + 11], 0) << "padding";
  }
  unsigned char withAlpha[24] = {};
  withAlpha[12 + 7] = 9;
  BitmapRepairAlpha(withAlpha, 2, 2, 12);
  EXPECT_EQ(withAlpha[3], 0);
  EXPECT_EQ(withAlpha[12 + 7], 9);
}

TEST(IconEntryChoose, FirstSizeDecidesAndDeepestOfThatSizeWins) {
  struct Entry {
    unsigned char width, height;
    std::uint16_t bits;
  };
  struct Case {
    std::vector<Entry> entries;
    std::uint32_t chosen;
  };
  const Case cases[] = {
      {{{16, 16, 4}, {32, 32, 32}, {16, 16, 8}}, 2},
      {{{32, 32, 8}, {32, 32, 32}, {32, 32, 32}}, 1},
      {{{48, 48, 32}, {48, 48, 8}}, 0},
      {{{16, 16, 8}, {16, 32, 32}, {32, 16, 32}}, 0},
      {{{16, 16, 8}}, 0},
  };
  for (const Case& c : cases) {
    Bytes entries(16 * c.entries.size(), 0);
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      entries[16 * i] = c.entries[i].width;
      entries[16 * i + 1] = c.entries[i].height;
      PutU16(entries, 16 * i + 6, c.entries[i].bits);
    }
    EXPECT_EQ(IconEntryChoose(entries.data(), static_cast<std::uint32_t>(c.entries.size())), c.chosen);
  }
}

TEST(IconFileRead, RefusesDirectoriesAndDataPastTheEnd) {
  // The chosen entry (the deeper one) is the last in the file.
  const Bytes good = BuildIconFile({{16, 16, 8, {0x112233}, Checker}, {16, 16, 32, {}, Grey}});
  const std::size_t chosenData = good[6 + 16 + 12] | (good[6 + 16 + 13] << 8);
  IconImageView view{};
  ASSERT_TRUE(IconFileRead(good.data(), good.size(), &view));
  EXPECT_EQ(view.width, 16);
  EXPECT_EQ(view.height, 16);
  EXPECT_EQ(view.bitCount, 32);

  struct Case {
    const char* name;
    std::size_t at;
    std::uint32_t value;
    bool word;  // 16-bit field
    std::size_t length;
  };
  const Case cases[] = {
      {"directory longer than the data", 4, 4000, true, good.size()},
      {"no entries", 4, 0, true, good.size()},
      {"entry data past the end", 6 + 16 + 8, 0x100000, false, good.size()},
      {"entry offset past the end", 6 + 16 + 12, 0xFFFFFF00u, false, good.size()},
      {"data cut short", 0, 0, false, good.size() - 1},
      {"directory cut short", 0, 0, false, 20},
      {"header height beyond the entry", chosenData + 8, 64, false, good.size()},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    if (c.at != 0 && c.word) PutU16(file, c.at, static_cast<std::uint16_t>(c.value));
    if (c.at != 0 && !c.word) PutU32(file, c.at, c.value);
    EXPECT_FALSE(IconFileRead(file.data(), c.length, &view)) << c.name;
  }
}

TEST(DibConvertRows, ExpandsPalettesAndDepthsToBlueGreenRed) {
  struct Case {
    DibSpec spec;
    unsigned char first[3];   // pixel (0, 0) as blue, green, red
    unsigned char second[3];  // pixel (1, 0)
  };
  const Case cases[] = {
      {{3, 1, 1, {0x0000FF, 0xFF8000}, Checker}, {0xFF, 0, 0}, {0, 0x80, 0xFF}},
      {{3, 1, 4, {0x000000, 0x102030}, Checker}, {0, 0, 0}, {0x30, 0x20, 0x10}},
      {{3, 1, 8, {0x000000, 0xABCDEF}, Checker}, {0, 0, 0}, {0xEF, 0xCD, 0xAB}},
      {{3, 1, 24, {}, Grey}, {0x40, 0x40, 0x40}, {0x80, 0x80, 0x80}},
  };
  for (const Case& c : cases) {
    const Bytes dib = BuildDib(c.spec);
    DibHeader header{};
    ASSERT_TRUE(DibHeaderRead(dib.data(), dib.size(), &header));
    unsigned char out[12] = {};
    ASSERT_TRUE(DibConvertRows(header, dib.data() + 40, dib.data() + 40 + header.colourTableBytes, 1, out, 12, 24));
    EXPECT_EQ(Bytes(out, out + 3), Bytes(c.first, c.first + 3)) << c.spec.bitCount << " bits";
    EXPECT_EQ(Bytes(out + 3, out + 6), Bytes(c.second, c.second + 3)) << c.spec.bitCount << " bits";
  }
}

}  // namespace
