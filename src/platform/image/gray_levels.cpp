#include "platform/image/gray_levels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

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

SumTable sumTable(int levels) {
  const int divisor = 768 / levels;  // at least 3, so no index passes 255
  SumTable table{};
  for (int sum = 0; sum <= kMaxSum; ++sum) table[sum] = static_cast<std::uint8_t>(sum / divisor);
  return table;
}

bool isGrayResult(ByteView p) {
  return p.size() >= 58 && p[0] == 'B' && p[1] == 'M' && le16(&p[28]) == 8 && p[54] == 0 &&
         p[55] == 0 && p[56] == 0 && p[57] == 0;
}

std::size_t grayStride(int width) {
  return static_cast<std::size_t>(width) + static_cast<std::size_t>((4 - width % 4) % 4);
}

void writeHeader(std::uint8_t* out, int width, int height, int levels, std::size_t imageSize) {
  std::memset(out, 0, 54);
  out[0] = 'B';
  out[1] = 'M';
  putLe32(out + 2, static_cast<std::uint32_t>(kGrayHeaderSize + imageSize));
  putLe32(out + 10, static_cast<std::uint32_t>(kGrayHeaderSize));
  putLe32(out + 14, 40);
  putLe32(out + 18, static_cast<std::uint32_t>(width));
  putLe32(out + 22, static_cast<std::uint32_t>(height));
  putLe16(out + 26, 1);
  putLe16(out + 28, 8);
  putLe32(out + 34, static_cast<std::uint32_t>(imageSize));
  const int step = 255 / (levels - 1);
  std::uint8_t* palette = out + 54;
  for (int i = 0; i < 256; ++i, palette += 4) {
    const auto gray = static_cast<std::uint8_t>(i < levels ? i * step : 255);
    palette[0] = palette[1] = palette[2] = gray;
    palette[3] = 0;
  }
}

// Channel order does not matter to a sum, so RGB and BGR rows share this.
void reduceRow(const std::uint8_t* src, std::uint8_t* dst, int width, std::size_t padding,
               const SumTable& table) {
  for (int x = 0; x < width; ++x, src += 3) dst[x] = table[src[0] + src[1] + src[2]];
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
  const SumTable table = sumTable(levels);

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
      reduceRow(src, dst, rows->width, padding, table);
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
    reduceRow(b.row(y), dst, b.width, padding, table);
  }
  return {};
}

Result<Bytes> applyGrayLevels(ByteView picture, int levels) {
  Result<Bytes> result;
  result.error = applyGrayLevelsInto(picture, levels, result.value);
  return result;
}

}  // namespace quillet::image
