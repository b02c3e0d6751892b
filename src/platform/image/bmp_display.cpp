#include "platform/image/bmp_display.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/image/bmp_direct.h"
#include "platform/image/two_threads.h"

namespace quillet::image::detail {

namespace {

// Adds one BMP row's k-pixel runs into `sums` as red, green, blue; a fixed
// run length lets the compiler unroll the common factors.
template <int K>
void addRuns(const std::uint8_t* src, int w, int k, std::uint32_t* acc) {
  const int run = K > 0 ? K : k;
  int x = 0;
  for (; x + run <= w; x += run, acc += 3) {
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
  if (x < w) {
    std::uint32_t b = 0, g = 0, r = 0;
    for (; x < w; ++x, src += 3) {
      b += src[0];
      g += src[1];
      r += src[2];
    }
    acc[0] += r;
    acc[1] += g;
    acc[2] += b;
  }
}

void addRow(const std::uint8_t* src, int w, int k, std::uint32_t* acc) {
  switch (k) {
    case 2:
      return addRuns<2>(src, w, k, acc);
    case 4:
      return addRuns<4>(src, w, k, acc);
    case 8:
      return addRuns<8>(src, w, k, acc);
    default:
      return addRuns<0>(src, w, k, acc);
  }
}

}  // namespace

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
  try {
    out.rgb.resize(out.stride() * static_cast<std::size_t>(out.height));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  // The reduction touches every byte of a file of up to 300 MB once: both
  // cores share it, each with its own band of output rows.
  detail::inTwo([&](int half) {
    const auto [top, bottom] = halfOf(out.height, half);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(out.width) * 3);
    for (int oy = top; oy < bottom; ++oy) {
      std::fill(sums.begin(), sums.end(), 0u);
      const int y0 = oy * k;
      const int y1 = std::min(h, y0 + k);
      for (int y = y0; y < y1; ++y) {
        // BMP rows run bottom-up and hold blue, green, red.
        const std::uint8_t* src =
            plain->bottomRow + plain->stride * static_cast<std::size_t>(h - 1 - y);
        addRow(src, w, k, sums.data());
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
  });
  return out;
}

}  // namespace quillet::image::detail
