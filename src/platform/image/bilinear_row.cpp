#include "platform/image/bilinear_row.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quillet::image::detail {

#if defined(__x86_64__) || defined(__i386__)

namespace {

constexpr int kFraction = 32;

// The one-channel loop weighs the neighbours w00 = (256-fx)(256-fy),
// w01 = fx(256-fy), w10 = (256-fx)fy and w11 = fx fy; the same sum is
// (256-fy) top + fy bottom, with top = (256-fx) c00 + fx c01 and bottom
// likewise, which 16-bit pair products give exactly.
__attribute__((target("sse4.1"))) int threeChannels(const BilinearRun& run) {
  // Each neighbour pair is read as eight bytes, two past the pair: a sample
  // whose lower pair ends within two bytes of the picture's end is left to
  // the caller.
  const __m128i pairs = _mm_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
  const __m128i order =
      run.swapRedBlue ? _mm_setr_epi8(8, 4, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)
                      : _mm_setr_epi8(0, 4, 8, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i half = _mm_set1_epi32(1 << 15);
  std::int64_t sx = run.sx;
  std::int64_t sy = run.sy;
  std::uint8_t* out = run.out;
  int i = 0;
  for (; i < run.count; ++i, sx += run.dx, sy += run.dy, out += 3) {
    const auto ix = static_cast<std::size_t>(sx >> kFraction);
    const auto iy = static_cast<std::size_t>(sy >> kFraction);
    const std::size_t at = iy * run.stride + ix * 3;
    if (at + run.stride + 8 > run.size) break;
    const auto fx = static_cast<int>((sx >> (kFraction - 8)) & 0xFF);
    const auto fy = static_cast<int>((sy >> (kFraction - 8)) & 0xFF);
    const __m128i top8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(run.pixels + at));
    const __m128i bottom8 =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(run.pixels + at + run.stride));
    const __m128i wx = _mm_set1_epi32((256 - fx) | (fx << 16));
    const __m128i top = _mm_madd_epi16(_mm_shuffle_epi8(top8, pairs), wx);
    const __m128i bottom = _mm_madd_epi16(_mm_shuffle_epi8(bottom8, pairs), wx);
    const __m128i sum = _mm_add_epi32(
        _mm_slli_epi32(top, 8), _mm_mullo_epi32(_mm_set1_epi32(fy), _mm_sub_epi32(bottom, top)));
    const __m128i pixel = _mm_shuffle_epi8(_mm_srli_epi32(_mm_add_epi32(sum, half), 16), order);
    const auto bytes = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixel));
    std::memcpy(out, &bytes, 3);
  }
  return i;
}

}  // namespace

int bilinearRow(const BilinearRun& run) {
  static const bool can = __builtin_cpu_supports("sse4.1");
  return can ? threeChannels(run) : 0;
}

#else

int bilinearRow(const BilinearRun&) { return 0; }

#endif

}  // namespace quillet::image::detail
