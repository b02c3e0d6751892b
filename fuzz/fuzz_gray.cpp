// Gray levels on arbitrary bytes: whatever comes back must be a well-formed
// 8-bit BMP of the picture's size, with indices the level count allows, or
// the very input when that is already a reduction.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/image/gray_levels.h"
#include "platform/image/picture.h"

namespace {

constexpr std::int64_t kFuzzPixels = 1 << 20;

std::uint32_t le32(const quillet::image::Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
  using namespace quillet::image;
  const ByteView bytes(data, length);
  const auto size = readSize(bytes);
  if (size && std::int64_t{size.value.width} * size.value.height > kFuzzPixels) return 0;
  // The last byte picks the count, reaching past both ends of 2..256.
  const int levels = length > 0 ? static_cast<int>(data[length - 1]) - 20 : 4;

  const auto out = applyGrayLevels(bytes, levels * 2);
  if (!out) {
    if (out.error.empty() || !out.value.empty()) std::abort();
    return 0;
  }
  const Bytes& b = out.value;
  if (b == Bytes(bytes.begin(), bytes.end())) return 0;  // an earlier reduction, untouched
  if (b.size() < kGrayHeaderSize || b[0] != 'B' || b[1] != 'M') std::abort();
  if (!size) std::abort();  // a result from something that is no picture
  const auto width = static_cast<std::size_t>(size.value.width);
  const auto height = static_cast<std::size_t>(size.value.height);
  const std::size_t stride = (width + 3) / 4 * 4;
  if (le32(b, 18) != width || le32(b, 22) != height || le32(b, 10) != kGrayHeaderSize ||
      le32(b, 2) != b.size() || b.size() != kGrayHeaderSize + stride * height) {
    std::abort();
  }
  const int count = std::clamp(levels * 2, kMinGrayLevels, kMaxGrayLevels);
  const int highest = 765 / (768 / count);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* row = b.data() + kGrayHeaderSize + y * stride;
    for (std::size_t x = 0; x < stride; ++x) {
      if (x < width ? row[x] > highest : row[x] != 0) std::abort();
    }
  }
  return 0;
}
