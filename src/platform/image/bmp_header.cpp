#include "platform/image/bmp_header.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "platform/image/bytes.h"
#include "platform/image/reasons.h"

namespace quillet::image::detail {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;

// OS/2 2.x headers are 16 to 64 bytes long (trailing fields may be left out);
// 40, 52 and 56 are read as the Windows headers they cannot be told from.
enum class Dialect { Core, Os2, Windows };

bool knownHeaderSize(std::uint32_t size, Dialect& dialect) {
  switch (size) {
    case 12:
      dialect = Dialect::Core;
      return true;
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
      dialect = Dialect::Windows;
      return true;
    default:
      dialect = Dialect::Os2;
      return size >= 16 && size <= 64 && size % 4 == 0;
  }
}

std::string bitsText(unsigned bits) { return std::to_string(bits) + " 位"; }

// Maps the compression field to a coding, refusing what the reader cannot do.
std::string pickCoding(std::uint32_t compression, unsigned bits, Dialect dialect,
                       BmpCoding& coding) {
  const auto needBits = [&](std::initializer_list<unsigned> allowed, BmpCoding chosen,
                            std::string_view name) -> std::string {
    coding = chosen;
    if (std::find(allowed.begin(), allowed.end(), bits) != allowed.end()) return {};
    return unsupportedBmp(std::string(name) + "，" + bitsText(bits));
  };
  switch (compression) {
    case 0:
      coding = BmpCoding::Rgb;
      if (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
          bits == 32) {
        return {};
      }
      return unsupportedBmp(bitsText(bits));
    case 1:
      return needBits({8}, BmpCoding::Rle8, "RLE8");
    case 2:
      return needBits({4}, BmpCoding::Rle4, "RLE4");
    case 3:
      if (dialect == Dialect::Os2) return unsupportedBmp("霍夫曼压缩");
      return needBits({16, 32}, BmpCoding::Bitfields, "位域");
    case 4:
      if (dialect == Dialect::Os2) return needBits({24}, BmpCoding::Rle24, "RLE24");
      return unsupportedBmp("内嵌 JPEG");
    case 5:
      return unsupportedBmp("内嵌 PNG");
    case 6:
      return needBits({16, 32}, BmpCoding::Bitfields, "位域");
    case 11:
    case 12:
    case 13:
      return unsupportedBmp("CMYK");
    default:
      return unsupportedBmp("压缩方式 " + std::to_string(compression));
  }
}

}  // namespace

Result<BmpHeader> readBmpHeader(ByteView bytes) {
  using R = Result<BmpHeader>;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
    return R::fail(std::string(kNotAPicture));
  }
  if (!has(bytes, 0, kFileHeaderSize + 4)) return R::fail(std::string(kTruncated));
  const std::uint64_t offBits = le32(&bytes[10]);
  const std::uint32_t headerSize = le32(&bytes[14]);
  Dialect dialect{};
  if (!knownHeaderSize(headerSize, dialect)) {
    return R::fail(unsupportedBmp("信息头 " + std::to_string(headerSize) + " 字节"));
  }
  if (!has(bytes, kFileHeaderSize, headerSize)) return R::fail(std::string(kTruncated));
  const std::uint8_t* h = &bytes[kFileHeaderSize];

  std::int64_t width = 0;
  std::int64_t height = 0;
  unsigned planes = 0;
  unsigned bits = 0;
  if (dialect == Dialect::Core) {
    width = le16(h + 4);
    height = le16(h + 6);
    planes = le16(h + 8);
    bits = le16(h + 10);
  } else {
    width = le32s(h + 4);
    height = le32s(h + 8);
    planes = le16(h + 12);
    bits = le16(h + 14);
  }
  const std::uint32_t compression = headerSize >= 20 ? le32(h + 16) : 0;
  const std::uint32_t colorsUsed = headerSize >= 36 ? le32(h + 32) : 0;

  if (planes != 1) return R::fail(corruptBmp("位面数为 " + std::to_string(planes)));
  R result;
  BmpHeader& out = result.value;
  if (auto why = pickCoding(compression, bits, dialect, out.coding); !why.empty()) {
    return R::fail(std::move(why));
  }
  out.topDown = height < 0;
  if (out.topDown) height = -height;
  if (auto why = checkSize(width, height); !why.empty()) return R::fail(std::move(why));
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.bits = static_cast<int>(bits);

  std::uint64_t paletteOffset = kFileHeaderSize + headerSize;
  if (out.coding == BmpCoding::Bitfields) {
    if (headerSize >= 52) {
      out.masks = {le32(h + 40), le32(h + 44), le32(h + 48)};
    } else {
      // A 40-byte header is followed by the masks (a fourth one for alpha).
      if (!has(bytes, paletteOffset, 12)) return R::fail(std::string(kTruncated));
      const std::uint8_t* m = &bytes[paletteOffset];
      out.masks = {le32(m), le32(m + 4), le32(m + 8)};
      paletteOffset += compression == 6 ? 16 : 12;
    }
  }
  // No masks at all means the usual layout (some writers leave them empty).
  if (out.masks == std::array<std::uint32_t, 3>{}) {
    if (bits == 16) out.masks = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) out.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }

  out.paletteOffset = paletteOffset;
  out.paletteEntrySize = dialect == Dialect::Core ? 3 : 4;
  const std::uint64_t entry = static_cast<std::uint64_t>(out.paletteEntrySize);
  std::uint64_t declared = colorsUsed;
  if (bits <= 8) {
    const std::uint64_t full = std::uint64_t{1} << bits;
    declared = colorsUsed == 0 ? full : std::min<std::uint64_t>(colorsUsed, full);
    // Short palettes exist (OS/2 files have no count field): the pixels
    // start where the palette ends, so never read a palette past them.
    std::uint64_t present = declared;
    if (offBits > paletteOffset) present = std::min(present, (offBits - paletteOffset) / entry);
    const std::uint64_t inFile =
        bytes.size() > paletteOffset ? (bytes.size() - paletteOffset) / entry : 0;
    out.paletteEntries = static_cast<int>(std::min(present, inFile));
  }
  out.dataOffset = offBits >= paletteOffset ? offBits : paletteOffset + declared * entry;
  return result;
}

}  // namespace quillet::image::detail
