#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/picture_fixtures.h"
#include "platform/image/picture.h"

namespace quillet::image {
namespace {

using testing::meanDifference;
using testing::readFile;
using testing::testData;

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& dir, const char* ext) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ext) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Decodes, or refuses with a reason; a decoded picture has its header's size.
bool readsConsistently(const std::filesystem::path& path, std::string* error = nullptr) {
  SCOPED_TRACE(path.filename().string());
  const Bytes bytes = readFile(path);
  const auto picture = decode(bytes);
  if (error != nullptr) *error = picture.error;
  if (!picture) {
    EXPECT_FALSE(picture.error.empty());
    return false;
  }
  EXPECT_EQ((Size{picture.value.width, picture.value.height}), readSize(bytes).value);
  EXPECT_EQ(picture.value.rgb.size(), picture.value.stride() * picture.value.height);
  return true;
}

TEST(PublicPictures, BmpSuiteGood_AllDecodeAndMatchTheirReference) {
  const auto suite = testData("bmpsuite");
  if (!suite) GTEST_SKIP() << "bmpsuite not present";
  for (const auto& path : filesIn(*suite / "g", ".bmp")) EXPECT_TRUE(readsConsistently(path));

  // Which files show the same picture, found by looking at them: the 24-bit
  // one is the truth, 8-bit ones are a dithered 252-colour version of it (off
  // by under one palette step), and the narrower ones are crops from the top.
  struct Same {
    const char* reference;
    int maxDifference;
    double maxMean;
    std::vector<const char*> files;
  };
  const Same groups[] = {
      {"g/rgb24",
       0,
       0,
       {"g/rgb24pal", "g/rgb32", "g/rgb32bf", "g/rgb32bfdef", "q/rgb32h52", "q/rgb32-xbgr"}},
      {"g/rgb24", 1, 0.5, {"q/rgb32-111110", "q/rgb32-7187"}},
      {"g/rgb24",
       4,
       1.5,
       {"g/rgb16", "g/rgb16bfdef", "g/rgb16-565", "g/rgb16-565pal",
        "q/rgba16-5551"}},  // 5 bits a channel
      {"g/rgb24", 51, 16, {"g/pal8"}},
      {"g/pal8",
       0,
       0,
       {"g/pal8-0", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4", "g/pal8v5", "g/pal8w124",
        "g/pal8w125", "g/pal8w126", "q/pal8offs", "q/pal8oversizepal", "q/pal8os2sp", "q/pal8os2v2",
        "q/pal8os2v2-16", "q/rgb24rle24"}},
      {"g/pal4", 0, 0, {"g/pal4rle"}},
      {"g/pal1", 0, 0, {"g/pal1wb"}},
      {"g/pal8gs", 24, 8, {"g/pal4gs"}},  // 12 grey levels against 252
  };
  for (const auto& group : groups) {
    const Bitmap reference =
        decode(readFile(*suite / (std::string(group.reference) + ".bmp"))).value;
    for (const char* name : group.files) {
      SCOPED_TRACE(name);
      const Bitmap file = decode(readFile(*suite / (std::string(name) + ".bmp"))).value;
      ASSERT_FALSE(file.empty());
      int worst = 0;
      EXPECT_LE(meanDifference(file, reference, &worst), group.maxMean);
      EXPECT_LE(worst, group.maxDifference);
    }
  }
}

TEST(PublicPictures, BmpSuiteBadAndQuestionable_AreRefusedOrShownWithoutFault) {
  const auto suite = testData("bmpsuite");
  if (!suite) GTEST_SKIP() << "bmpsuite not present";
  for (const char* folder : {"b", "q"}) {
    for (const auto& path : filesIn(*suite / folder, ".bmp")) readsConsistently(path);
  }
  EXPECT_TRUE(readSize(readFile(*suite / "b/reallybig.bmp")).error.starts_with("图片过大"));
}

TEST(PublicPictures, JpegFolder_DecodesToItsHeaderSizeOrIsRefusedWithAReason) {
  const auto folder = testData("jpeg");
  if (!folder) GTEST_SKIP() << "jpeg pictures not present";
  for (const auto& path : filesIn(*folder, ".bmp")) EXPECT_TRUE(readsConsistently(path));
  for (const auto& path : filesIn(*folder, ".jpg")) {
    std::string error;
    // These files are intact: only a kind of JPEG this build cannot read
    // (12-bit, arithmetic coding) may be refused.
    if (!readsConsistently(path, &error)) {
      EXPECT_TRUE(error.starts_with("不支持的 JPEG 格式")) << error;
    }
  }
  // One picture in four encodings, and decoded elsewhere into 256 colours.
  const auto reference = decode(readFile(*folder / "testorig.jpg")).value;
  const std::pair<const char*, double> alike[] = {{"testimgint.jpg", 3.0},
                                                  {"testimgp.jpg", 3.0},
                                                  {"testimgari.jpg", 3.0},
                                                  {"testimg.bmp", 6.0}};
  for (const auto& [name, tolerance] : alike) {
    const auto converted = convertJpegToBmp(readFile(*folder / name));
    ASSERT_TRUE(converted) << name << ": " << converted.error;
    EXPECT_LT(meanDifference(decode(converted.value).value, reference), tolerance) << name;
  }
}

}  // namespace
}  // namespace quillet::image
