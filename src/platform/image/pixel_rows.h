#pragma once

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
