#include "platform/image/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <new>

#include "platform/image/bmp_header.h"
#include "platform/image/bytes.h"
#include "platform/image/reasons.h"

namespace quillet::image::detail {

namespace {

using Color = std::array<std::uint8_t, 3>;

// Always 256 entries: indices past the file's palette (short palettes, or a
// hostile index) find black instead of reading past the table.
using Palette = std::array<Color, 256>;

Palette readPalette(ByteView bytes, const BmpHeader& header) {
  Palette palette{};
  for (int i = 0; i < header.paletteEntries; ++i) {
    const std::uint8_t* p =
        &bytes[header.paletteOffset + static_cast<std::uint64_t>(i) * header.paletteEntrySize];
    palette[static_cast<std::size_t>(i)] = {p[2], p[1], p[0]};
  }
  return palette;
}

void put(std::uint8_t* dst, const Color& c) {
  dst[0] = c[0];
  dst[1] = c[1];
  dst[2] = c[2];
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 so that an
// all-ones field of any width is full intensity (5 bits of 31 are 255, not 248).
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) {
      lut_.assign(1, 0);
      return;
    }
    shift_ = std::countr_zero(mask);
    std::uint32_t max = mask >> shift_;
    // Fields wider than 16 bits lose their low bits first to keep the table
    // small; those bits are far below one 8-bit step.
    reduce_ = std::max(0, static_cast<int>(std::bit_width(max)) - 16);
    max >>= reduce_;
    lut_.resize(max + 1);
    for (std::uint32_t v = 0; v <= max; ++v) {
      lut_[v] = static_cast<std::uint8_t>((v * 255u + max / 2) / max);
    }
  }

  std::uint8_t operator()(std::uint32_t pixel) const {
    return lut_[((pixel & mask_) >> shift_) >> reduce_];
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  int reduce_ = 0;
  std::vector<std::uint8_t> lut_;
};

class RowReader {
 public:
  RowReader(const BmpHeader& header, const Palette& palette)
      : bits_(header.bits),
        palette_(palette),
        red_(header.masks[0]),
        green_(header.masks[1]),
        blue_(header.masks[2]),
        plain32_(header.bits == 32 &&
                 header.masks == std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF}) {}

  void read(const std::uint8_t* src, std::uint8_t* dst, int width) const {
    switch (bits_) {
      case 24:
        for (int x = 0; x < width; ++x, src += 3, dst += 3) {
          dst[0] = src[2];
          dst[1] = src[1];
          dst[2] = src[0];
        }
        break;
      case 32:
        if (plain32_) {
          for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
          }
        } else {
          for (int x = 0; x < width; ++x, src += 4, dst += 3) masked(le32(src), dst);
        }
        break;
      case 16:
        for (int x = 0; x < width; ++x, src += 2, dst += 3) masked(le16(src), dst);
        break;
      case 8:
        for (int x = 0; x < width; ++x, dst += 3) put(dst, palette_[src[x]]);
        break;
      default:
        indexed(src, dst, width);
        break;
    }
  }

 private:
  void masked(std::uint32_t pixel, std::uint8_t* dst) const {
    dst[0] = red_(pixel);
    dst[1] = green_(pixel);
    dst[2] = blue_(pixel);
  }

  void indexed(const std::uint8_t* src, std::uint8_t* dst, int width) const {
    const int perByte = 8 / bits_;
    const unsigned mask = (1u << bits_) - 1;
    for (int x = 0; x < width; ++x, dst += 3) {
      const int shift = 8 - bits_ * (x % perByte + 1);
      put(dst, palette_[(src[x / perByte] >> shift) & mask]);
    }
  }

  int bits_;
  const Palette& palette_;
  Channel red_;
  Channel green_;
  Channel blue_;
  bool plain32_;
};

void readRows(ByteView data, const BmpHeader& header, const Palette& palette, Bitmap& out) {
  const RowReader reader(header, palette);
  const std::uint64_t bitsPerRow = static_cast<std::uint64_t>(header.width) * header.bits;
  const std::uint64_t stride = (bitsPerRow + 31) / 32 * 4;
  const std::uint64_t used = (bitsPerRow + 7) / 8;
  std::vector<std::uint8_t> partial;
  for (int r = 0; r < header.height; ++r) {
    const std::uint64_t start = static_cast<std::uint64_t>(r) * stride;
    // A truncated file keeps what it has; the missing rows stay black.
    if (start >= data.size()) break;
    const std::uint8_t* src = data.data() + start;
    if (data.size() - start < used) {
      partial.assign(used, 0);
      std::copy(data.begin() + static_cast<std::ptrdiff_t>(start), data.end(), partial.begin());
      src = partial.data();
    }
    reader.read(src, out.row(header.topDown ? r : header.height - 1 - r), header.width);
  }
}

