#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/image/picture.h"

// Pictures the tests build byte by byte, and the public conformance folder.
namespace quillet::image::testing {

struct BmpLayout {
  BmpLayout(std::int32_t w, std::int32_t h, std::uint16_t b, std::uint32_t header = 40,
            std::uint32_t coding = 0)
      : width(w), height(h), bits(b), headerSize(header), compression(coding) {}

  std::int32_t width;
  std::int32_t height;  // negative: rows stored top-down
  std::uint16_t bits;
  std::uint32_t headerSize;
  std::uint32_t compression;
  std::uint16_t planes = 1;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks;  // after a 40-byte header, inside a longer one
  Bytes palette;                     // entries as stored
  Bytes pixels;                      // as stored
};

inline void put(Bytes& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline Bytes bmpFile(const BmpLayout& s) {
  const bool masksAfter = s.headerSize < 52;
  Bytes out(14 + s.headerSize + (masksAfter ? 4 * s.masks.size() : 0));
  out[0] = 'B';
  out[1] = 'M';
  put(out, 10, static_cast<std::uint32_t>(out.size() + s.palette.size()), 4);
  put(out, 14, s.headerSize, 4);
  const int field = s.headerSize == 12 ? 2 : 4;  // the OS/2 core header has 16-bit sizes
  put(out, 18, static_cast<std::uint32_t>(s.width), field);
  put(out, 18 + field, static_cast<std::uint32_t>(s.height), field);
  put(out, 18 + 2 * field, s.planes, 2);
  put(out, 20 + 2 * field, s.bits, 2);
  if (s.headerSize >= 20) put(out, 30, s.compression, 4);
  if (s.headerSize >= 36) put(out, 46, s.colorsUsed, 4);
  const std::size_t maskAt = masksAfter ? 14 + s.headerSize : 14 + 40;
  for (std::size_t i = 0; i < s.masks.size(); ++i) put(out, maskAt + 4 * i, s.masks[i], 4);
  out.insert(out.end(), s.palette.begin(), s.palette.end());
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  put(out, 2, static_cast<std::uint32_t>(out.size()), 4);
  return out;
}

// Stored rows of `bits`-wide values, padded to 4 bytes; y counts from the top.
inline Bytes packRows(int width, int height, int bits, bool topDown,
                      const std::function<std::uint32_t(int x, int y)>& value) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  Bytes out(stride * static_cast<std::size_t>(height));
  for (int r = 0; r < height; ++r) {
    std::uint8_t* row = out.data() + stride * static_cast<std::size_t>(r);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = value(x, topDown ? r : height - 1 - r);
      if (bits < 8) {
        row[x * bits / 8] |= static_cast<std::uint8_t>(v << (8 - bits - x * bits % 8));
      } else {
        Bytes pixel(4);
        put(pixel, 0, v, 4);
        std::copy_n(pixel.begin(), bits / 8, row + x * bits / 8);
      }
    }
  }
  return out;
}

// Gradients with a sharp edge through them.
inline Bitmap pattern(int width, int height) {
  Bitmap b{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = b.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
      p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = x > width / 2 ? 200 : 40;
    }
  }
  return b;
}

// Mean channel difference over the area both cover, from the top-left corner.
inline double meanDifference(const Bitmap& a, const Bitmap& b, int* worst = nullptr) {
  const int width = std::min(a.width, b.width);
  const int height = std::min(a.height, b.height);
  double sum = 0;
  for (int y = 0; y < height; ++y) {
    for (int i = 0; i < width * 3; ++i) {
      const int d = std::abs(a.row(y)[i] - b.row(y)[i]);
      sum += d;
      if (worst != nullptr) *worst = std::max(*worst, d);
    }
  }
  return width > 0 && height > 0 ? sum / (3.0 * width * height) : 0;
}

inline Bytes readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The public pictures when present: QUILLET_TESTDATA in the environment wins
// over the folder the build was configured with.
inline std::optional<std::filesystem::path> testData(const std::string& sub) {
  const char* env = std::getenv("QUILLET_TESTDATA");
  const std::filesystem::path root = env != nullptr && *env != '\0' ? env : QUILLET_TESTDATA;
  std::error_code ec;
  if (!std::filesystem::is_directory(root / sub, ec)) return std::nullopt;
  return root / sub;
}

}  // namespace quillet::image::testing
