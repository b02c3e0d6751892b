#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <string>

#include "image/picture_fixtures.h"
#include "platform/image/picture.h"

namespace quillet::image {
namespace {

using testing::meanDifference;
using testing::pattern;

Bytes encoded(const Bitmap& bitmap, int quality = 90) {
  auto jpeg = encodeJpeg(bitmap, quality);
  EXPECT_TRUE(jpeg) << jpeg.error;
  return jpeg.value;
}

// Encodings the engine never writes itself, from a fresh library handle.
Bytes libraryEncoded(const Bytes& pixels, int width, int height, int format, int subsampling,
                     int flags) {
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  EXPECT_EQ(tjCompress2(handle, pixels.data(), width, 0, height, format, &buffer, &size,
                        subsampling, 95, flags),
            0);
  Bytes out(buffer, buffer + size);
  tjFree(buffer);
  tjDestroy(handle);
  return out;
}

// Offset of the first segment with this marker, walking segment lengths.
std::size_t segment(const Bytes& jpeg, std::uint8_t marker) {
  std::size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos + 1] != marker) {
    pos += 2 + static_cast<std::size_t>(jpeg[pos + 2] << 8 | jpeg[pos + 3]);
  }
  EXPECT_LT(pos, jpeg.size()) << "no marker " << int{marker};
  return pos;
}

TEST(JpegRead, EncodeThenDecode_KeepsSizeAndStaysClose) {
  for (const Size size : {Size{1, 1}, Size{17, 9}, Size{64, 48}}) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    const Bitmap original = pattern(size.width, size.height);
    const Bytes jpeg = encoded(original, 95);
    EXPECT_EQ(readSize(jpeg).value, size);
    const auto decoded = decode(jpeg);
    ASSERT_TRUE(decoded) << decoded.error;
    EXPECT_EQ((Size{decoded.value.width, decoded.value.height}), size);
    // Chroma is halved, so tiny steep pictures lose the most; a wrong channel
    // or row order costs far more than this.
    EXPECT_LT(meanDifference(decoded.value, original), 8.0);
  }
  const Bitmap picture = pattern(64, 48);
  EXPECT_LT(encoded(picture, 20).size(), encoded(picture, 95).size());
  EXPECT_EQ(encoded(picture, 500), encoded(picture, 100));
  EXPECT_EQ(encoded(picture, -3), encoded(picture, 1));
}

TEST(JpegRead, DisplayScale_IsTheSmallestHalvingThatCoversTheBox) {
  struct Case {
    Size picture;
    int boxWidth, boxHeight;
    Scale expected;
  };
  const Case cases[] = {
      {{6000, 4000}, 800, 600, {1, 4}},   {{6000, 4000}, 750, 500, {1, 8}},
      {{6000, 4000}, 751, 500, {1, 4}},   {{6000, 4000}, 750, 501, {1, 4}},
      {{6000, 4000}, 3000, 2000, {1, 2}}, {{6000, 4000}, 3001, 10, {1, 1}},
      {{6000, 4000}, 9000, 9000, {1, 1}}, {{6000, 4000}, 1, 1, {1, 8}},
      {{6000, 4000}, 0, 600, {1, 1}},     {{6000, 4000}, 800, -1, {1, 1}},
      {{101, 75}, 13, 10, {1, 8}},  // 12.6 and 9.4 round up
      {{101, 75}, 14, 10, {1, 4}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(displayScale(c.picture, c.boxWidth, c.boxHeight), c.expected)
        << c.boxWidth << "x" << c.boxHeight;
  }
}

TEST(JpegRead, DecodeForDisplay_DecodesAtTheChosenScale) {
  const Bitmap original = pattern(101, 75);
  const Bytes jpeg = encoded(original);
  struct Case {
    int boxWidth, boxHeight;
    Size expected;
  };
  for (const Case& c : {Case{13, 10, {13, 10}}, Case{20, 10, {26, 19}}, Case{60, 30, {101, 75}}}) {
    const auto shown = decodeForDisplay(jpeg, c.boxWidth, c.boxHeight);
    ASSERT_TRUE(shown) << shown.error;
    EXPECT_EQ((Size{shown.value.width, shown.value.height}), c.expected);
    // Scaled, it is still the picture: the bottom-right corner stays bright.
    const auto* corner = shown.value.row(shown.value.height - 1) + 3 * (shown.value.width - 1);
    EXPECT_NEAR(corner[0], 255, 24);
    EXPECT_NEAR(corner[1], 255, 24);
  }
  EXPECT_EQ(decodeForDisplay(encodeBmp24(original), 200, 200).value, original);
}

// A large BMP (the program's own mirror and gray results) is read reduced by
// the same halvings, each pixel the mean of its block, edges included.
TEST(BmpDisplay, ReducedByBlockMeansAtTheChosenScale) {
  const Bitmap original = pattern(101, 75);
  const auto shown = decodeForDisplay(encodeBmp24(original), 20, 10);
  ASSERT_TRUE(shown) << shown.error;
  ASSERT_EQ((Size{shown.value.width, shown.value.height}), (Size{26, 19}));
  for (int oy = 0; oy < 19; ++oy) {
    for (int ox = 0; ox < 26; ++ox) {
      for (int c = 0; c < 3; ++c) {
        int sum = 0, n = 0;
        for (int y = oy * 4; y < std::min(75, oy * 4 + 4); ++y) {
          for (int x = ox * 4; x < std::min(101, ox * 4 + 4); ++x, ++n)
            sum += original.row(y)[3 * x + c];
        }
        ASSERT_EQ(shown.value.row(oy)[3 * ox + c], (sum + n / 2) / n)
            << ox << "," << oy << "," << c;
      }
    }
  }
}

TEST(JpegRead, DamagedData_ShowsWhatIsThereButHeaderDamageIsRefused) {
  const Bitmap original = pattern(64, 48);
  const Bytes jpeg = encoded(original, 95);

  const Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * 7 / 10));
  const auto partial = decode(cut);
  ASSERT_TRUE(partial) << partial.error;
  ASSERT_EQ((Size{partial.value.width, partial.value.height}), (Size{64, 48}));
  const auto top = [](const Bitmap& b) {
    return Bitmap{b.width, 16, Bytes(b.rgb.begin(), b.rgb.begin() + b.width * 16 * 3)};
  };
  EXPECT_LT(meanDifference(top(partial.value), top(original)), 4.0);

  Bytes badScan = jpeg;
  badScan[segment(badScan, 0xDA) + 5] = 9;  // a component the frame does not have
  EXPECT_EQ(decode(badScan).error, "JPEG 数据损坏：Invalid component ID 9 in SOS");
  Bytes badFrame = jpeg;
  badFrame[segment(badFrame, 0xC0) + 9] = 2;  // component count against segment length
  EXPECT_TRUE(decode(badFrame).error.starts_with("JPEG 数据损坏："));
  // The failure must not leak into the next picture decoded on this thread.
  EXPECT_TRUE(decode(jpeg));
}

