#pragma once

#include <array>
#include <cstdint>

#include "platform/image/picture.h"

namespace quillet::image::detail {

enum class BmpCoding { Rgb, Bitfields, Rle8, Rle4, Rle24 };

// What the pixel reader needs from the file and info headers. Every field has
// been checked against the limits and the file length; offsets are 64-bit so
// that hostile values cannot wrap.
struct BmpHeader {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  BmpCoding coding = BmpCoding::Rgb;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue for 16 and 32 bits
  std::uint64_t paletteOffset = 0;
  int paletteEntries = 0;  // present in the file, at most 256
  int paletteEntrySize = 4;
  std::uint64_t dataOffset = 0;  // may lie past the end: the pixels are missing
};

Result<BmpHeader> readBmpHeader(ByteView bytes);

}  // namespace quillet::image::detail
