#include <gtest/gtest.h>

#include "core/main_controls.h"
#include "ops/gray_levels.h"
#include "platform/files.h"
#include "platform/image/gray_levels.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

// Three vertical bands: dark, middle and light gray-ish colours.
image::Bitmap bands(int width, int height) {
  image::Bitmap b{width, height, image::Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = b.row(y) + 3 * x;
      const int band = 3 * x / width;
      p[0] = static_cast<std::uint8_t>(40 + 90 * band);
      p[1] = static_cast<std::uint8_t>(20 + 100 * band);
      p[2] = static_cast<std::uint8_t>(60 + 80 * band);
    }
  }
  return b;
}

class GrayLevelsMenuTest : public ProgramTest {
 protected:
  void SetUp() override {
    folder.write("pic/1.bmp", image::encodeBmp24(bands(90, 30)));
    writeLastFileRecord(path("pic/1.bmp"));
    start();
    fileBytes = *files::read(path("pic/1.bmp"));
  }
  void choose(const char* item) {
    backend.chooseMenu({"灰度去色", item});
    box().onRightDown(1, 1, 0);
  }
  // Levels of the picture shown: the gray of its last used palette entry
  // tells the count (entries past it are white).
  int paletteEntry(int i) { return (*box().picture())[54 + 4 * static_cast<std::size_t>(i)]; }
  bool reduced() {
    const auto& p = *box().picture();
    return p.size() > 29 && p[28] == 8;
  }
  image::Bytes fileBytes;
};

TEST_F(GrayLevelsMenuTest, FixedCounts_ReloadTheFileThenReduce) {
  const struct {
    const char* item;
    int levels;
  } items[] = {{"值为2", 2},   {"值为4", 4},   {"值为8", 8},    {"值为16", 16},
               {"值为32", 32}, {"值为64", 64}, {"值为128", 128}};
  for (const auto& it : items) {
    SCOPED_TRACE(it.item);
    choose(it.item);  // each one from the file, not from the previous reduction
    EXPECT_EQ(*box().picture(), image::applyGrayLevels(fileBytes, it.levels).value);
  }
  // Two levels: the dark band (sum 120) black, the others (300, 570... ) by 384.
  choose("值为2");
  const auto& p = *box().picture();
  EXPECT_EQ(p[1078], 0);
  EXPECT_EQ(p[1078 + 89], 1);
  EXPECT_EQ(paletteEntry(1), 255);
}

TEST_F(GrayLevelsMenuTest, Reduction_LeavesWhatRestoringNeeds) {
  main().setWidth(180);
  const float ratio = g().aspectRatio;
  choose("值为4");
  EXPECT_EQ(*g().loadedPicture, fileBytes) << "the file as loaded, in colour";
  EXPECT_EQ(g().aspectRatio, ratio);
  EXPECT_EQ(main().width(), 180) << "reloaded at the width shown";
  choose("还原");
  EXPECT_EQ(*box().picture(), fileBytes);
  EXPECT_EQ(main().width(), 180);
}

TEST_F(GrayLevelsMenuTest, Custom_AsksAfterReloading_ClampsAndIgnoresNonNumbers) {
  const struct {
    std::optional<std::string> answer;
    std::optional<int> levels;  // none: the file in colour
  } cases[] = {{"5", 5},
               {" 16 ", 16},
               {"1", 2},
               {"-3", 2},
               {"999999999999", 256},
               {std::nullopt, std::nullopt},
               {"abc", std::nullopt},
               {"2.5", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer.value_or("(cancelled)"));
    choose("值为8");
    if (c.answer) {
      backend.answerInput(*c.answer);
    } else {
      backend.cancelInput();
    }
    choose("自定义");
    EXPECT_EQ(*box().picture(),
              c.levels ? image::applyGrayLevels(fileBytes, *c.levels).value : fileBytes);
  }
  EXPECT_EQ(backend.inputs.back().text, "Please input gray value 1-256");
  EXPECT_EQ(backend.inputs.back().caption, "Gray value");
}

TEST_F(GrayLevelsMenuTest, FromKey_ReducesWhatIsShown_AReducedPictureStays) {
  backend.answerInput("8");
  ops::grayFromKey(*program);
  EXPECT_EQ(*box().picture(), image::applyGrayLevels(fileBytes, 8).value);
  const ui::PictureBytes once = box().picture();
  backend.answerInput("2");
  ops::grayFromKey(*program);
  EXPECT_EQ(box().picture(), once) << "no reload: already reduced, nothing to do";
  backend.cancelInput();
  choose("还原");
  ops::grayFromKey(*program);
  EXPECT_EQ(*box().picture(), fileBytes);
  EXPECT_FALSE(reduced());
}

TEST_F(GrayLevelsMenuTest, UnreadablePicture_StaysAsShown) {
  folder.write("pic/bad.bmp", std::vector<std::uint8_t>(800, 0x42));
  g().currentPicturePath = path("pic/bad.bmp");
  choose("值为2");
  EXPECT_EQ(*box().picture(), *files::read(path("pic/bad.bmp")));
  backend.answerInput("4");
  ops::grayFromKey(*program);
  EXPECT_EQ(*box().picture(), *files::read(path("pic/bad.bmp")));
}

}  // namespace
}  // namespace quillet::testing
