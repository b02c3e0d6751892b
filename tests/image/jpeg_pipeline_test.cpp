#include "platform/image/jpeg_operations.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "image/picture_fixtures.h"
#include "platform/image/bmp_direct.h"
#include "platform/image/gray_levels.h"
#include "platform/image/transform.h"
#include "support/libjpeg_encoder.h"
#include "support/temp_folder.h"

namespace quillet::image {
namespace {

using Durability = OutputFile::Durability;
using testing::pattern;
using testing::readFile;

Bytes turboEncoded(const Bitmap& b, int subsampling, int flags = 0, int format = TJPF_RGB) {
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const Bytes cmyk(static_cast<std::size_t>(b.width) * b.height * 4, 140);
  EXPECT_EQ(tjCompress2(handle, format == TJPF_CMYK ? cmyk.data() : b.rgb.data(), b.width, 0,
                        b.height, format, &buffer, &size, subsampling, 90, flags),
            0);
  Bytes out(buffer, buffer + size);
  tjFree(buffer);
  tjDestroy(handle);
  return out;
}

Bytes libjpegEncoded(const Bitmap& b, int lumaH, int lumaV, int restartRows = 0) {
  return quillet::testing::libjpegEncoded(b, lumaH, lumaV, 90, restartRows);
}

// A stray byte before the second marker segment draws a warning, and an
// unknown marker before the end is fatal; TurboJPEG counts the two as a
// warning and shows what it has decoded by then.
Bytes warnedThenBroken(Bytes jpeg) {
  jpeg.insert(jpeg.end() - 2, {0xFF, 0xA9});
  jpeg.insert(jpeg.begin() + 4 + (jpeg[4] << 8 | jpeg[5]), 0x12);
  return jpeg;
}

struct Kind {
  const char* name;
  Bytes jpeg;
};

// Every layout the decoder treats differently, at a size whose rows and
// columns end in partial blocks, bands and BMP padding.
std::vector<Kind> kinds(int width, int height) {
  const Bitmap b = pattern(width, height);
  const Bytes plain = encodeJpeg(b, 90).value;
  return {
      {"420", plain},
      {"422", turboEncoded(b, TJSAMP_422)},
      {"444", turboEncoded(b, TJSAMP_444)},
      {"440", turboEncoded(b, TJSAMP_440)},
      {"411", turboEncoded(b, TJSAMP_411)},
      {"gray", turboEncoded(b, TJSAMP_GRAY)},
      {"progressive", turboEncoded(b, TJSAMP_420, TJFLAG_PROGRESSIVE)},
      {"cmyk", turboEncoded(b, TJSAMP_444, 0, TJPF_CMYK)},
      {"4x2 with restarts", libjpegEncoded(b, 4, 2, 1)},
      {"truncated",
       Bytes(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(plain.size() * 3 / 5))},
      {"warned, then broken", warnedThenBroken(plain)},
      {"progressive, warned, then broken",
       warnedThenBroken(turboEncoded(b, TJSAMP_420, TJFLAG_PROGRESSIVE))},
  };
}

// Each whole operation gives the very bytes of decoding the JPEG whole and
// running the in-memory operation on it.
TEST(JpegPipeline, EveryOperation_GivesTheBytesOfTheInMemoryOne) {
  const quillet::testing::TempFolder folder;
  const std::string out = folder.path("out.bmp");
  const auto written = [&](const FileOutcome& outcome) {
    EXPECT_TRUE(outcome.ok()) << outcome.error;
    return readFile(out);
  };
  for (const auto& [width, height] : {std::pair{61, 45}, std::pair{37, 150}}) {
    for (const Kind& kind : kinds(width, height)) {
      SCOPED_TRACE(::testing::Message() << kind.name << " " << width << "x" << height);
      const auto decoded = decode(kind.jpeg);
      ASSERT_TRUE(decoded) << decoded.error;
      const Bitmap& b = decoded.value;
      for (int flags = 0; flags < 4; ++flags) {
        const bool h = flags & 1;
        const bool v = flags & 2;
        EXPECT_EQ(written(flipJpegToBmpFile(kind.jpeg, h, v, out, Durability::Scratch)),
                  flipToBmp(b, h, v))
            << "flip " << flags;
        const auto mirrored = mirrorJpeg(kind.jpeg, h, v, true, folder.path("work.bmp"));
        ASSERT_TRUE(mirrored) << mirrored.error;
        EXPECT_EQ(mirrored.value.bitmap, flipBitmap(b, h, v)) << "mirror " << flags;
        EXPECT_EQ(mirrored.value.bmp, flipToBmp(b, h, v)) << "mirror " << flags;
        EXPECT_EQ(readFile(folder.path("work.bmp")), encodeBmp24(b)) << "work file " << flags;
      }
      EXPECT_EQ(written(quarterTurnJpegToBmpFile(kind.jpeg, true, out, Durability::Scratch)),
                encodeBmp24(quarterTurn(b)));
      EXPECT_EQ(written(quarterTurnJpegToBmpFile(kind.jpeg, false, out, Durability::Synced)),
                rotateToBmp(b, 270, 0));
      for (const double degrees : {30.0, -137.5}) {
        EXPECT_EQ(
            written(rotateJpegToBmpFile(kind.jpeg, degrees, 0x203040, out, Durability::Scratch)),
            rotateToBmp(b, degrees, 0x203040))
            << degrees;
      }
      EXPECT_EQ(written(grayJpegToBmpFile(kind.jpeg, 5, out, Durability::Scratch)),
                applyGrayLevels(kind.jpeg, 5).value);
    }
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.root())) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"out.bmp", "work.bmp"})) << "no temporary files left";
}

