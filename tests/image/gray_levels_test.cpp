#include "platform/image/gray_levels.h"

#include <gtest/gtest.h>

#include "image/picture_fixtures.h"

namespace quillet::image {
namespace {

std::uint32_t le32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A one-row picture whose pixels have the given channel sums.
Bitmap sums(const std::vector<int>& wanted) {
  Bitmap b{static_cast<int>(wanted.size()), 1, Bytes(wanted.size() * 3)};
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const int s = wanted[i];
    b.rgb[3 * i] = static_cast<std::uint8_t>(std::min(s, 255));
    b.rgb[3 * i + 1] = static_cast<std::uint8_t>(std::clamp(s - 255, 0, 255));
    b.rgb[3 * i + 2] = static_cast<std::uint8_t>(std::max(s - 510, 0));
  }
  return b;
}

Bytes gray(const Bitmap& b, int levels) {
  auto result = applyGrayLevels(encodeBmp24(b), levels);
  EXPECT_TRUE(result.ok()) << result.error;
  return result.value;
}

TEST(GrayLevels, HeaderAndPalette_AreAsDocumented) {
  // Step int(255 / (N - 1)); the lightest level is 255 only when it divides.
  const struct {
    int levels, step, lightest;
  } cases[] = {{2, 255, 255}, {4, 85, 255},  {5, 63, 252},
               {8, 36, 252},  {16, 17, 255}, {256, 1, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.levels);
    const Bytes out = gray(testing::pattern(7, 3), c.levels);
    ASSERT_EQ(out.size(), 1078u + 3 * 8);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(out[1], 'M');
    EXPECT_EQ(le32(out, 2), 1078u + 24);
    EXPECT_EQ(le32(out, 6), 0u);
    EXPECT_EQ(le32(out, 10), 1078u);
    EXPECT_EQ(le32(out, 14), 40u);
    EXPECT_EQ(le32(out, 18), 7u);
    EXPECT_EQ(le32(out, 22), 3u);
    EXPECT_EQ(out[26] | out[27] << 8, 1);
    EXPECT_EQ(out[28] | out[29] << 8, 8);
    EXPECT_EQ(le32(out, 30), 0u);
    EXPECT_EQ(le32(out, 34), 24u);
    for (std::size_t at = 38; at < 54; ++at) ASSERT_EQ(out[at], 0) << at;
    for (int i = 0; i < 256; ++i) {
      const int expected = i < c.levels ? i * c.step : 255;
      const std::size_t entry = 54 + 4 * static_cast<std::size_t>(i);
      ASSERT_EQ(out[entry], expected) << "entry " << i;
      ASSERT_EQ(out[entry + 1], expected);
      ASSERT_EQ(out[entry + 2], expected);
      ASSERT_EQ(out[entry + 3], 0);
    }
    EXPECT_EQ(out[54 + 4 * (c.levels - 1)], c.lightest);
  }
}

TEST(GrayLevels, Index_IsThePlainSumDividedDown) {
  const struct {
    int levels;
    std::vector<int> sums, indices;
  } cases[] = {
      {4, {0, 191, 192, 383, 384, 575, 576, 765}, {0, 0, 1, 1, 2, 2, 3, 3}},
      {2, {0, 383, 384, 765}, {0, 0, 1, 1}},
      // q = 153: the brightest reach index 5, which the palette shows white.
      {5, {152, 153, 764, 765}, {0, 1, 4, 5}},
      {3, {255, 256, 765}, {0, 1, 2}},
      {256, {0, 2, 3, 765}, {0, 0, 1, 255}},
  };
  // Every sum at every count, in rows long enough for any stride of work.
  std::vector<int> all(766);
  for (int s = 0; s < 766; ++s) all[s] = (s * 337) % 766;
  const Bitmap allSums = sums(all);
  for (int levels = 2; levels <= 256; ++levels) {
    const Bytes out = gray(allSums, levels);
    for (int i = 0; i < 766; ++i) {
      ASSERT_EQ(out[1078 + i], all[i] / (768 / levels)) << "sum " << all[i] << ", " << levels;
    }
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.levels);
    const Bytes out = gray(sums(c.sums), c.levels);
    const Bytes row(out.begin() + 1078, out.begin() + 1078 + static_cast<long>(c.indices.size()));
    EXPECT_EQ(row, Bytes(c.indices.begin(), c.indices.end()));
  }
}

TEST(GrayLevels, RowsArePaddedToFourBytesWithZeros_AndStoredBottomUp) {
  for (int w = 1; w <= 5; ++w) {
    SCOPED_TRACE(w);
    // Top row white, bottom row black.
    Bitmap b{w, 2, Bytes(static_cast<std::size_t>(w) * 6, 0)};
    std::fill(b.rgb.begin(), b.rgb.begin() + 3 * w, 255);
    const Bytes out = gray(b, 2);
    Bytes reused(4000, 0xAB);
    EXPECT_EQ(applyGrayLevelsInto(encodeBmp24(b), 2, reused), "");
    EXPECT_EQ(reused, out) << "a reused buffer leaves nothing of its own behind";
    const std::size_t stride = static_cast<std::size_t>(w) + (4 - w % 4) % 4;
    ASSERT_EQ(out.size(), 1078 + 2 * stride);
    EXPECT_EQ(le32(out, 34), 2 * stride);
    for (std::size_t x = 0; x < stride; ++x) {
      const bool pixel = x < static_cast<std::size_t>(w);
      EXPECT_EQ(out[1078 + x], 0) << "bottom row first, black; padding zero";
      EXPECT_EQ(out[1078 + stride + x], pixel ? 1 : 0) << "then the top row, white";
    }
  }
}

