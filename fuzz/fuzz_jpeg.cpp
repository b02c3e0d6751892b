// The JPEG path on arbitrary bytes: the marker walk, a scaled decode for a
// box taken from the input, and a full decode.
#include <cstdint>
#include <cstdlib>

#include "platform/image/picture.h"

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
  check(decode(bytes), full);
  return 0;
}
