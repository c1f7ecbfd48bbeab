#include "image/jpeg_pixels.h"

#include "image/image_decoder.h"

unsigned char* JpegRowDestination(unsigned char* pixels, std::int64_t stride, std::int32_t height, std::int32_t row,
                                  std::uint32_t flags) {
  const std::int64_t memoryRow = (flags & ImageDecodeBottomUp) != 0 ? height - 1 - row : row;
  return pixels + stride * memoryRow;
}

void JpegConvertRgbRow(const unsigned char* samples, std::uint32_t width, unsigned char* out) {
  for (std::uint32_t x = 0; x < width; ++x, samples += 3, out += 3) {
    out[0] = samples[2];
    out[1] = samples[1];
    out[2] = samples[0];
  }
}

void JpegConvertCmykRow(const unsigned char* samples, std::uint32_t width, unsigned char* out) {
  for (std::uint32_t x = 0; x < width; ++x, samples += 4, out += 3) {
    const unsigned k = samples[3];
    out[0] = static_cast<unsigned char>(samples[2] * k / 255);
    out[1] = static_cast<unsigned char>(samples[1] * k / 255);
    out[2] = static_cast<unsigned char>(samples[0] * k / 255);
  }
}
