#include <gtest/gtest.h>

#include <string>

#include "image/picture_fixtures.h"
#include "platform/image/picture.h"

namespace quillet::image {
namespace {

using testing::bmpFile;
using testing::BmpLayout;
using testing::packRows;
using testing::pattern;

Bytes bmp24(std::int32_t width, std::int32_t height, Bytes pixels) {
  BmpLayout layout(width, height, 24);
  layout.pixels = std::move(pixels);
  return bmpFile(layout);
}

Bytes jpegClaiming(int width, int height) {
  Bytes jpeg = encodeJpeg(pattern(8, 8), 90).value;
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  }
  return jpeg;
}

TEST(Picture, UnreadableFiles_AreRefusedWithTheirReason) {
  const auto with = [](auto change) {
    BmpLayout layout(3, 2, 24);
    layout.pixels = Bytes(16, 0);
    change(layout);
    return bmpFile(layout);
  };
  struct Case {
    Bytes file;
    std::string error;
  };
  const Case cases[] = {
      {{}, "文件是空的"},
      {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, "不是 JPEG 或 BMP 图片"},
      {{'B', 'M', 0x10, 0, 0, 0}, "文件不完整（已截断）"},
      {{0xFF, 0xD8}, "文件不完整（已截断）"},
      {{0xFF, 0xD8, 0xFF, 0xD9}, "JPEG 数据损坏：没有图像帧"},
      {with([](BmpLayout& s) { s.bits = 64; }), "不支持的 BMP 格式（64 位）"},
      {with([](BmpLayout& s) { s.compression = 4; }), "不支持的 BMP 格式（内嵌 JPEG）"},
      {with([](BmpLayout& s) { s.compression = 5; }), "不支持的 BMP 格式（内嵌 PNG）"},
      {with([](BmpLayout& s) { s.compression = 1; }), "不支持的 BMP 格式（RLE8，24 位）"},
      {with([](BmpLayout& s) { s.headerSize = 66; }), "不支持的 BMP 格式（信息头 66 字节）"},
      {with([](BmpLayout& s) { s.width = -3; }), "图片尺寸无效：-3 × 2"},
      {with([](BmpLayout& s) { s.height = 0; }), "图片尺寸无效：3 × 0"},
      {with([](BmpLayout& s) { s.planes = 2; }), "BMP 数据损坏：位面数为 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(readSize(c.file).error, c.error);
    EXPECT_EQ(decode(c.file).error, c.error);
    EXPECT_EQ(convertBmpToJpeg(c.file).error, c.error);
    EXPECT_EQ(convertJpegToBmp(c.file).error, c.error);
  }
  // The header alone is enough for a size, not for a picture.
  const Bytes noPixels = with([](BmpLayout& s) { s.pixels.clear(); });
  EXPECT_EQ(readSize(noPixels).value, (Size{3, 2}));
  EXPECT_EQ(decode(noPixels).error, "文件不完整（已截断）");
}

// Allocating any of these would take gigabytes and seconds; the header decides.
TEST(Picture, OversizedHeaders_AreRefusedFromTheHeader) {
  const std::pair<Bytes, std::string> cases[] = {
      {bmp24(100000, 100000, {}), "图片过大：100000 × 100000 像素，边长超过上限 65535 像素"},
      {bmp24(70000, 1, {}), "图片过大：70000 × 1 像素，边长超过上限 65535 像素"},
      {bmp24(20000, -20000, {}), "图片过大：20000 × 20000 像素，超过上限 1 亿像素"},
      {bmp24(10000, 10001, {}), "图片过大：10000 × 10001 像素，超过上限 1 亿像素"},
      {jpegClaiming(65535, 65535), "图片过大：65535 × 65535 像素，超过上限 1 亿像素"},
      {jpegClaiming(10000, 10001), "图片过大：10000 × 10001 像素，超过上限 1 亿像素"},
  };
  for (const auto& [file, error] : cases) {
    EXPECT_EQ(readSize(file).error, error);
    EXPECT_EQ(decode(file).error, error);
    EXPECT_EQ(decodeForDisplay(file, 100, 100).error, error);
  }
  EXPECT_EQ(readSize(bmp24(10000, 10000, {})).value, (Size{10000, 10000}));
  EXPECT_EQ(readSize(jpegClaiming(10000, 10000)).value, (Size{10000, 10000}));
}

TEST(Picture, EveryPrefixOfAFile_IsRefusedOrDecodedAtFullSize) {
  const Bytes rows = packRows(5, 4, 24, false, [](int x, int y) { return 0x10203u * (x + 5 * y); });
  BmpLayout rle(6, 4, 8, 40, 1);
  rle.palette = Bytes(16, 200);
  rle.pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 0, 10, 1, 0, 1};
  const std::pair<const char*, Bytes> files[] = {
      {"bmp", bmp24(5, 4, rows)},
      {"rle", bmpFile(rle)},
      {"jpeg", encodeJpeg(pattern(24, 16), 90).value},
  };
  for (const auto& [name, file] : files) {
    const auto whole = decode(file);
    ASSERT_TRUE(whole) << name;
    for (std::size_t length = 0; length < file.size(); ++length) {
      SCOPED_TRACE(std::string(name) + " prefix " + std::to_string(length));
      const ByteView prefix(file.data(), length);
      const auto decoded = decode(prefix);
      if (!decoded) {
        EXPECT_FALSE(decoded.error.empty());
        continue;
      }
      EXPECT_EQ(decoded.value.width, whole.value.width);
      EXPECT_EQ(decoded.value.height, whole.value.height);
      EXPECT_EQ(readSize(prefix).value, (Size{whole.value.width, whole.value.height}));
      if (std::string(name) != "bmp") continue;
      // Stored rows run bottom-up, 16 bytes each: complete ones are exact,
      // the ones not begun are black.
      const std::size_t stored = (length - (file.size() - rows.size())) / 16;
      for (std::size_t r = 0; r < 4; ++r) {
        const std::uint8_t* got = decoded.value.row(3 - static_cast<int>(r));
        const std::uint8_t* want = whole.value.row(3 - static_cast<int>(r));
        if (r < stored) {
          EXPECT_TRUE(std::equal(got, got + 15, want)) << "row " << r;
        } else if (r > stored) {
          EXPECT_TRUE(std::all_of(got, got + 15, [](int v) { return v == 0; })) << "row " << r;
        }
      }
    }
  }
}

TEST(Picture, Bmp24Written_ReadsBackExactlyWithCorrectHeader) {
  for (int width = 1; width <= 5; ++width) {
    for (int height = 1; height <= 3; ++height) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
      const Bitmap original = pattern(width, height);
      const Bytes file = encodeBmp24(original);
      const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
      ASSERT_EQ(file.size(), 54 + stride * height);
      const auto field = [&](std::size_t at) {
        return static_cast<std::size_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16);
      };
      EXPECT_EQ(field(2), file.size());
      EXPECT_EQ(field(10), 54u);
      EXPECT_EQ(field(34), stride * height);
      // Bottom-up: the first stored pixel is the bottom-left one, as B, G, R.
      EXPECT_EQ(file[54], original.row(height - 1)[2]);
      EXPECT_EQ(file[56], original.row(height - 1)[0]);
      EXPECT_EQ(decode(file).value, original);
    }
  }
  EXPECT_TRUE(encodeBmp24(Bitmap{}).empty());
  EXPECT_TRUE(encodeBmp24(Bitmap{4, 4, Bytes(10, 0)}).empty());
}

