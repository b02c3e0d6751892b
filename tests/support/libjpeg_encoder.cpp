#include "support/libjpeg_encoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// After <cstdio>, which it needs and does not include.
#include <jpeglib.h>

namespace quillet::testing {

image::Bytes libjpegEncoded(const image::Bitmap& picture, int lumaH, int lumaV, int quality,
                            int restartRows) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.comp_info[0].h_samp_factor = lumaH;
  info.comp_info[0].v_samp_factor = lumaV;
  info.restart_in_rows = restartRows;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<std::uint8_t*>(picture.row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  image::Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace quillet::testing