TEST(GrayLevels, EveryInputForm_GivesTheSameReduction) {
  const Bitmap b = testing::pattern(13, 6);
  const Bytes expected = gray(b, 8);
  // The same picture stored top-down, and as a 32-bit file.
  const auto stored = [&](int bits, bool topDown) {
    testing::BmpLayout l(13, topDown ? -6 : 6, static_cast<std::uint16_t>(bits));
    l.pixels = testing::packRows(13, 6, bits, topDown, [&](int x, int y) {
      const std::uint8_t* p = b.row(y) + 3 * x;
      return std::uint32_t{p[2]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[0]} << 16;
    });
    return testing::bmpFile(l);
  };
  EXPECT_EQ(applyGrayLevels(stored(24, true), 8).value, expected);
  EXPECT_EQ(applyGrayLevels(stored(32, false), 8).value, expected);

  // A JPEG: reduced from the pixels its decode gives, as the picture box shows them.
  const Bytes jpeg = encodeJpeg(b, 90).value;
  const Bitmap decoded = decode(jpeg).value;
  const Bytes fromJpeg = applyGrayLevels(jpeg, 8).value;
  ASSERT_EQ(fromJpeg.size(), expected.size());
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 13; ++x) {
      const std::uint8_t* p = decoded.row(y) + 3 * x;
      ASSERT_EQ(fromJpeg[1078 + 16 * (5 - y) + x], (p[0] + p[1] + p[2]) / 96) << x << "," << y;
    }
  }
}

TEST(GrayLevels, EightBitGrayFromBlack_PassesThrough_ColourPalettesAreReduced) {
  const Bytes once = gray(testing::pattern(9, 4), 4);
  EXPECT_EQ(applyGrayLevels(once, 16).value, once) << "a second reduction changes nothing";

  // 8-bit pictures of their own: gray throughout from black passes as a
  // reduction would; a colour palette, even one starting with black, does not.
  const struct {
    Bytes palette;
    bool passes;
  } cases[] = {{{0, 0, 0, 0, 255, 255, 255, 0, 90, 90, 90, 0}, true},
               {{10, 20, 200, 0, 255, 255, 255, 0, 90, 90, 90, 0}, false},
               {{0, 0, 0, 0, 255, 255, 255, 0, 200, 20, 10, 0}, false}};
  for (const auto& c : cases) {
    testing::BmpLayout l(4, 1, 8);
    l.palette = c.palette;
    l.pixels = {0, 1, 2, 1};
    const Bytes file = testing::bmpFile(l);
    const Bytes out = applyGrayLevels(file, 2).value;
    if (c.passes) {
      EXPECT_EQ(out, file);
    } else {
      ASSERT_EQ(out.size(), 1078u + 4);
      const std::uint8_t third = c.palette[8] + c.palette[9] + c.palette[10] >= 384 ? 1 : 0;
      EXPECT_EQ(Bytes(out.begin() + 1078, out.end()), (Bytes{0, 1, third, 1}));
    }
  }
}

TEST(GrayLevels, CountsOutside2To256_Clamp) {
  const Bitmap b = testing::pattern(11, 5);
  for (int n : {1, 0, -7, std::numeric_limits<int>::min()}) EXPECT_EQ(gray(b, n), gray(b, 2)) << n;
  for (int n : {257, 100000, std::numeric_limits<int>::max()}) {
    EXPECT_EQ(gray(b, n), gray(b, 256)) << n;
  }
}

TEST(GrayLevels, DamagedInput_IsRefusedOrReadOnlyWithinItsPixels) {
  const Bytes whole = encodeBmp24(testing::pattern(10, 8));
  // The top rows cut off (they come last): they read as black, and nothing
  // is read past the end.
  const Bytes cut(whole.begin(), whole.end() - 3 * 32 - 5);
  const auto full = applyGrayLevels(whole, 4);
  const auto out = applyGrayLevels(cut, 4);
  ASSERT_TRUE(out.ok()) << out.error;
  ASSERT_EQ(out.value.size(), full.value.size());
  const std::size_t top = 1078 + 12 * 7;
  EXPECT_EQ(Bytes(out.value.begin() + top, out.value.end()), Bytes(12, 0));
  EXPECT_NE(Bytes(full.value.begin() + top, full.value.end()), Bytes(12, 0));
  const std::size_t intact = 1078 + 12 * 4;
  EXPECT_EQ(Bytes(out.value.begin(), out.value.begin() + intact),
            Bytes(full.value.begin(), full.value.begin() + intact))
      << "the rows that are there are reduced as usual";

  for (const Bytes& junk : {Bytes{}, Bytes{'B', 'M'}, Bytes{'B', 'M', 1, 2, 3}, Bytes(100, 0x42),
                            Bytes{0xFF, 0xD8, 0xFF, 0xE0}}) {
    const auto r = applyGrayLevels(junk, 4);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.value.empty());
  }
}

}  // namespace
}  // namespace quillet::image
