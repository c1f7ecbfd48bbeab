// Pixel work of the JPEG decoder, apart from libjpeg: where each decoded row goes and how
// libjpeg's samples become blue, green, red bytes.
#pragma once

#include <cstdint>

// The memory row for picture row `row` of `height`: bottom-up when the flags ask for it.
unsigned char* JpegRowDestination(unsigned char* pixels, std::int64_t stride, std::int32_t height, std::int32_t row,
                                  std::uint32_t flags);

// R, G, B samples to B, G, R bytes; `width` pixels. Padding behind them is not written.
void JpegConvertRgbRow(const unsigned char* samples, std::uint32_t width, unsigned char* out);
// C, M, Y, K samples (as Adobe files store them, inverted) to B, G, R = Y*K/255, M*K/255, C*K/255.
void JpegConvertCmykRow(const unsigned char* samples, std::uint32_t width, unsigned char* out);
