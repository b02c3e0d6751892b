// The BMP reader on arbitrary bytes: header, pixels, and a round trip of
// whatever it accepts through the BMP writer.
#include <cstdint>
#include <cstdlib>

#include "platform/image/picture.h"

namespace {

// Large pictures only cost time here: the checks in front of the allocation
// are the same for any size, and the unit tests cover the limits.
constexpr std::int64_t kFuzzPixels = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
  using namespace quillet::image;
  const ByteView bytes(data, length);
  const auto size = readSize(bytes);
  if (size && std::int64_t{size.value.width} * size.value.height > kFuzzPixels) return 0;
  const auto picture = decode(bytes);
  if (!picture) {
    if (picture.error.empty()) std::abort();
    return 0;
  }
  const Bitmap& b = picture.value;
  if (!size || size.value != Size{b.width, b.height}) std::abort();
  if (b.rgb.size() != b.stride() * static_cast<std::size_t>(b.height)) std::abort();
  if (detectFormat(bytes) == Format::Bmp && decode(encodeBmp24(b)).value != b) std::abort();
  // Reduced for a small box: never larger than the picture, never empty.
  const auto shown = decodeForDisplay(bytes, (b.width + 7) / 8, (b.height + 7) / 8);
  if (!shown || shown.value.width > b.width || shown.value.height > b.height ||
      shown.value.empty()) {
    std::abort();
  }
  return 0;
}
