#include "platform/image/bmp_codec.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/pixel_rows.h"

namespace quillet::image::detail {

Bytes encodeBmpRgb(const Bitmap& bitmap) {
  if (bitmap.empty()) return {};
  if (bitmap.rgb.size() / bitmap.stride() < static_cast<std::size_t>(bitmap.height)) return {};
  Bytes file = bmp24Shell(bitmap.width, bitmap.height);
  if (file.empty()) return file;
  // Rows go bottom-up, blue first; the padding bytes are already zero.
  const std::size_t stride = bmpRowStride(bitmap.width);
  std::uint8_t* pixels = file.data() + kBmpHeadersSize;
  for (int y = 0; y < bitmap.height; ++y) {
    copySwappedRow(bitmap.row(y), pixels + stride * static_cast<std::size_t>(bitmap.height - 1 - y),
                   bitmap.width);
  }
  return file;
}

}  // namespace quillet::image::detail