TEST(Picture, Conversions_KeepThePicture) {
  const Bitmap original = pattern(40, 30);
  const Bytes jpeg = encodeJpeg(original, 90).value;
  const auto bmp = convertJpegToBmp(jpeg);
  ASSERT_TRUE(bmp) << bmp.error;
  EXPECT_EQ(decode(bmp.value).value, decode(jpeg).value);

  const auto backToJpeg = convertBmpToJpeg(encodeBmp24(original));
  ASSERT_TRUE(backToJpeg) << backToJpeg.error;
  EXPECT_LT(testing::meanDifference(decode(backToJpeg.value).value, original), 4.0);
  EXPECT_NE(convertBmpToJpeg(encodeBmp24(original), 20).value, backToJpeg.value);
  EXPECT_EQ(encodeJpeg(Bitmap{}, 80).error, "没有可保存的图片");
}

TEST(Picture, ReadSizeFile_ReadsPastLargeMetadata) {
  const std::filesystem::path path = ::testing::TempDir() + "quillet-read-size.jpg";
  const Bytes jpeg = encodeJpeg(pattern(30, 20), 90).value;
  Bytes file(jpeg.begin(), jpeg.begin() + 2);
  for (int i = 0; i < 3; ++i) {  // 192 KiB of APP1 before the frame header
    file.insert(file.end(), {0xFF, 0xE1, 0xFF, 0xFF});
    file.insert(file.end(), 0xFFFD, 0);
  }
  file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  EXPECT_EQ(readSizeFile(path).value, (Size{30, 20}));
  std::filesystem::remove(path);
  EXPECT_EQ(readSizeFile(path).error, "无法打开文件");
}

}  // namespace
}  // namespace quillet::image
