// Row stride of a device-independent bitmap: rows padded to a multiple of four bytes.
#pragma once

#include <cstdint>

// Bytes per row for a width and a bit count per pixel. Computed in 64 bits so that widths
// from a file's header cannot overflow; callers check the result against their limits.
std::int64_t BitmapRowStride(std::int64_t width, std::int32_t bitsPerPixel);
