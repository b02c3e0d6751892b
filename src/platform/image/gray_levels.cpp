#include "platform/image/gray_levels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/image/bmp_direct.h"
#include "platform/image/bytes.h"
#include "platform/image/reasons.h"

namespace quillet::image {

namespace {

using detail::has;
using detail::le16;
using detail::le32;
using detail::putLe16;
using detail::putLe32;

constexpr int kMaxSum = 3 * 255;

// Index of a pixel from the sum of its three channels.
using SumTable = std::array<std::uint8_t, kMaxSum + 1>;

SumTable sumTable(int divisor) {
  SumTable table{};
  for (int sum = 0; sum <= kMaxSum; ++sum) table[sum] = static_cast<std::uint8_t>(sum / divisor);
  return table;
}

// What every result looks like: 8 bits a pixel, a palette starting with
// black. A colour palette that happens to start with black (most do) is not
// a reduction, and is reduced like any other picture; so the palette as far
// as the file holds it must be gray throughout.
bool isGrayResult(ByteView p) {
  if (p.size() < 58 || p[0] != 'B' || p[1] != 'M' || le16(&p[28]) != 8 || p[54] != 0 ||
      p[55] != 0 || p[56] != 0 || p[57] != 0) {
    return false;
  }
  const std::size_t end =
      std::min<std::size_t>({p.size(), kGrayHeaderSize, std::max<std::size_t>(le32(&p[10]), 58)});
  for (std::size_t at = 58; at + 4 <= end; at += 4) {
    if (p[at] != p[at + 1] || p[at + 1] != p[at + 2] || p[at + 3] != 0) return false;
  }
  return true;
}

using detail::grayStride;

void writeHeader(std::uint8_t* out, int width, int height, int levels, std::size_t imageSize) {
  std::memset(out, 0, 54);
  detail::putBmpHeaders(out, static_cast<std::uint32_t>(kGrayHeaderSize), width, height, 8,
                        static_cast<std::uint32_t>(imageSize), 0);
  const int step = 255 / (levels - 1);
  std::uint8_t* palette = out + 54;
  for (int i = 0; i < 256; ++i, palette += 4) {
    const auto gray = static_cast<std::uint8_t>(i < levels ? i * step : 255);
    palette[0] = palette[1] = palette[2] = gray;
    palette[3] = 0;
  }
}

// Channel order does not matter to a sum, so RGB and BGR rows share these.
void reduceRowPlain(const std::uint8_t* src, std::uint8_t* dst, int width, const SumTable& table,
                    int) {
  for (int x = 0; x < width; ++x, src += 3) dst[x] = table[src[0] + src[1] + src[2]];
}

#if defined(__x86_64__) || defined(__i386__)
// Shuffles that gather channel c of sixteen packed pixels from the part-th
// sixteen of their 48 bytes (-128 leaves a zero).
constexpr auto kPicks = [] {
  std::array<std::array<std::array<std::int8_t, 16>, 3>, 3> picks{};
  for (int channel = 0; channel < 3; ++channel) {
    for (int part = 0; part < 3; ++part) {
      for (int i = 0; i < 16; ++i) {
        const int at = 3 * i + channel - 16 * part;
        picks[channel][part][i] = static_cast<std::int8_t>(at >= 0 && at < 16 ? at : -128);
      }
    }
  }
  return picks;
}();

// Sixteen pixels at a time: their 48 bytes sorted into three channels,
// summed in 16-bit lanes and divided by a multiply that is at most one
// short, then corrected. The tail goes through the table.
__attribute__((target("ssse3"))) void reduceRowSsse3(const std::uint8_t* src, std::uint8_t* dst,
                                                     int width, const SumTable& table,
                                                     int divisor) {
  const auto pick = [](int channel, int part) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPicks[channel][part].data()));
  };
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi16(1);
  const __m128i q = _mm_set1_epi16(static_cast<short>(divisor));
  const __m128i reciprocal = _mm_set1_epi16(static_cast<short>(65536 / divisor));
  const auto divide = [&](__m128i sum) {
    const __m128i t = _mm_mulhi_epu16(sum, reciprocal);
    const __m128i next = _mm_add_epi16(t, one);
    // All values stay below 1200, so the signed compare is safe.
    return _mm_add_epi16(next, _mm_cmpgt_epi16(_mm_mullo_epi16(next, q), sum));
  };
  int x = 0;
  for (; x + 16 <= width; x += 16, src += 48) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
    __m128i low = zero;
    __m128i high = zero;
    for (int channel = 0; channel < 3; ++channel) {
      const __m128i v = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, pick(channel, 0)),
                                                  _mm_shuffle_epi8(b, pick(channel, 1))),
                                     _mm_shuffle_epi8(c, pick(channel, 2)));
      low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
      high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                     _mm_packus_epi16(divide(low), divide(high)));
  }
  reduceRowPlain(src, dst + x, width - x, table, divisor);
}
#endif

