#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/image/picture.h"

// Reduction of a picture to a few gray levels for tracing, as an 8-bit
// palette BMP: 1078 bytes of headers and palette, then one index byte a
// pixel, rows bottom-up and padded to four bytes. The index is the plain sum
// of red, green and blue divided by int(768 / levels), so for level counts
// that do not divide 768 the brightest pixels get indices past the last
// gray, which the palette shows as white.
namespace quillet::image {

inline constexpr std::size_t kGrayHeaderSize = 1078;
inline constexpr int kMinGrayLevels = 2;
inline constexpr int kMaxGrayLevels = 256;

// `levels` outside 2..256 is clamped. An 8-bit BMP whose first palette entry
// is all zeros and whose palette is gray (as every result of this function
// is) comes back unchanged, so reducing twice changes nothing. JPEGs and BMPs
// that are not plain 24-bit bottom-up files go through the decoder; a
// picture it refuses gives its reason.
Result<Bytes> applyGrayLevels(ByteView picture, int levels);

// The same into `out`, whose buffer is reused. Returns the reason there is
// no result (and leaves `out` empty), or an empty string.
std::string applyGrayLevelsInto(ByteView picture, int levels, Bytes& out);

namespace detail {

// The pieces of a reduction, for writing one a band at a time: the headers
// and palette, the padded row length, and the rows themselves (pixels in
// either channel order, since only their sum counts; padding zeroed).
Bytes grayHead(int width, int height, int levels);
std::size_t grayStride(int width);

class GrayRows {
 public:
  explicit GrayRows(int levels);
  void reduce(const std::uint8_t* pixels, std::uint8_t* indices, int width) const;

 private:
  int divisor_;
  std::array<std::uint8_t, 3 * 255 + 1> table_;
};

}  // namespace detail

}  // namespace quillet::image
