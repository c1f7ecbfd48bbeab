// The JPEG decoder of the image decoder chain, over libjpeg: every JPEG picture becomes
// 24-bit blue, green, red pixels written straight into the image's bitmap.
#pragma once

#include <csetjmp>
#include <cstdint>

#include "image/image_decoder.h"

struct jpeg_decompress_struct;

extern const ImageDecoder JpegDecoder;

// Registers the decoder with the chain once; returns non-zero (also when already registered).
int JpegDecoderRegister();

int JpegOpen(ImageDecodeContext* context);
int JpegDecode(ImageDecodeContext* context, unsigned char* pixels, std::int64_t stride, std::uint32_t flags);
void JpegClose(ImageDecodeContext* context);

// libjpeg's error exit and message output, replaced: errors jump back into JpegOpen or
// JpegDecode, and nothing is ever printed.
struct jpeg_common_struct;
[[noreturn]] void JpegErrorExit(jpeg_common_struct* info);
void JpegSilentMessage(jpeg_common_struct* info);

struct JpegSink;
void JpegPutRow(jpeg_decompress_struct* info, JpegSink* sink, unsigned rowsRead);