TEST(JpegRead, FramesTheDecoderCannotRead_AreRefusedByHeaderAlone) {
  const Bytes jpeg = encoded(pattern(16, 16));
  const std::size_t sof = segment(jpeg, 0xC0);
  struct Case {
    std::uint8_t marker, precision, height;
    std::string error;
  };
  const Case cases[] = {
      {0xC1, 12, 16, "不支持的 JPEG 格式（12 位精度）"},
      {0xC3, 8, 16, "不支持的 JPEG 格式（无损编码）"},
      {0xC5, 8, 16, "不支持的 JPEG 格式（分层编码）"},
      {0xC0, 8, 0, "图片尺寸无效：16 × 0"},  // height deferred to a DNL marker
  };
  for (const auto& c : cases) {
    Bytes patched = jpeg;
    patched[sof + 1] = c.marker;
    patched[sof + 4] = c.precision;
    patched[sof + 6] = c.height;
    EXPECT_EQ(readSize(patched).error, c.error);
    EXPECT_EQ(decode(patched).error, c.error);
    EXPECT_EQ(decodeForDisplay(patched, 8, 8).error, c.error);
  }
}

TEST(JpegRead, ProgressiveFileWithEndlessScans_IsRefused) {
  const Bitmap picture = pattern(32, 32);
  const Bytes jpeg = libraryEncoded(picture.rgb, 32, 32, TJPF_RGB, TJSAMP_420, TJFLAG_PROGRESSIVE);
  ASSERT_TRUE(decode(jpeg));
  // Repeating the last refinement scan is legal syntax, and each repeat costs
  // a full pass over the picture.
  std::size_t lastScan = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i;
  }
  Bytes hostile(jpeg.begin(), jpeg.end() - 2);
  for (int i = 0; i < 600; ++i) {
    hostile.insert(hostile.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(lastScan),
                   jpeg.end() - 2);
  }
  hostile.insert(hostile.end(), {0xFF, 0xD9});
  const auto refused = decode(hostile);
  EXPECT_NE(refused.error.find("500 scans"), std::string::npos) << refused.error;
}

TEST(JpegRead, CmykFile_ComesOutAsRgb) {
  // Inverted inks as Adobe writes them: 255 means no ink.
  Bytes inks;
  for (int i = 0; i < 8 * 8; ++i) inks.insert(inks.end(), {255, 128, 0, 200});
  const auto decoded = decode(libraryEncoded(inks, 8, 8, TJPF_CMYK, TJSAMP_444, 0));
  ASSERT_TRUE(decoded) << decoded.error;
  EXPECT_NEAR(decoded.value.rgb[0], 200, 3);
  EXPECT_NEAR(decoded.value.rgb[1], 100, 3);
  EXPECT_NEAR(decoded.value.rgb[2], 0, 3);
}

}  // namespace
}  // namespace quillet::image
