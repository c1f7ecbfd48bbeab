#include "tests/image/jpeg_writer.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

Bytes WriteJpeg(JpegKind kind, int width, int height, const std::vector<unsigned char>& samples) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  switch (kind) {
    case JpegKind::Grayscale: info.input_components = 1; info.in_color_space = JCS_GRAYSCALE; break;
    case JpegKind::AdobeCmyk:
    case JpegKind::AdobeYcck: info.input_components = 4; info.in_color_space = JCS_CMYK; break;
    case JpegKind::TwoComponents: info.input_components = 2; info.in_color_space = JCS_UNKNOWN; break;
    default: info.input_components = 3; info.in_color_space = JCS_RGB; break;
  }
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kind == JpegKind::Colour420 || kind == JpegKind::Progressive ? 90 : 100, TRUE);
  if (kind == JpegKind::AdobeCmyk) jpeg_set_colorspace(&info, JCS_CMYK);
  if (kind == JpegKind::AdobeYcck) jpeg_set_colorspace(&info, JCS_YCCK);
  if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
  // Full resolution everywhere except the 4:2:0 colour pictures, so flat colours survive.
  const bool subsample = kind == JpegKind::Colour420 || kind == JpegKind::Progressive;
  for (int c = 0; c < info.num_components; ++c) {
    info.comp_info[c].h_samp_factor = subsample && c == 0 ? 2 : 1;
    info.comp_info[c].v_samp_factor = subsample && c == 0 ? 2 : 1;
  }
  jpeg_start_compress(&info, TRUE);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(info.input_components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + rowBytes * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}
