#include <gtest/gtest.h>

#include <array>
#include <string>

#include "image/picture_fixtures.h"
#include "platform/image/picture.h"

namespace quillet::image {
namespace {

using testing::bmpFile;
using testing::BmpLayout;
using testing::packRows;
using Rgb = std::array<std::uint8_t, 3>;

constexpr int kWidth = 7;  // odd, so every bit depth needs row padding
constexpr int kHeight = 3;

Rgb paletteColor(std::uint32_t i) {
  return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
          static_cast<std::uint8_t>(i * 7)};
}

Rgb pixelAt(const Bitmap& b, int x, int y) {
  const std::uint8_t* p = b.row(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

TEST(BmpRead, IndexedFormats_ShowTheirPaletteColours) {
  struct Case {
    const char* name;
    std::uint32_t headerSize;
    std::uint16_t bits;
    bool topDown;
    int entries;  // palette entries in the file
  };
  const Case cases[] = {
      {"1 bit", 40, 1, false, 2},
      {"2 bits", 40, 2, false, 4},
      {"4 bits", 40, 4, false, 16},
      {"8 bits", 40, 8, false, 256},
      {"8 bits top-down", 40, 8, true, 256},
      {"8 bits V5", 124, 8, false, 256},
      {"8 bits OS/2 core", 12, 8, false, 256},
      {"4 bits OS/2 v2", 16, 4, false, 16},
      {"short palette", 40, 8, false, 5},
      {"short core palette", 12, 8, false, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::uint32_t levels = 1u << c.bits;
    const auto index = [&](int x, int y) { return (x * 5 + y * 3 + x * y) % levels; };
    BmpLayout layout{kWidth, c.topDown ? -kHeight : kHeight, c.bits, c.headerSize};
    if (c.headerSize != 12 && c.entries < static_cast<int>(levels)) {
      layout.colorsUsed = static_cast<std::uint32_t>(c.entries);
    }
    for (int i = 0; i < c.entries; ++i) {
      const Rgb rgb = paletteColor(static_cast<std::uint32_t>(i));
      layout.palette.insert(layout.palette.end(), {rgb[2], rgb[1], rgb[0]});
      if (c.headerSize != 12) layout.palette.push_back(0);
    }
    layout.pixels = packRows(kWidth, kHeight, c.bits, c.topDown, index);

    const auto decoded = decode(bmpFile(layout));
    ASSERT_TRUE(decoded) << decoded.error;
    ASSERT_EQ((Size{decoded.value.width, decoded.value.height}), (Size{kWidth, kHeight}));
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t i = index(x, y);
        // Indices past a short palette show black, never bytes beyond it.
        const Rgb expected = static_cast<int>(i) < c.entries ? paletteColor(i) : Rgb{};
        EXPECT_EQ(pixelAt(decoded.value, x, y), expected) << "at " << x << "," << y;
      }
    }
  }
}

TEST(BmpRead, DirectColourFormats_ReadEachChannelFromItsField) {
  using Masks = std::array<std::uint32_t, 3>;
  constexpr Masks k555{0x7C00, 0x03E0, 0x001F};
  constexpr Masks k888{0xFF0000, 0x00FF00, 0x0000FF};
  struct Case {
    const char* name;
    std::uint32_t headerSize;
    std::uint16_t bits;
    std::uint32_t compression;
    std::vector<std::uint32_t> storedMasks;
    Masks masks;  // what the pixels are packed with
  };
  const Case cases[] = {
      {"16 bits default 5-5-5", 40, 16, 0, {}, k555},
      {"16 bits 5-6-5", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x001F}},
      {"16 bits alpha 4-4-4-4", 40, 16, 6, {0xF00, 0xF0, 0xF, 0xF000}, {0xF00, 0xF0, 0xF}},
      {"24 bits", 40, 24, 0, {}, k888},
      {"32 bits default", 40, 32, 0, {}, k888},
      {"32 bits reversed fields",
       40,
       32,
       3,
       {0xFF, 0xFF00, 0xFF000000},
       {0xFF, 0xFF00, 0xFF000000}},
      {"32 bits 10-10-10 in V3 header",
       56,
       32,
       3,
       {0x3FF00000, 0xFFC00, 0x3FF, 0},
       {0x3FF00000, 0xFFC00, 0x3FF}},
      {"32 bits with empty bitfields", 40, 32, 3, {0, 0, 0}, k888},
      {"V5 masks ignored without bitfields", 124, 32, 0, {0xFF, 0xFF00, 0xFF0000, 0}, k888},
  };
  // Primaries and their mixes: every channel either empty or full.
  const auto color = [](int x, int y) { return static_cast<unsigned>(x + 2 * y) % 8; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout layout{kWidth, kHeight, c.bits, c.headerSize, c.compression};
    layout.masks = c.storedMasks;
    layout.pixels = packRows(kWidth, kHeight, c.bits, false, [&](int x, int y) {
      const unsigned k = color(x, y);
      return ((k & 1) ? c.masks[0] : 0) | ((k & 2) ? c.masks[1] : 0) | ((k & 4) ? c.masks[2] : 0);
    });
    const auto decoded = decode(bmpFile(layout));
    ASSERT_TRUE(decoded) << decoded.error;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const unsigned k = color(x, y);
        const auto full = [&](unsigned bit) {
          return static_cast<std::uint8_t>(k & bit ? 255 : 0);
        };
        EXPECT_EQ(pixelAt(decoded.value, x, y), (Rgb{full(1), full(2), full(4)}))
            << "at " << x << "," << y;
      }
    }
  }
}

