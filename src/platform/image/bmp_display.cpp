#include "platform/image/bmp_display.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/image/bmp_direct.h"

namespace quillet::image::detail {

// Each output pixel is the mean of a k x k block (clipped at the right and
// bottom edges), so thin lines fade rather than vanish as they would if
// pixels were skipped: what is traced from must stay visible.
std::optional<Bitmap> reducedPlainBmp(ByteView bmp, int factor) {
  if (factor < 2) return std::nullopt;
  const auto plain = plainBmp24(bmp);
  if (!plain) return std::nullopt;
  const int w = plain->width, h = plain->height;
  const int k = factor;
  Bitmap out;
  out.width = (w + k - 1) / k;
  out.height = (h + k - 1) / k;
  std::vector<std::uint32_t> sums;
  try {
    out.rgb.resize(out.stride() * static_cast<std::size_t>(out.height));
    sums.resize(static_cast<std::size_t>(out.width) * 3);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  for (int oy = 0; oy < out.height; ++oy) {
    std::fill(sums.begin(), sums.end(), 0u);
    const int y0 = oy * k;
    const int y1 = std::min(h, y0 + k);
    for (int y = y0; y < y1; ++y) {
      // BMP rows run bottom-up and hold blue, green, red.
      const std::uint8_t* src =
          plain->bottomRow + plain->stride * static_cast<std::size_t>(h - 1 - y);
      std::uint32_t* acc = sums.data();
      for (int x = 0; x < w; x += k, acc += 3) {
        const int run = std::min(k, w - x);
        std::uint32_t b = 0, g = 0, r = 0;
        for (int i = 0; i < run; ++i, src += 3) {
          b += src[0];
          g += src[1];
          r += src[2];
        }
        acc[0] += r;
        acc[1] += g;
        acc[2] += b;
      }
    }
    std::uint8_t* dst = out.row(oy);
    const std::uint32_t rows = static_cast<std::uint32_t>(y1 - y0);
    for (int ox = 0; ox < out.width; ++ox, dst += 3) {
      const std::uint32_t cols = static_cast<std::uint32_t>(std::min(k, w - ox * k));
      const std::uint32_t n = rows * cols;
      for (int c = 0; c < 3; ++c) {
        dst[c] =
            static_cast<std::uint8_t>((sums[static_cast<std::size_t>(ox) * 3 + c] + n / 2) / n);
      }
    }
  }
  return out;
}

}  // namespace quillet::image::detail
