#include "image/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "image/jpeg_pixels.h"
#include "runtime/heaps.h"

#if JPEG_LIB_VERSION < 80 && !defined(MEM_SRCDST_SUPPORTED)
#error "libjpeg without jpeg_mem_src: the decoder reads pictures from memory"
#endif

// Where the decoder keeps its objects in the context's private words.
enum JpegPrivateWord { JpegWordDecompress = 0, JpegWordError = 1, JpegWordSink = 2 };

struct JpegErrorRecord {
  jpeg_error_mgr manager;  // first: the decompression object's error pointer is also the record's
  std::jmp_buf jump;
};

struct JpegSink {
  unsigned char* destination;  // the memory row of the picture row being decoded
  JSAMPARRAY buffer;           // one row, libjpeg's samples
  void (*putRow)(jpeg_decompress_struct* info, JpegSink* sink, unsigned rowsRead);
};

namespace {

// libjpeg may use this much memory for one picture beyond its row buffers (progressive
// pictures keep every coefficient); larger pictures fail to open instead of exhausting memory.
#ifndef TLE_IMAGE_MAX_MEGABYTES
#define TLE_IMAGE_MAX_MEGABYTES 256
#endif
constexpr long JpegMaxMemoryBytes = long{TLE_IMAGE_MAX_MEGABYTES} << 20;

jpeg_decompress_struct* DecompressOf(ImageDecodeContext* context) {
  return reinterpret_cast<jpeg_decompress_struct*>(context->privateData[JpegWordDecompress]);
}
JpegErrorRecord* ErrorOf(ImageDecodeContext* context) {
  return reinterpret_cast<JpegErrorRecord*>(context->privateData[JpegWordError]);
}
JpegSink* SinkOf(ImageDecodeContext* context) { return reinterpret_cast<JpegSink*>(context->privateData[JpegWordSink]); }

J_COLOR_SPACE OutputColourSpace(J_COLOR_SPACE fileSpace, J_COLOR_SPACE chosen) {
  switch (fileSpace) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr: return JCS_RGB;
    case JCS_YCCK: return JCS_CMYK;
    default: return chosen;
  }
}

// The part of JpegOpen that calls libjpeg; errors jump back to the caller's target.
bool ReadHeaderAndStart(ImageDecodeContext* context, jpeg_decompress_struct* info) {
  jpeg_create_decompress(info);
  info->mem->max_memory_to_use = JpegMaxMemoryBytes;
  jpeg_mem_src(info, context->sourceAddress, context->sourceSize);
  if (jpeg_read_header(info, TRUE) == 0 || info->jpeg_color_space == JCS_UNKNOWN) return false;
  info->dct_method = JDCT_ISLOW;
  info->out_color_space = OutputColourSpace(info->jpeg_color_space, info->out_color_space);
  if (info->out_color_space != JCS_RGB && info->out_color_space != JCS_CMYK) return false;
  jpeg_calc_output_dimensions(info);
  const JDIMENSION paddedWidth = (info->output_width * static_cast<JDIMENSION>(info->output_components) + 3) & ~3u;
  auto* sink = static_cast<JpegSink*>(
      info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, sizeof(JpegSink)));
  sink->destination = nullptr;
  sink->buffer = info->mem->alloc_sarray(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, paddedWidth, 1);
  sink->putRow = JpegPutRow;
  context->privateData[JpegWordSink] = reinterpret_cast<std::intptr_t>(sink);
  jpeg_start_decompress(info);
  return true;
}

}  // namespace

const ImageDecoder JpegDecoder = {JpegOpen, JpegDecode, JpegClose, ImageTag('J', 'P', 'E', 'G')};

int JpegDecoderRegister() {
  // Registered once per start-up of the decoder chain; later calls register nothing.
  if (!ImageDecoderIsRegistered(&JpegDecoder)) ImageDecoderRegister(&JpegDecoder);
  return 1;
}

int JpegOpen(ImageDecodeContext* context) {
  if (context->sourceSize < 2) return 0;
  if (context->sourceAddress[0] != 0xFF || context->sourceAddress[1] != 0xD8) return 0;
  auto* info = static_cast<jpeg_decompress_struct*>(MainHeapAllocZero(sizeof(jpeg_decompress_struct)));
  context->privateData[JpegWordDecompress] = reinterpret_cast<std::intptr_t>(info);
  auto* error = static_cast<JpegErrorRecord*>(MainHeapAllocZero(sizeof(JpegErrorRecord)));
  context->privateData[JpegWordError] = reinterpret_cast<std::intptr_t>(error);
  if (info == nullptr || error == nullptr) {
    JpegClose(context);
    return 0;
  }
  info->err = jpeg_std_error(&error->manager);
  error->manager.error_exit = JpegErrorExit;
  error->manager.output_message = JpegSilentMessage;
  // No object with a destructor lives in this frame or in ReadHeaderAndStart's, so the
  // jump back from libjpeg skips nothing that needs running.
  if (setjmp(error->jump) != 0 || !ReadHeaderAndStart(context, info)) {
    JpegClose(context);
    return 0;
  }
  context->width = static_cast<std::int32_t>(info->output_width);
  context->height = static_cast<std::int32_t>(info->output_height);
  context->depth = 24;
  context->sourceDepth = info->output_components * 8;
  return 1;
}

int JpegDecode(ImageDecodeContext* context, unsigned char* pixels, std::int64_t stride, std::uint32_t flags) {
  jpeg_decompress_struct* info = DecompressOf(context);
  JpegSink* sink = SinkOf(context);
  if (info == nullptr || sink == nullptr || pixels == nullptr) return 0;
  if (setjmp(ErrorOf(context)->jump) != 0) return 0;
  sink->putRow = JpegPutRow;
  for (std::int32_t row = 0; row < context->height; ++row) {
    sink->destination = JpegRowDestination(pixels, stride, context->height, row, flags);
    const JDIMENSION rowsRead = jpeg_read_scanlines(info, sink->buffer, 1);
    sink->putRow(info, sink, rowsRead);
  }
  jpeg_finish_decompress(info);
  return 1;
}

void JpegClose(ImageDecodeContext* context) {
  jpeg_decompress_struct* info = DecompressOf(context);
  if (info != nullptr) {
    // Also releases the per-image pool, and the sink in it.
    if (info->err != nullptr) jpeg_destroy_decompress(info);
    MainHeapFree(info);
  }
  JpegErrorRecord* error = ErrorOf(context);
  if (error != nullptr) MainHeapFree(error);
  context->privateData[JpegWordDecompress] = 0;
  context->privateData[JpegWordError] = 0;
  context->privateData[JpegWordSink] = 0;
}

void JpegErrorExit(jpeg_common_struct* info) {
  auto* error = reinterpret_cast<JpegErrorRecord*>(info->err);
  std::longjmp(error->jump, 1);
}

void JpegSilentMessage(jpeg_common_struct*) {}

void JpegPutRow(jpeg_decompress_struct* info, JpegSink* sink, unsigned rowsRead) {
  if (rowsRead == 0) return;
  if (info->out_color_space == JCS_CMYK) JpegConvertCmykRow(sink->buffer[0], info->output_width, sink->destination);
  else JpegConvertRgbRow(sink->buffer[0], info->output_width, sink->destination);
}
