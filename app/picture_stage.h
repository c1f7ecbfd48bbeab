// The window's picture: the embedded JPEG decoded into image 1 and shown by gadget 0.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// Decodes the `size` bytes at `picture` into image 1 and shows it by gadget 0 at (5, 5),
// 330 x 100, in the current gadget list. A picture that cannot be decoded leaves the
// gadget empty and nothing is reported. The JPEG decoder must be registered before.
// Returns the gadget's control, or 0 when it could not be made.
NativeHandle PictureShow(const unsigned char* picture, std::size_t size);
