#include "platform/image/bmp_codec.h"

#include <limits>
#include <new>

#include "platform/image/bytes.h"

namespace quillet::image::detail {

namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

}  // namespace

Bytes encodeBmpRgb(const Bitmap& bitmap) {
  if (bitmap.empty()) return {};
  const auto width = static_cast<std::uint64_t>(bitmap.width);
  const auto height = static_cast<std::uint64_t>(bitmap.height);
  if (bitmap.rgb.size() / bitmap.stride() < height) return {};
  const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
  const std::uint64_t imageSize = stride * height;
  // The size fields are 32-bit; a picture within kMaxPixels always fits.
  if (kHeadersSize + imageSize > std::numeric_limits<std::uint32_t>::max() ||
      width > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
      height > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    return {};
  }

  Bytes file;
  try {
    file.resize(kHeadersSize + imageSize);
  } catch (const std::bad_alloc&) {
    return {};
  }
  std::uint8_t* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  putLe32(h + 2, static_cast<std::uint32_t>(file.size()));
  putLe32(h + 10, kHeadersSize);
  putLe32(h + 14, 40);
  putLe32(h + 18, static_cast<std::uint32_t>(width));
  putLe32(h + 22, static_cast<std::uint32_t>(height));
  putLe16(h + 26, 1);
  putLe16(h + 28, 24);
  putLe32(h + 34, static_cast<std::uint32_t>(imageSize));
  putLe32(h + 38, kPixelsPerMetre);
  putLe32(h + 42, kPixelsPerMetre);

  // Rows go bottom-up; the padding bytes are already zero from resize.
  for (int y = 0; y < bitmap.height; ++y) {
    const std::uint8_t* src = bitmap.row(y);
    std::uint8_t* dst = h + kHeadersSize + stride * (height - 1 - static_cast<std::uint64_t>(y));
    for (std::uint64_t x = 0; x < width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return file;
}

}  // namespace quillet::image::detail
