#include "platform/image/pixel_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quillet::image::detail {

namespace {

void copySwappedPlain(const std::uint8_t* src, std::uint8_t* dst, int width) {
  int x = 0;
  if constexpr (kLittle) {
    // Red and blue of four pixels exchanged, as three words.
    for (; x + 4 <= width; x += 4) {
      const std::uint8_t* s = src + kPixel * x;
      const auto w0 = load<std::uint32_t>(s);
      const auto w1 = load<std::uint32_t>(s + 4);
      const auto w2 = load<std::uint32_t>(s + 8);
      std::uint8_t* d = dst + kPixel * x;
      store(d, ((w0 >> 16) & 0xFFu) | (w0 & 0xFF00u) | ((w0 & 0xFFu) << 16) |
                   ((w1 << 16) & 0xFF000000u));
      store(d + 4,
            (w1 & 0xFFu) | ((w0 >> 16) & 0xFF00u) | ((w2 & 0xFFu) << 16) | (w1 & 0xFF000000u));
      store(d + 8, ((w1 >> 16) & 0xFFu) | ((w2 >> 16) & 0xFF00u) | (w2 & 0xFF0000u) |
                       ((w2 << 16) & 0xFF000000u));
    }
  }
  for (; x < width; ++x) {
    const std::uint8_t* s = src + kPixel * x;
    std::uint8_t* d = dst + kPixel * x;
    d[0] = s[2];
    d[1] = s[1];
    d[2] = s[0];
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a step: sixteen bytes read and written, of which the first
// twelve are this step's; the last four are written again by the next step.
__attribute__((target("ssse3"))) void copySwappedSsse3(const std::uint8_t* src, std::uint8_t* dst,
                                                       int width) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
  int x = 0;
  // Stops while sixteen bytes are still left, so no step reaches past the row.
  for (; (x + 6) * static_cast<int>(kPixel) <= width * static_cast<int>(kPixel); x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + kPixel * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + kPixel * x), _mm_shuffle_epi8(v, order));
  }
  copySwappedPlain(src + kPixel * x, dst + kPixel * x, width - x);
}
#endif

using RowCopy = void (*)(const std::uint8_t*, std::uint8_t*, int);

RowCopy swappedCopy() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("ssse3")) return copySwappedSsse3;
#endif
  return copySwappedPlain;
}

}  // namespace

void copySwappedRow(const std::uint8_t* src, std::uint8_t* dst, int width) {
  static const RowCopy copy = swappedCopy();
  copy(src, dst, width);
}

}  // namespace quillet::image::detail
