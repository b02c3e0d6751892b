#include "platform/image/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>

#include "image/picture_fixtures.h"
#include "platform/image/bmp_direct.h"

namespace quillet::image {
namespace {

// Every pixel different, so that any misplaced pixel shows.
Bitmap numbered(int width, int height) {
  Bitmap b{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (int i = 0; i < width * height; ++i) {
    b.rgb[3 * i] = static_cast<std::uint8_t>(i);
    b.rgb[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
    b.rgb[3 * i + 2] = static_cast<std::uint8_t>(200 - i % 200);
  }
  return b;
}

std::array<std::uint8_t, 3> at(const Bitmap& b, int x, int y) {
  const std::uint8_t* p = b.row(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

// Sizes around the four- and eight-pixel steps of the row kernels.
const std::vector<std::pair<int, int>> kSizes = {{1, 1},  {1, 4},  {2, 3},  {3, 2}, {4, 1},
                                                 {5, 3},  {7, 2},  {8, 5},  {9, 1}, {12, 3},
                                                 {13, 4}, {16, 2}, {17, 3}, {23, 1}};

TEST(Transform, Flips_MoveEveryPixelToItsMirrorPlace_InAllForms) {
  for (auto [w, h] : kSizes) {
    const Bitmap b = numbered(w, h);
    for (int flags = 1; flags < 4; ++flags) {
      const bool horizontal = flags & 1;
      const bool vertical = flags & 2;
      SCOPED_TRACE(::testing::Message()
                   << w << "x" << h << " h=" << horizontal << " v=" << vertical);
      const Bitmap f = flipBitmap(b, horizontal, vertical);
      ASSERT_EQ(f.width, w);
      ASSERT_EQ(f.height, h);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          ASSERT_EQ(at(f, x, y), at(b, horizontal ? w - 1 - x : x, vertical ? h - 1 - y : y));
        }
      }
      Bitmap inPlace = b;
      flipInPlace(inPlace, horizontal, vertical);
      EXPECT_EQ(inPlace, f);
      Bitmap reused = numbered(3, 3);
      flipBitmapInto(b, horizontal, vertical, reused);
      EXPECT_EQ(reused, f);
      EXPECT_EQ(flipToBmp(b, horizontal, vertical), encodeBmp24(f));
    }
    EXPECT_EQ(flipToBmp(b, false, false), encodeBmp24(b));
    EXPECT_EQ(flipBitmap(flipBitmap(b, true, false), false, true), flipBitmap(b, true, true));
  }
}

TEST(Transform, QuarterTurn_IsClockwise_AndFourMakeTheOriginal) {
  // 130 x 67 crosses the 64-pixel blocks in both directions.
  for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {3, 1}, {1, 3}, {5, 4}, {130, 67}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    const Bitmap b = numbered(w, h);
    const Bitmap t = quarterTurn(b);
    ASSERT_EQ(t.width, h);
    ASSERT_EQ(t.height, w);
    // The top row becomes the right-hand column, read top to bottom.
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) ASSERT_EQ(at(t, h - 1 - y, x), at(b, x, y));
    }
    EXPECT_EQ(quarterTurn(quarterTurn(quarterTurn(t))), b);
    EXPECT_EQ(quarterTurn(t), flipBitmap(b, true, true));
  }
}

TEST(Transform, RightAngles_AreExactTurns_WhateverTheTurnCount) {
  const Bitmap b = numbered(7, 4);
  const Bitmap quarter = quarterTurn(b);
  const Bitmap half = flipBitmap(b, true, true);
  const Bitmap threeQuarters = quarterTurn(half);
  const struct {
    double degrees;
    const Bitmap& expected;
  } cases[] = {{0, b},
               {360, b},
               {-720, b},
               {90, quarter},
               {450, quarter},
               {-270, quarter},
               {180, half},
               {-180, half},
               {270, threeQuarters},
               {-90, threeQuarters},
               {1e9 + 170, quarter}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    EXPECT_EQ(rotateBitmap(b, c.degrees, 0xFFFFFF), c.expected);
    EXPECT_EQ(rotateToBmp(b, c.degrees, 0xFFFFFF), encodeBmp24(c.expected));
  }
  EXPECT_EQ(rotateBitmap(b, std::numeric_limits<double>::quiet_NaN(), 0), b);
}

// The rotation written out plainly in floating point, to check the fixed-
// point one against: each canvas pixel centre turned back about the centre,
// covered when it lands on the picture, sampled bilinearly with the edge
// pixels repeated.
struct Reference {
  int width, height;
  std::vector<double> rgb;     // -1 where the canvas shows the fill
  std::vector<double> margin;  // distance of the sample from the coverage edge
};

Reference reference(const Bitmap& b, double degrees) {
  const double t = degrees * std::numbers::pi / 180;
  const double c = std::cos(t), s = std::sin(t);
  Reference r;
  r.width = static_cast<int>(std::ceil(b.width * std::abs(c) + b.height * std::abs(s) - 1e-6));
  r.height = static_cast<int>(std::ceil(b.width * std::abs(s) + b.height * std::abs(c) - 1e-6));
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      const double u = x + 0.5 - r.width / 2.0, v = y + 0.5 - r.height / 2.0;
      // Clockwise on screen turns (1, 0) towards (0, 1); this is its inverse.
      const double sx = b.width / 2.0 + u * c + v * s - 0.5;
      const double sy = b.height / 2.0 - u * s + v * c - 0.5;
      r.margin.push_back(std::min({sx + 0.5, b.width - 0.5 - sx, sy + 0.5, b.height - 0.5 - sy}));
      for (int ch = 0; ch < 3; ++ch) {
        if (r.margin.back() < 0) {
          r.rgb.push_back(-1);
          continue;
        }
        const double cx = std::clamp(sx, 0.0, b.width - 1.0);
        const double cy = std::clamp(sy, 0.0, b.height - 1.0);
        const int x0 = static_cast<int>(cx), y0 = static_cast<int>(cy);
        const int x1 = std::min(x0 + 1, b.width - 1), y1 = std::min(y0 + 1, b.height - 1);
        const double fx = cx - x0, fy = cy - y0;
        const auto p = [&](int px, int py) { return double(b.row(py)[3 * px + ch]); };
        r.rgb.push_back((p(x0, y0) * (1 - fx) + p(x1, y0) * fx) * (1 - fy) +
                        (p(x0, y1) * (1 - fx) + p(x1, y1) * fx) * fy);
      }
    }
  }
  return r;
}

