// Writes JPEG pictures in memory with libjpeg's compressor, so the decoder tests make the
// exact pictures they need (colour spaces, sampling, progressive scans).
#pragma once

#include <vector>

using Bytes = std::vector<unsigned char>;

enum class JpegKind { Colour420, Grayscale, Progressive, AdobeCmyk, AdobeYcck, TwoComponents };

// `samples` holds width x height pixels of the kind's input components (3 for the colour
// kinds, 1 grey, 4 C M Y K, 2 for the two-component picture), top row first.
Bytes WriteJpeg(JpegKind kind, int width, int height, const std::vector<unsigned char>& samples);
