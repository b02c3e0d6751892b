#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/image/picture.h"

// Row kernels shared by the transforms and the BMP writers: packed 3-byte
// pixels moved a few words at a time, optionally with red and blue
// exchanged (a Bitmap is R, G, B; a BMP file stores B, G, R).
namespace quillet::image::detail {

inline constexpr std::size_t kPixel = 3;
inline constexpr std::uint32_t kBmpHeadersSize = 14 + 40;

// Row stride of a 24-bit BMP: padded to four bytes.
inline std::size_t bmpRowStride(int width) {
  return (static_cast<std::size_t>(width) * kPixel + 3) / 4 * 4;
}

template <class T>
inline T load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
inline void store(std::uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

inline constexpr bool kLittle = std::endian::native == std::endian::little;

// Reverses the bytes in memory order, whatever the machine's byte order.
constexpr std::uint64_t byteReversed(std::uint64_t v) {
  v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
  v = ((v & 0x0000FFFF0000FFFFull) << 16) | ((v >> 16) & 0x0000FFFF0000FFFFull);
  return (v << 32) | (v >> 32);
}

// `dst` receives the pixels of `src` right to left. Eight pixels reversed
// and with red and blue exchanged are exactly their 24 bytes reversed.
template <bool Swap>
inline void reverseRowInto(const std::uint8_t* src, std::uint8_t* dst, int width) {
  int x = 0;
  if constexpr (Swap) {
    for (; x + 8 <= width; x += 8) {
      const std::uint8_t* s = src + kPixel * (width - 8 - x);
      std::uint8_t* d = dst + kPixel * x;
      const auto a = load<std::uint64_t>(s);
      const auto b = load<std::uint64_t>(s + 8);
      const auto c = load<std::uint64_t>(s + 16);
      store(d, byteReversed(c));
      store(d + 8, byteReversed(b));
      store(d + 16, byteReversed(a));
    }
  } else if constexpr (kLittle) {
    // Four pixels in reverse order, moved as three words.
    for (; x + 4 <= width; x += 4) {
      const std::uint8_t* s = src + kPixel * (width - 4 - x);
      const auto w0 = load<std::uint32_t>(s);
      const auto w1 = load<std::uint32_t>(s + 4);
      const auto w2 = load<std::uint32_t>(s + 8);
      std::uint8_t* d = dst + kPixel * x;
      store(d, (w2 >> 8) | ((w1 << 8) & 0xFF000000u));
      store(d + 4, (w1 >> 24) | ((w2 & 0xFFu) << 8) | ((w0 >> 8) & 0x00FF0000u) | (w1 << 24));
      store(d + 8, ((w1 >> 8) & 0xFFu) | (w0 << 8));
    }
  }
  for (; x < width; ++x) {
    const std::uint8_t* s = src + kPixel * (width - 1 - x);
    std::uint8_t* d = dst + kPixel * x;
    d[0] = s[Swap ? 2 : 0];
    d[1] = s[1];
    d[2] = s[Swap ? 0 : 2];
  }
}

// The pixels of `row` reversed where they lie, four at a time from each end.
inline void reverseRowInPlace(std::uint8_t* row, int width) {
  int left = 0;
  int right = width;  // one past the last pixel not yet placed
  std::uint8_t a[12];
  std::uint8_t b[12];
  while (right - left >= 8) {
    reverseRowInto<false>(row + kPixel * left, a, 4);
    reverseRowInto<false>(row + kPixel * (right - 4), b, 4);
    std::memcpy(row + kPixel * left, b, sizeof b);
    std::memcpy(row + kPixel * (right - 4), a, sizeof a);
    left += 4;
    right -= 4;
  }
  for (--right; left < right; ++left, --right) {
    std::uint8_t* p = row + kPixel * left;
    std::uint8_t* q = row + kPixel * right;
    std::swap_ranges(p, p + kPixel, q);
  }
}

// `count` pixels, from `src` on by `step` bytes each (down or up a column),
// packed into `dst`. Three-byte moves: a four-byte word a pixel, its last
// byte overwritten by the next, measured slower.
inline void gatherPixels(const std::uint8_t* src, std::ptrdiff_t step, std::size_t count,
                         std::uint8_t* dst) {
  for (std::size_t i = 0; i < count; ++i, src += step, dst += kPixel) {
    std::memcpy(dst, src, kPixel);
  }
}

// `dst` receives the pixels of `src` with red and blue exchanged; the rows
// must not overlap.
void copySwappedRow(const std::uint8_t* src, std::uint8_t* dst, int width);

template <bool Swap>
inline void copyRowInto(const std::uint8_t* src, std::uint8_t* dst, int width) {
  if constexpr (Swap) {
    copySwappedRow(src, dst, width);
  } else {
    std::memcpy(dst, src, static_cast<std::size_t>(width) * kPixel);
  }
}

}  // namespace quillet::image::detail