TEST(BmpRead, PartialFields_ScaleToTheFullRange) {
  struct Case {
    std::uint16_t bits;
    std::vector<std::uint32_t> masks;
    std::uint32_t pixel;
    Rgb expected;
  };
  const Case cases[] = {
      {16, {0xF800, 0x07E0, 0x001F}, 0x8410, {132, 130, 132}},  // halves of 5, 6, 5 bits
      {16, {0x0030, 0x000E, 0x0001}, 0x0017, {85, 109, 255}},   // 2-3-1 bits
      {16, {0xFF00, 0x00FF, 0x0000}, 0x80FF, {128, 255, 0}},    // no blue field
      {32, {0xFE000000, 0x01FFFF80, 0x7F}, 0xFFFFFFFF, {255, 255, 255}},
      {32, {0xFE000000, 0x01FFFF80, 0x7F}, 0x01000000, {0, 128, 0}},
  };
  for (const auto& c : cases) {
    BmpLayout layout{1, 1, c.bits, 40, 3};
    layout.masks = c.masks;
    layout.pixels = packRows(1, 1, c.bits, false, [&](int, int) { return c.pixel; });
    const auto decoded = decode(bmpFile(layout));
    ASSERT_TRUE(decoded) << decoded.error;
    EXPECT_EQ(pixelAt(decoded.value, 0, 0), c.expected) << c.pixel;
  }
}

TEST(BmpRead, Rle_RunsLiteralsDeltasAndOverrunsLandInsideThePicture) {
  struct Case {
    std::uint32_t compression;      // 1 RLE8, 2 RLE4
    int height;                     // negative: the stream starts with the top row
    Bytes stream;                   // for a picture 6 pixels wide
    std::vector<std::string> rows;  // top first; a digit is a palette index, '.' untouched
  };
  const Case cases[] = {
      // Runs, a padded literal, end of line, a delta, a run clipped at the edge.
      {1,
       4,
       {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 0, 10, 6, 0, 0, 0, 4, 7, 8, 9, 1, 0, 1},
       {"7891..", "666666", "..55..", "111234"}},
      // A delta two rows up, then an early end of picture.
      {1, 4, {2, 1, 0, 2, 1, 2, 1, 2, 0, 1, 9, 9}, {"......", "...2..", "......", "11...."}},
      // The stream stops inside a literal.
      {1, 2, {2, 3, 0, 5, 1, 2}, {"......", "3312.."}},
      // Runs past the right edge and past the last row, far deltas.
      {1,
       2,
       {1, 4, 0, 2, 255, 0, 3, 5, 0, 0, 0, 0, 0, 0, 9, 9, 0, 2, 255, 255, 9, 9},
       {"......", "4....."}},
      // Stored top-down: the first line of the stream is the top row.
      {1, -2, {2, 1, 0, 0, 2, 2, 0, 1}, {"11....", "22...."}},
      // Nibble runs alternate two indices; a 3-nibble literal is clipped at the edge.
      {2, 2, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 4, 0x67, 0x89, 0, 1}, {"6789..", "121213"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.stream));
    const std::uint16_t bits = c.compression == 1 ? 8 : 4;
    BmpLayout layout{6, c.height, bits, 40, c.compression};
    for (std::uint32_t i = 0; i < (1u << bits); ++i) {
      const Rgb rgb = paletteColor(i + 1);
      layout.palette.insert(layout.palette.end(), {rgb[2], rgb[1], rgb[0], 0});
    }
    layout.pixels = c.stream;
    const auto decoded = decode(bmpFile(layout));
    ASSERT_TRUE(decoded) << decoded.error;
    for (int y = 0; y < decoded.value.height; ++y) {
      for (int x = 0; x < 6; ++x) {
        const char want = c.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        const Rgb expected =
            want == '.' ? Rgb{} : paletteColor(static_cast<std::uint32_t>(want - '0') + 1);
        EXPECT_EQ(pixelAt(decoded.value, x, y), expected) << "at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace quillet::image