using RowReducer = void (*)(const std::uint8_t*, std::uint8_t*, int, const SumTable&, int);

RowReducer rowReducer() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("ssse3")) return reduceRowSsse3;
#endif
  return reduceRowPlain;
}

void reduceRow(const std::uint8_t* src, std::uint8_t* dst, int width, std::size_t padding,
               const SumTable& table, int divisor) {
  static const RowReducer reducer = rowReducer();
  reducer(src, dst, width, table, divisor);
  std::memset(dst + width, 0, padding);
}

bool prepare(Bytes& out, int width, int height, int levels) {
  const std::size_t stride = grayStride(width);
  const std::size_t imageSize = stride * static_cast<std::size_t>(height);
  try {
    out.resize(kGrayHeaderSize + imageSize);
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
  writeHeader(out.data(), width, height, levels, imageSize);
  return true;
}

}  // namespace

std::string applyGrayLevelsInto(ByteView picture, int levels, Bytes& out) {
  if (isGrayResult(picture)) {
    try {
      out.assign(picture.begin(), picture.end());
    } catch (const std::bad_alloc&) {
      out.clear();
      return std::string(detail::kOutOfMemory);
    }
    return {};
  }
  levels = std::clamp(levels, kMinGrayLevels, kMaxGrayLevels);
  const int divisor = 768 / levels;  // at least 3, so no index passes 255
  const SumTable table = sumTable(divisor);

  // A plain 24-bit file is read where it lies; anything else (a JPEG, other
  // depths, top-down rows, missing rows) is decoded first, so every byte the
  // loop reads is the picture's own.
  if (const auto rows = detail::plainBmp24(picture)) {
    if (!prepare(out, rows->width, rows->height, levels)) {
      return std::string(detail::kOutOfMemory);
    }
    const std::size_t stride = grayStride(rows->width);
    const std::size_t padding = stride - static_cast<std::size_t>(rows->width);
    std::uint8_t* dst = out.data() + kGrayHeaderSize;
    const std::uint8_t* src = rows->bottomRow;
    for (int r = 0; r < rows->height; ++r, src += rows->stride, dst += stride) {
      reduceRow(src, dst, rows->width, padding, table, divisor);
    }
    return {};
  }

  auto decoded = decode(picture);
  if (!decoded) {
    out.clear();
    return std::move(decoded.error);
  }
  const Bitmap& b = decoded.value;
  if (!prepare(out, b.width, b.height, levels)) return std::string(detail::kOutOfMemory);
  const std::size_t stride = grayStride(b.width);
  const std::size_t padding = stride - static_cast<std::size_t>(b.width);
  for (int y = 0; y < b.height; ++y) {
    std::uint8_t* dst =
        out.data() + kGrayHeaderSize + stride * static_cast<std::size_t>(b.height - 1 - y);
    reduceRow(b.row(y), dst, b.width, padding, table, divisor);
  }
  return {};
}

Result<Bytes> applyGrayLevels(ByteView picture, int levels) {
  Result<Bytes> result;
  result.error = applyGrayLevelsInto(picture, levels, result.value);
  return result;
}

namespace detail {

std::size_t grayStride(int width) {
  return static_cast<std::size_t>(width) + static_cast<std::size_t>((4 - width % 4) % 4);
}

Bytes grayHead(int width, int height, int levels) {
  levels = std::clamp(levels, kMinGrayLevels, kMaxGrayLevels);
  Bytes head(kGrayHeaderSize);
  writeHeader(head.data(), width, height, levels,
              grayStride(width) * static_cast<std::size_t>(height));
  return head;
}

GrayRows::GrayRows(int levels)
    : divisor_(768 / std::clamp(levels, kMinGrayLevels, kMaxGrayLevels)),
      table_(sumTable(divisor_)) {}

void GrayRows::reduce(const std::uint8_t* pixels, std::uint8_t* indices, int width) const {
  reduceRow(pixels, indices, width, grayStride(width) - static_cast<std::size_t>(width), table_,
            divisor_);
}

}  // namespace detail

}  // namespace quillet::image