// Valid files with sampling factors TurboJPEG's header call cannot name.
TEST(JpegPipeline, UnusualSampling_IsDecodedEverywhere) {
  const Bitmap original = pattern(70, 44);
  for (const auto& [h, v] : {std::pair{4, 2}, std::pair{1, 4}, std::pair{3, 1}}) {
    SCOPED_TRACE(::testing::Message() << h << "x" << v);
    const Bytes jpeg = libjpegEncoded(original, h, v);
    EXPECT_EQ(readSize(jpeg).value, (Size{70, 44}));
    const auto decoded = decode(jpeg);
    ASSERT_TRUE(decoded) << decoded.error;
    EXPECT_LT(testing::meanDifference(decoded.value, original), 8.0);
    const auto shown = decodeForDisplay(jpeg, 10, 6);
    ASSERT_TRUE(shown) << shown.error;
    EXPECT_EQ((Size{shown.value.width, shown.value.height}), (Size{18, 11})) << "a quarter";
    EXPECT_EQ(jpegToBmp(jpeg).value, encodeBmp24(decoded.value));
    EXPECT_TRUE(applyGrayLevels(jpeg, 4));
  }
}

TEST(JpegPipeline, BadPicturesAndFiles_FailWithTheirReason_LeavingNoFile) {
  const quillet::testing::TempFolder folder;
  const Bytes good = encodeJpeg(pattern(40, 30), 90).value;
  Bytes twelveBit = good;
  for (std::size_t i = 2; i + 4 < twelveBit.size(); ++i) {
    if (twelveBit[i] == 0xFF && twelveBit[i + 1] == 0xC0) {
      twelveBit[i + 1] = 0xC1;
      twelveBit[i + 4] = 12;
      break;
    }
  }
  Bytes badScan = good;
  for (std::size_t i = 2; i + 5 < badScan.size(); ++i) {
    if (badScan[i] == 0xFF && badScan[i + 1] == 0xDA) {
      badScan[i + 5] = 9;  // a component the frame does not have
      break;
    }
  }
  // A progressive file that repeats its last scan: each repeat costs a pass.
  const Bitmap small = pattern(16, 16);
  const Bytes progressive = turboEncoded(small, TJSAMP_420, TJFLAG_PROGRESSIVE);
  std::size_t lastScan = 0;
  for (std::size_t i = 0; i + 1 < progressive.size(); ++i) {
    if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA) lastScan = i;
  }
  Bytes endless(progressive.begin(), progressive.end() - 2);
  for (int i = 0; i < 600; ++i) {
    endless.insert(endless.end(), progressive.begin() + static_cast<std::ptrdiff_t>(lastScan),
                   progressive.end() - 2);
  }
  endless.insert(endless.end(), {0xFF, 0xD9});

  const struct {
    const char* name;
    Bytes jpeg;
    std::string error;
  } pictures[] = {
      {"not a picture",
       {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3},
       decode(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3}).error},
      {"12-bit", twelveBit, "不支持的 JPEG 格式（12 位精度）"},
      {"bad scan", badScan, "JPEG 数据损坏：Invalid component ID 9 in SOS"},
      {"endless scans", endless, "JPEG 数据损坏：Progressive JPEG image has more than 500 scans"},
  };
  const std::string out = folder.path("out.bmp");
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.name);
    for (const FileOutcome& outcome :
         {flipJpegToBmpFile(p.jpeg, true, false, out, Durability::Synced),
          quarterTurnJpegToBmpFile(p.jpeg, true, out, Durability::Synced),
          rotateJpegToBmpFile(p.jpeg, 10, 0, out, Durability::Synced),
          grayJpegToBmpFile(p.jpeg, 4, out, Durability::Synced)}) {
      EXPECT_EQ(outcome.failure, FileOutcome::Failure::Picture);
      EXPECT_EQ(outcome.error, p.error);
    }
    EXPECT_EQ(mirrorJpeg(p.jpeg, true, false, true, folder.path("work.bmp")).error, p.error);
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.root())) << "nothing written, nothing left";

  const std::string nowhere = folder.path("missing/out.bmp");
  const FileOutcome unwritable = flipJpegToBmpFile(good, false, false, nowhere, Durability::Synced);
  EXPECT_EQ(unwritable.failure, FileOutcome::Failure::File);
  EXPECT_FALSE(unwritable.error.empty());
  EXPECT_EQ(quarterTurnJpegToBmpFile(good, true, nowhere, Durability::Synced).failure,
            FileOutcome::Failure::File);

  // 65500 x 2 (the format's widest) turned by 45 degrees needs two billion pixels.
  const Bytes strip = encodeJpeg(pattern(65500, 2), 50).value;
  const FileOutcome huge = rotateJpegToBmpFile(strip, 45, 0, out, Durability::Synced);
  EXPECT_EQ(huge.failure, FileOutcome::Failure::CanvasTooLarge) << huge.error;
  EXPECT_TRUE(std::filesystem::is_empty(folder.root()));
}