TEST(Transform, Rotation_MatchesThePlainComputation_ClockwiseWithFilledCorners) {
  const Bitmap b = testing::pattern(41, 23);
  const std::uint32_t fill = 0x3020F0;  // red F0, green 20, blue 30
  for (double degrees : {1.0, 30.0, 45.0, 89.5, 137.0, 200.0, 300.0, -30.0}) {
    SCOPED_TRACE(degrees);
    const Bitmap r = rotateBitmap(b, degrees, fill);
    const Reference want = reference(b, degrees < 0 ? degrees + 360 : degrees);
    ASSERT_EQ(r.width, want.width);
    ASSERT_EQ(r.height, want.height);
    EXPECT_EQ((Size{r.width, r.height}), rotatedSize({41, 23}, degrees));
    int checked = 0;
    for (int i = 0; i < r.width * r.height; ++i) {
      // Pixels whose centre lands within a hair of the edge may go either way.
      if (std::abs(want.margin[i]) < 1e-3) continue;
      for (int ch = 0; ch < 3; ++ch) {
        const double expected =
            want.rgb[3 * i + ch] >= 0 ? want.rgb[3 * i + ch] : double((fill >> (8 * ch)) & 0xFF);
        ASSERT_NEAR(r.rgb[3 * i + ch], expected, 1.5)
            << "pixel " << i % r.width << "," << i / r.width << " channel " << ch;
      }
      ++checked;
    }
    EXPECT_GT(checked, r.width * r.height * 9 / 10);
    EXPECT_EQ(rotateToBmp(b, degrees, fill), encodeBmp24(r));
  }
}

