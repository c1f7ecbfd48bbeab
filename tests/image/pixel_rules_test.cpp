// Pixel rules of the JPEG decoder (row placement, colour conversion) and of the alpha
// drawing (alpha test, premultiplication).
#include <gtest/gtest.h>

#include <vector>

#include "image/bitmap_alpha_pixels.h"
#include "image/image_decoder.h"
#include "image/jpeg_pixels.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(JpegRowDestination, BottomUpFlagPutsTheTopRowLast) {
  unsigned char pixels[992 * 3] = {};
  EXPECT_EQ(JpegRowDestination(pixels, 992, 3, 0, ImageDecodeBottomUp), pixels + 992 * 2);
  EXPECT_EQ(JpegRowDestination(pixels, 992, 3, 2, ImageDecodeBottomUp), pixels);
  EXPECT_EQ(JpegRowDestination(pixels, 992, 3, 0, 0), pixels);
  EXPECT_EQ(JpegRowDestination(pixels, 992, 3, 1, 0), pixels + 992);
}

TEST(JpegConvertRgbRow, SwapsToBlueGreenRedAndLeavesPaddingAlone) {
  const unsigned char samples[] = {1, 2, 3, 4, 5, 6};
  unsigned char out[8] = {0, 0, 0, 0, 0, 0, 0xEE, 0xEE};
  JpegConvertRgbRow(samples, 2, out);
  EXPECT_EQ(Bytes(out, out + 8), (Bytes{3, 2, 1, 6, 5, 4, 0xEE, 0xEE}));
}

TEST(JpegConvertCmykRow, ScalesByKeyWithTruncatingDivision) {
  struct Case {
    unsigned char cmyk[4];
    unsigned char bgr[3];
  };
  const Case cases[] = {
      {{255, 255, 255, 255}, {255, 255, 255}},  // no ink: white
      {{200, 100, 50, 0}, {0, 0, 0}},           // full key: black
      {{200, 100, 50, 128}, {25, 50, 100}},     // 50*128/255 = 25.09, 100*128/255 = 50.19, 200*128/255 = 100.39
      {{1, 1, 1, 254}, {0, 0, 0}},              // 254/255 truncates to 0
  };
  for (const Case& c : cases) {
    unsigned char out[4] = {0, 0, 0, 0x77};
    JpegConvertCmykRow(c.cmyk, 1, out);
    EXPECT_EQ(Bytes(out, out + 4), (Bytes{c.bgr[0], c.bgr[1], c.bgr[2], 0x77}));
  }
}

TEST(BitmapPixelsHaveAlpha, LooksOnlyAtAlphaBytesOfPictureColumns) {
  // Two rows of one pixel, stride 8: the second word of each row is padding.
  unsigned char pixels[16] = {255, 255, 255, 0, 0, 0, 0, 9, 255, 255, 255, 0, 0, 0, 0, 9};
  EXPECT_FALSE(BitmapPixelsHaveAlpha(pixels, 1, 2, 8));
  pixels[8 + 3] = 1;
  EXPECT_TRUE(BitmapPixelsHaveAlpha(pixels, 1, 2, 8));
}

TEST(BitmapPremultiplyPixels, MultipliesColoursByAlphaBelowOpaque) {
  unsigned char pixels[] = {200, 100, 50, 128, 200, 100, 50, 255, 200, 100, 50, 0, 255, 255, 255, 254};
  BitmapPremultiplyPixels(pixels, 4);
  EXPECT_EQ(Bytes(pixels, pixels + 16), (Bytes{100, 50, 25, 128, 200, 100, 50, 255, 0, 0, 0, 0, 253, 253, 253, 254}));
}

}  // namespace