// A file without quantization tables was decoded with the tables of the
// picture decoded before it on the same thread, and refused when it came first.
TEST(JpegPipeline, FileWithoutTables_IsRefusedWhateverWasDecodedBefore) {
  const Bitmap b = pattern(32, 24);
  Bytes bare = encodeJpeg(b, 20).value;
  for (std::size_t at = 2; at + 4 < bare.size() && bare[at + 1] != 0xDA;) {
    const std::size_t length = static_cast<std::size_t>(bare[at + 2] << 8 | bare[at + 3]);
    if (bare[at + 1] == 0xDB) {
      bare.erase(bare.begin() + static_cast<std::ptrdiff_t>(at),
                 bare.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
    } else {
      at += 2 + length;
    }
  }
  const std::string refused = "JPEG 数据损坏：Quantization table 0x00 was not defined";
  const Bytes other = encodeJpeg(b, 95).value;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(decode(bare).error, refused);
    ASSERT_TRUE(decode(other));
    EXPECT_EQ(decode(bare).error, refused);
    ASSERT_TRUE(decodeForDisplay(other, 8, 8));
    EXPECT_EQ(decodeForDisplay(bare, 8, 8).error, refused);
    ASSERT_TRUE(jpegToBmp(other));
    EXPECT_EQ(jpegToBmp(bare).error, refused);
    EXPECT_EQ(mirrorJpeg(bare, true, false, true, {}).error, refused);
  }
}

// The two-thread forms the program uses on its work bitmap.
TEST(JpegPipeline, MirrorAndTurnWithTheirBmp_MatchTheSeparateSteps) {
  for (const auto& [w, h] :
       {std::pair{1, 1}, std::pair{3, 2}, std::pair{5, 3}, std::pair{17, 4}, std::pair{130, 67}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    const Bitmap b = pattern(w, h);
    for (int flags = 0; flags < 4; ++flags) {
      Bitmap inPlace = b;
      const Bytes bmp = flipInPlaceToBmp(inPlace, flags & 1, flags & 2);
      EXPECT_EQ(inPlace, flipBitmap(b, flags & 1, flags & 2)) << flags;
      EXPECT_EQ(bmp, encodeBmp24(inPlace)) << flags;
    }
    Bitmap turned;
    Bytes bmp;
    ASSERT_TRUE(quarterTurnWithBmp(b, turned, bmp));
    EXPECT_EQ(turned, quarterTurn(b));
    EXPECT_EQ(bmp, encodeBmp24(turned));
  }
  Bitmap turned = pattern(2, 2);
  Bytes bmp{1, 2};
  EXPECT_FALSE(quarterTurnWithBmp(Bitmap{4, 4, Bytes(5)}, turned, bmp));
  EXPECT_TRUE(turned.empty());
  EXPECT_TRUE(bmp.empty());
}

// A band of the canvas made before the whole picture is decoded must read
// no row past the reach it was given.
TEST(JpegPipeline, RotatedBands_ReadNoRowPastTheirReach) {
  const Bitmap b = pattern(41, 23);
  for (const double degrees : {1.0, 30.0, 89.5, 137.0, 200.0, 300.0, -45.0}) {
    SCOPED_TRACE(degrees);
    const Size canvas = rotatedSize({41, 23}, degrees);
    const std::size_t stride = (static_cast<std::size_t>(canvas.width) * 3 + 3) / 4 * 4;
    Bytes stitched = rotateToBmp(b, degrees, 0x405060);
    std::fill(stitched.begin() + 54, stitched.end(), 0);
    for (int first = 0; first < canvas.height; first += 7) {
      const int count = std::min(7, canvas.height - first);
      const int reach = rotationReach({41, 23}, degrees, first, count);
      ASSERT_LE(reach, 23);
      Bitmap partial = b;  // rows past the reach not decoded yet
      for (std::size_t i = 3 * 41 * static_cast<std::size_t>(reach); i < partial.rgb.size(); ++i) {
        partial.rgb[i] = static_cast<std::uint8_t>(i * 7 + 1);
      }
      ASSERT_TRUE(rotatedBmpRows(partial, degrees, 0x405060, first, count,
                                 stitched.data() + 54 + stride * (canvas.height - first - count)));
    }
    EXPECT_EQ(stitched, rotateToBmp(b, degrees, 0x405060));
  }
}

}  // namespace
}  // namespace quillet::image