TEST(Transform, RotationStreamed_GivesTheSameFile_AndStopsWhenRefused) {
  // 150 rows make several bands, the last one short.
  const Bitmap b = testing::pattern(97, 150);
  for (double degrees : {0.0, 90.0, 270.0, 12.0, 135.0}) {
    SCOPED_TRACE(degrees);
    Bytes streamed;
    int pieces = 0;
    EXPECT_TRUE(rotateToBmpStream(b, degrees, 0x102030, [&](ByteView piece) {
      streamed.insert(streamed.end(), piece.begin(), piece.end());
      return ++pieces > 0;
    }));
    EXPECT_EQ(streamed, encodeBmp24(rotateBitmap(b, degrees, 0x102030)));
  }
  int offered = 0;
  EXPECT_FALSE(rotateToBmpStream(b, 12, 0, [&](ByteView) { return ++offered < 2; }));
  EXPECT_EQ(offered, 2) << "nothing more after a refusal";
  EXPECT_FALSE(rotateToBmpStream(Bitmap{}, 12, 0, [](ByteView) { return true; }));
}

TEST(Transform, RotationBy30_CanvasHoldsTheWholePicture_FlatAreasStayExact) {
  const int w = 300, h = 200;
  Bitmap flat{w, h, Bytes(w * h * 3)};
  for (int i = 0; i < w * h; ++i) {
    flat.rgb[3 * i] = 10;
    flat.rgb[3 * i + 1] = 200;
    flat.rgb[3 * i + 2] = 99;
  }
  const Bitmap r = rotateBitmap(flat, 30, 0x606060);
  // 300 cos 30 + 200 sin 30 = 359.8; 300 sin 30 + 200 cos 30 = 323.2.
  EXPECT_EQ(r.width, 360);
  EXPECT_EQ(r.height, 324);
  const std::array<std::uint8_t, 3> gray{0x60, 0x60, 0x60};
  EXPECT_EQ(at(r, 0, 0), gray);
  EXPECT_EQ(at(r, r.width - 1, 0), gray);
  EXPECT_EQ(at(r, 0, r.height - 1), gray);
  EXPECT_EQ(at(r, r.width - 1, r.height - 1), gray);
  int picture = 0;
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      const auto p = at(r, x, y);
      if (p == gray) continue;
      ASSERT_EQ(p, (std::array<std::uint8_t, 3>{10, 200, 99})) << x << "," << y;
      ++picture;
    }
  }
  // The picture keeps its area, to within its outline.
  EXPECT_NEAR(picture, w * h, 2 * (w + h));
}

TEST(Transform, Crop_TakesThePixelsInPlace_CutDownToTheEdges) {
  const Bitmap b = numbered(9, 7);
  struct Case {
    int x, y, w, h;      // asked for
    int fx, fy, fw, fh;  // what lies on the bitmap
  };
  for (const Case c : {Case{2, 3, 4, 2, 2, 3, 4, 2}, Case{-2, -1, 5, 4, 0, 0, 3, 3},
                       Case{7, 5, 10, 10, 7, 5, 2, 2}, Case{0, 0, 9, 7, 0, 0, 9, 7}}) {
    const Bitmap part = cropBitmap(b, c.x, c.y, c.w, c.h);
    ASSERT_EQ(part.width, c.fw);
    ASSERT_EQ(part.height, c.fh);
    for (int y = 0; y < c.fh; ++y) {
      for (int x = 0; x < c.fw; ++x) EXPECT_EQ(at(part, x, y), at(b, c.fx + x, c.fy + y));
    }
  }
  EXPECT_TRUE(cropBitmap(b, 9, 0, 3, 3).empty());
  EXPECT_TRUE(cropBitmap(b, -5, 2, 5, 3).empty());
  EXPECT_TRUE(cropBitmap(b, 2, 2, 0, 3).empty());
  EXPECT_TRUE(cropBitmap(b, 2147483000, 2, 2000, 3).empty()) << "no overflow past the int range";
}

TEST(Transform, BrokenOrEmptyBitmaps_GiveEmptyBitmaps) {
  Bitmap shortBuffer = numbered(10, 10);
  shortBuffer.rgb.resize(10 * 9 * 3 + 5);
  const Bitmap broken[] = {Bitmap{}, Bitmap{0, 5, {}}, Bitmap{-3, 2, Bytes(30)}, shortBuffer};
  for (const Bitmap& b : broken) {
    EXPECT_TRUE(flipBitmap(b, true, true).empty());
    EXPECT_TRUE(quarterTurn(b).empty());
    EXPECT_TRUE(rotateBitmap(b, 30, 0).empty());
    EXPECT_TRUE(rotateBitmap(b, 90, 0).empty());
    EXPECT_TRUE(flipToBmp(b, true, false).empty());
    EXPECT_TRUE(rotateToBmp(b, 12, 0).empty());
    Bitmap copy = b;
    flipInPlace(copy, true, false);
    EXPECT_TRUE(copy.empty());
  }
}

