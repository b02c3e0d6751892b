// The JPEG path on arbitrary bytes: the marker walk, a scaled decode for a
// box taken from the input, a full decode, the same through libjpeg's own
// interface, and the mirror that decodes in bands on two threads, which must
// show whatever the full decode shows, pixel for pixel.
#include <cstdint>
#include <cstdlib>

#include "platform/image/jpeg_operations.h"
#include "platform/image/jpeg_scanlines.h"
#include "platform/image/picture.h"
#include "platform/image/transform.h"

namespace {

// Large pictures only cost time here: the checks in front of the allocation
// are the same for any size, and the unit tests cover the limits.
constexpr std::int64_t kFuzzPixels = 1 << 20;

void check(const quillet::image::Result<quillet::image::Bitmap>& picture,
           quillet::image::Size expected) {
  if (!picture) {
    if (picture.error.empty()) std::abort();
    return;
  }
  const auto& b = picture.value;
  if (b.width != expected.width || b.height != expected.height) std::abort();
  if (b.rgb.size() != b.stride() * static_cast<std::size_t>(b.height)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
  using namespace quillet::image;
  const ByteView bytes(data, length);
  const auto size = readSize(bytes);
  if (!size) {
    // Whatever the header walk refuses, the decoder must refuse too.
    if (decode(bytes)) std::abort();
    return 0;
  }
  const Size full = size.value;
  if (std::int64_t{full.width} * full.height > kFuzzPixels) return 0;

  const int boxWidth = length > 0 ? data[length - 1] : 0;
  const int boxHeight = length > 1 ? data[length - 2] : 0;
  // Only a JPEG is decoded smaller for display; a BMP comes out whole.
  const Scale scale =
      detectFormat(bytes) == Format::Jpeg ? displayScale(full, boxWidth, boxHeight) : Scale{};
  const auto scaled = [&](int side) { return (side * scale.num + scale.denom - 1) / scale.denom; };
  check(decodeForDisplay(bytes, boxWidth, boxHeight), {scaled(full.width), scaled(full.height)});
  const auto whole = decode(bytes);
  check(whole, full);
  if (detectFormat(bytes) != Format::Jpeg) return 0;

  const auto scanlines = detail::decodeJpegScanlines(bytes, Scale{});
  check(scanlines, full);
  if (whole && scanlines && scanlines.value != whole.value) std::abort();
  const bool horizontal = length > 2 && (data[length - 3] & 1);
  const bool vertical = length > 2 && (data[length - 3] & 2);
  const auto mirrored = mirrorJpeg(bytes, horizontal, vertical, true, {});
  if (!mirrored && mirrored.error.empty()) std::abort();
  if (whole && !mirrored) std::abort();
  if (whole && (mirrored.value.bitmap != flipBitmap(whole.value, horizontal, vertical) ||
                mirrored.value.bmp != flipToBmp(whole.value, horizontal, vertical))) {
    std::abort();
  }
  return 0;
}