// RLE as Windows writes it: runs, end of line, end of picture, deltas and
// literal runs padded to 16 bits. Anything outside the picture is dropped;
// pixels a delta or an early end skips stay black.
void readRle(ByteView data, const BmpHeader& header, const Palette& palette, Bitmap& out) {
  const std::int64_t width = header.width;
  const std::int64_t height = header.height;
  const std::size_t n = data.size();
  const std::size_t pixelBytes = header.coding == BmpCoding::Rle24 ? 3 : 1;
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::size_t p = 0;

  const auto color = [&](const std::uint8_t* v, std::int64_t i) -> Color {
    switch (header.coding) {
      case BmpCoding::Rle24:
        return {v[2], v[1], v[0]};
      case BmpCoding::Rle4:
        return palette[i % 2 == 0 ? v[0] >> 4 : v[0] & 0x0F];
      default:
        return palette[v[0]];
    }
  };
  const auto target = [&]() {
    return out.row(static_cast<int>(header.topDown ? y : height - 1 - y)) + x * 3;
  };

  while (y < height && p < n) {
    const unsigned count = data[p++];
    if (count > 0) {
      if (n - p < pixelBytes) break;
      const std::uint8_t* v = &data[p];
      p += pixelBytes;
      const std::int64_t visible = x < width ? std::min<std::int64_t>(count, width - x) : 0;
      std::uint8_t* dst = visible > 0 ? target() : nullptr;
      for (std::int64_t i = 0; i < visible; ++i, dst += 3) put(dst, color(v, i));
      x += count;
      continue;
    }
    if (p >= n) break;
    const unsigned code = data[p++];
    if (code == 0) {
      x = 0;
      ++y;
    } else if (code == 1) {
      break;
    } else if (code == 2) {
      if (n - p < 2) break;
      x += data[p];
      y += data[p + 1];
      p += 2;
    } else {
      const bool nibbles = header.coding == BmpCoding::Rle4;
      const std::size_t bytes = nibbles ? (code + 1) / 2 : code * pixelBytes;
      const std::size_t present = std::min(bytes, n - p);
      const std::int64_t inData =
          static_cast<std::int64_t>(nibbles ? present * 2 : present / pixelBytes);
      const std::int64_t visible =
          x < width ? std::min({static_cast<std::int64_t>(code), width - x, inData}) : 0;
      std::uint8_t* dst = visible > 0 ? target() : nullptr;
      for (std::int64_t i = 0; i < visible; ++i, dst += 3) {
        const std::int64_t at = nibbles ? i / 2 : i * static_cast<std::int64_t>(pixelBytes);
        put(dst, color(&data[p + static_cast<std::size_t>(at)], i));
      }
      x += code;
      p += std::min(n - p, bytes + (bytes & 1));
    }
  }
}

}  // namespace

Result<Size> readBmpSize(ByteView bytes) {
  auto header = readBmpHeader(bytes);
  if (!header) return Result<Size>::fail(std::move(header.error));
  return {{header.value.width, header.value.height}, {}};
}

Result<Bitmap> decodeBmp(ByteView bytes) {
  using R = Result<Bitmap>;
  auto parsed = readBmpHeader(bytes);
  if (!parsed) return R::fail(std::move(parsed.error));
  const BmpHeader& header = parsed.value;
  if (header.dataOffset >= bytes.size()) return R::fail(std::string(kTruncated));
  const Palette palette = readPalette(bytes, header);
  const ByteView data = bytes.subspan(static_cast<std::size_t>(header.dataOffset));

  R result;
  Bitmap& out = result.value;
  try {
    out.width = header.width;
    out.height = header.height;
    out.rgb.resize(out.stride() * static_cast<std::size_t>(out.height));
    if (header.coding == BmpCoding::Rgb || header.coding == BmpCoding::Bitfields) {
      readRows(data, header, palette, out);
    } else {
      readRle(data, header, palette, out);
    }
  } catch (const std::bad_alloc&) {
    return R::fail(std::string(kOutOfMemory));
  }
  return result;
}

}  // namespace quillet::image::detail
