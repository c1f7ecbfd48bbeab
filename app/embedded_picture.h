// The picture the program's window shows: a complete JPEG file (330 x 100) carried in the
// program's data, made from app/picture/tle_picture.jpg when the program is built.
#pragma once

#include <cstddef>

extern const unsigned char EmbeddedPicture[];
// The file's length: the decoder is told where the picture ends, so a damaged picture
// cannot lead it past the array.
extern const std::size_t EmbeddedPictureSize;
