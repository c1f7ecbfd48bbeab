// Pixel rules of the alpha drawing, on 32-bit pixels (blue, green, red, alpha in memory).
#pragma once

#include <cstdint>

// True when any of `width` pixels in any of `rows` rows (`stride` bytes apart) has a
// non-zero alpha byte.
bool BitmapPixelsHaveAlpha(const unsigned char* pixels, std::int32_t width, std::int32_t rows, std::int64_t stride);

// Multiplies the colour bytes of each of `count` pixels by its alpha: C = (C * A) >> 8
// for A below 255; fully opaque pixels stay as they are.
void BitmapPremultiplyPixels(unsigned char* pixels, std::int64_t count);