TEST(BmpDirect, Conversions_GiveTheSameBytesAsTheEngine) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {3, 2}, {5, 4}, {64, 40}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    const Bitmap b = testing::pattern(w, h);
    const Bytes jpeg = encodeJpeg(b, 85).value;
    EXPECT_EQ(jpegToBmp(jpeg).value, convertJpegToBmp(jpeg).value);
    const Bytes bmp = encodeBmp24(b);
    EXPECT_EQ(bmpToJpeg(bmp, 80).value, convertBmpToJpeg(bmp, 80).value);
    // A top-down BMP and a JPEG named as a BMP go the general way.
    const Bytes topDown = testing::bmpFile([&] {
      testing::BmpLayout l(w, -h, 24);
      l.pixels = testing::packRows(w, h, 24, true, [&](int x, int y) {
        const auto p = at(b, x, y);
        return std::uint32_t{p[2]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[0]} << 16;
      });
      return l;
    }());
    EXPECT_EQ(bmpToJpeg(topDown, 80).value, convertBmpToJpeg(bmp, 80).value);
    EXPECT_EQ(bmpToJpeg(jpeg, 80).value, convertBmpToJpeg(jpeg, 80).value);
  }
  EXPECT_FALSE(jpegToBmp(Bytes{0xFF, 0xD8, 0xFF}).ok());
  EXPECT_FALSE(jpegToBmp(Bytes{1, 2, 3}).ok());
  EXPECT_FALSE(bmpToJpeg(Bytes{'B', 'M', 0}).ok());
}

TEST(BmpDirect, WriteBmpFile_WritesWhatEncodeGives_OrNothing) {
  const auto folder =
      std::filesystem::temp_directory_path() /
      ("quillet-bmp-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  // 1001 pixels wide: 3004-byte rows, several megabyte slices' worth.
  const Bitmap b = testing::pattern(1001, 700);
  EXPECT_TRUE(writeBmpFile(folder / "a.bmp", b));
  EXPECT_EQ(testing::readFile(folder / "a.bmp"), encodeBmp24(b));
  EXPECT_TRUE(writeBmpFile(folder / "a.bmp", testing::pattern(3, 2))) << "overwrites";
  EXPECT_EQ(testing::readFile(folder / "a.bmp"), encodeBmp24(testing::pattern(3, 2)));

  std::filesystem::create_directories(folder / "taken.bmp" / "inside");
  EXPECT_FALSE(writeBmpFile(folder / "taken.bmp", b));
  EXPECT_FALSE(writeBmpFile(folder / "no" / "such" / "folder.bmp", b));
  EXPECT_FALSE(writeBmpFile(folder / "empty.bmp", Bitmap{}));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a.bmp", "taken.bmp"})) << "no temporary file is left";
  std::filesystem::remove_all(folder);
}

// Any change in the rounding of a single sample shows here; the plain
// computation above allows for it. The figures are what the one-at-a-time
// sampling loop has always given, whichever loop the processor runs now.
TEST(Transform, Rotation_GivesTheBytesItAlwaysGave) {
  Bitmap noise{97, 61, Bytes(97 * 61 * 3)};
  std::uint32_t state = 12345;
  for (auto& byte : noise.rgb) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  const auto fnv = [](const Bytes& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t byte : bytes) h = (h ^ byte) * 1099511628211ull;
    return h;
  };
  const std::pair<double, std::uint64_t> cases[] = {{30, 175550524483087930u},
                                                    {137.25, 4707647228145184583u},
                                                    {-3, 1734371018923235163u},
                                                    {271, 1502718018829264541u}};
  for (const auto& [degrees, expected] : cases) {
    SCOPED_TRACE(degrees);
    EXPECT_EQ(fnv(rotateBitmap(noise, degrees, 0x102030).rgb), expected);
    EXPECT_EQ(fnv(rotateToBmp(noise, degrees, 0x102030)),
              fnv(encodeBmp24(rotateBitmap(noise, degrees, 0x102030))));
  }
}

}  // namespace
}  // namespace quillet::image
