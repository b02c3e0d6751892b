#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/image/picture.h"

namespace quillet::image {

// Shrinks `source` to `width` x `height` (neither larger than the source's
// side, neither below 1), each output pixel the mean of the source area it
// covers, parts of pixels weighed by how much of them it covers: one step,
// so fine detail softens into its mean instead of breaking into the moiré
// that sampling would leave. A 24-megapixel source is split over two threads.

// Into an RGB bitmap of that size.
Bitmap areaReduced(const Bitmap& source, int width, int height);

// Into 32-bit words 0xFFRRGGBB, `stride` bytes a row: the layout the window
// system paints without converting.
void areaReduceInto(const Bitmap& source, int width, int height, std::uint32_t* out,
                    std::size_t stride);

}  // namespace quillet::image
