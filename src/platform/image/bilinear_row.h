#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet::image::detail {

// A run of interior bilinear samples along a line through a picture of 3
// bytes a pixel: sample i lies at (sx + i * dx, sy + i * dy), fixed point
// with 32 bits of fraction, and all four of its neighbours are on the
// picture.
struct BilinearRun {
  const std::uint8_t* pixels;
  std::size_t stride;
  std::size_t size;  // bytes readable from `pixels`
  std::int64_t sx, sy, dx, dy;
  int count;
  std::uint8_t* out;  // 3 bytes a sample
  bool swapRedBlue;
};

// Samples the run a pixel's three channels at a time where the processor
// can, with the very sums of the one-channel-at-a-time loop, and returns
// how many samples it did, from the first; the caller does the rest.
int bilinearRow(const BilinearRun& run);

}  // namespace quillet::image::detail
