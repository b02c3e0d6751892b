#include "ops/mirror_rotate.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/main_controls.h"
#include "core/names.h"
#include "core/picture_files.h"
#include "platform/files.h"
#include "platform/image/transform.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

using image::Bitmap;

// Left half dark, a bright top-left corner: every mirror and turn shows.
Bitmap lopsided(int width, int height) {
  Bitmap b{width, height, image::Bytes(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = b.row(y) + 3 * x;
      const bool corner = x < width / 4 && y < height / 4;
      p[0] = static_cast<std::uint8_t>(corner ? 250 : x * 200 / width);
      p[1] = static_cast<std::uint8_t>(y * 200 / height);
      p[2] = static_cast<std::uint8_t>(x < width / 2 ? 30 : 220);
    }
  }
  return b;
}

class MirrorRotateTest : public ProgramTest {
 protected:
  // A picture file of that name and size in the program folder, shown at start.
  void startWith(const std::string& name, int width = 64, int height = 48) {
    const Bitmap b = lopsided(width, height);
    folder.write(name, files::lastChars(name, 4) == ".bmp" ? image::encodeBmp24(b)
                                                           : image::encodeJpeg(b, 95).value);
    writeLastFileRecord(path(name));
    start();
  }
  // What the picture file decodes to: the start of every transform.
  Bitmap file(const std::string& name) { return image::decode(*files::read(path(name))).value; }
  Bitmap shown() { return image::decode(*box().picture()).value; }
  void choose(std::vector<std::string> captions) {
    backend.chooseMenu(std::move(captions));
    box().onRightDown(1, 1, 0);
  }
};

TEST_F(MirrorRotateTest, Horizontal_Twice_ShowsThePictureAsItWas_WithoutTheFileAgain) {
  startWith("a.jpg");
  const Bitmap original = file("a.jpg");
  const std::string loaded = g().currentPicturePath;
  choose({"镜像翻转", "水平"});
  EXPECT_EQ(shown(), image::flipBitmap(original, true, false));
  EXPECT_EQ(g().workBitmapLoaded, 1);
  EXPECT_EQ(image::decode(*files::read(path(core::kWorkBitmapFile))).value, original)
      << "the JPEG's BMP conversion is the work file";

  std::filesystem::remove(path("a.jpg"));
  std::filesystem::remove(path(core::kWorkBitmapFile));
  choose({"镜像翻转", "水平"});
  EXPECT_EQ(shown(), original);
  EXPECT_EQ(g().currentPicturePath, loaded);
  EXPECT_EQ(box().width(), main().width()) << "the box keeps its size";
}

TEST_F(MirrorRotateTest, HorizontalThenVertical_EqualsDiagonal_AndMirrorsKeepTheRatio) {
  startWith("a.bmp", 40, 30);
  const Bitmap original = file("a.bmp");
  const float ratio = g().aspectRatio;
  choose({"镜像翻转", "水平"});
  choose({"镜像翻转", "纵向"});
  const Bitmap both = shown();
  // Independently of the engine: the picture turned by half.
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_TRUE(std::equal(both.row(y) + 3 * x, both.row(y) + 3 * x + 3,
                             original.row(29 - y) + 3 * (39 - x)));
    }
  }
  core::showPictureFile(*program, path("a.bmp"));
  ASSERT_EQ(g().workBitmapLoaded, 0) << "a new load starts again from the file";
  choose({"镜像翻转", "对角"});
  EXPECT_EQ(shown(), both);
  EXPECT_EQ(g().aspectRatio, ratio);
  EXPECT_FALSE(files::exists(path(core::kWorkBitmapFile))) << "a BMP is its own source";
}

TEST_F(MirrorRotateTest, RightAngle_TurnsClockwise_TheWindowTakesTheNewProportions) {
  startWith("p.jpg", 400, 300);
  const Bitmap original = file("p.jpg");
  ASSERT_EQ(main().width(), 400);
  choose({"角度旋转", "直角"});
  EXPECT_EQ(shown(), image::quarterTurn(original));
  EXPECT_FLOAT_EQ(g().aspectRatio, 400.0f / 300.0f);
  EXPECT_EQ(main().width(), 300);
  EXPECT_EQ(main().height(), 400);
  EXPECT_EQ(box().height(), 400);
  for (int i = 0; i < 3; ++i) choose({"角度旋转", "直角"});
  EXPECT_EQ(shown(), original);
  EXPECT_EQ(main().width(), 400);
  EXPECT_EQ(main().height(), 300);
}

TEST_F(MirrorRotateTest, RightAngle_AtTheTurnedWidthAlready_StillRefitsTheHeight) {
  startWith("p.jpg", 400, 300);
  main().setWidth(300);
  ASSERT_EQ(main().height(), 225);
  choose({"角度旋转", "直角"});
  EXPECT_EQ(main().width(), 300);
  EXPECT_EQ(main().height(), 400) << "not a 300 x 400 picture squeezed into 300 x 225";
  EXPECT_EQ(box().height(), 400);
}

TEST_F(MirrorRotateTest, CustomAngle_TurnsFromTheFileEachTime_AndMirrorsFollowIt) {
  startWith("p.jpg", 80, 50);
  const Bitmap turned = image::rotateBitmap(file("p.jpg"), 30, 0);
  for (int i = 0; i < 2; ++i) {
    backend.answerInput("30");
    choose({"角度旋转", "自定"});
    EXPECT_EQ(shown(), turned) << "round " << i;
  }
  ASSERT_EQ(backend.inputs.size(), 2u);
  EXPECT_EQ(backend.inputs[0].text, "输入欲旋转的度数");
  EXPECT_EQ(backend.inputs[0].caption, "旋转");
  EXPECT_FLOAT_EQ(g().aspectRatio, float(turned.height) / float(turned.width));
  EXPECT_EQ(main().width(), turned.width);
  EXPECT_EQ(g().workBitmapLoaded, 1);
  choose({"镜像翻转", "水平"});
  EXPECT_EQ(shown(), image::flipBitmap(turned, true, false));

  // Angles far out of one turn, and negative ones, come round.
  backend.answerInput(" -330 ");
  choose({"角度旋转", "自定"});
  EXPECT_EQ(shown(), turned);
  backend.answerInput("1000000000000000000000000000030");
  choose({"角度旋转", "自定"});
  EXPECT_EQ(shown(), image::rotateBitmap(file("p.jpg"), 310, 0)) << "10^30 leaves 280 of 360";
}

TEST_F(MirrorRotateTest, CustomAngle_CancelledOrNotANumber_ChangesNothing) {
  startWith("p.jpg", 60, 40);
  choose({"镜像翻转", "水平"});
  const ui::PictureBytes before = box().picture();
  const Bitmap work = g().workBitmap;
  const int width = main().width();
  backend.cancelInput();
  choose({"角度旋转", "自定"});
  backend.answerInput("12.5");
  choose({"角度旋转", "自定"});
  backend.answerInput("");
  choose({"角度旋转", "自定"});
  EXPECT_EQ(backend.inputs.size(), 3u);
  EXPECT_EQ(box().picture(), before);
  EXPECT_EQ(main().width(), width);
  EXPECT_EQ(g().workBitmap, work) << "the mirrors made so far are kept";
  choose({"镜像翻转", "水平"});
  EXPECT_EQ(shown(), file("p.jpg")) << "so the next mirror undoes the first";
}

TEST_F(MirrorRotateTest, Mirror_WhileLocallyZoomed_DoesNothing) {
  startWith("p.jpg");
  box().setGeometry(-10, -10, main().width() + 20, main().height() + 20);
  main().move(-50, -50);
  const ui::PictureBytes before = box().picture();
  for (const char* item : {"水平", "纵向", "对角"}) choose({"镜像翻转", item});
  choose({"角度旋转", "直角"});
  choose({"角度旋转", "自定"});
  EXPECT_EQ(box().picture(), before);
  EXPECT_EQ(main().left(), -50);
  EXPECT_EQ(g().workBitmapLoaded, 0);
  EXPECT_TRUE(backend.inputs.empty());
  EXPECT_FALSE(files::exists(path(core::kWorkBitmapFile)));
}

TEST_F(MirrorRotateTest, Mirror_PullsTheWindowBackTo10_FromTheLeftOrTop) {
  startWith("p.jpg");
  const struct {
    int left, top, wantLeft, wantTop;
  } cases[] = {{-50, 200, 10, 200}, {300, -5, 300, 10}, {9, 9, 10, 10}, {10, 40, 10, 40}};
  for (const auto& c : cases) {
    main().move(c.left, c.top);
    choose({"镜像翻转", "水平"});
    EXPECT_EQ(main().left(), c.wantLeft) << c.left << "," << c.top;
    EXPECT_EQ(main().top(), c.wantTop) << c.left << "," << c.top;
  }
}

TEST_F(MirrorRotateTest, NoUsableSource_NothingChangesOnScreen) {
  startWith("good.jpg");
  // A work file from an earlier picture must never be shown for this one.
  folder.write(core::kWorkBitmapFile, image::encodeBmp24(lopsided(20, 20)));
  folder.write("broken.jpg", std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
  folder.write("broken.bmp", std::vector<std::uint8_t>{'B', 'M', 9, 9});
  folder.write("caps.JPG", image::encodeJpeg(lopsided(30, 20), 90).value);
  folder.write("long.jpeg", image::encodeJpeg(lopsided(30, 20), 90).value);
  folder.write("dotless", image::encodeJpeg(lopsided(30, 20), 90).value);
  const auto work = files::read(path(core::kWorkBitmapFile));
  for (const char* name : {"broken.jpg", "broken.bmp", "caps.JPG", "long.jpeg", "dotless",
                           "missing.jpg", "missing.bmp"}) {
    SCOPED_TRACE(name);
    g().currentPicturePath = path(name);
    g().workBitmapLoaded = 0;
    const ui::PictureBytes before = box().picture();
    const int width = main().width();
    choose({"镜像翻转", "水平"});
    choose({"角度旋转", "直角"});
    backend.answerInput("30");
    choose({"角度旋转", "自定"});
    ops::freeRotate(*program, 1);
    EXPECT_EQ(box().picture(), before);
    EXPECT_EQ(main().width(), width);
    EXPECT_EQ(g().workBitmapLoaded, 0);
  }
  EXPECT_EQ(files::read(path(core::kWorkBitmapFile)), work) << "nothing was converted";
  EXPECT_TRUE(backend.inputs.empty()) << "no angle is asked for when there is nothing to turn";
}

TEST_F(MirrorRotateTest, WorkFileThatCannotBeWritten_StillMirrors) {
  startWith("p.jpg");
  folder.makeFolder(std::string(core::kWorkBitmapFile) + "/taken");
  choose({"镜像翻转", "纵向"});
  EXPECT_EQ(shown(), image::flipBitmap(file("p.jpg"), false, true));
}

TEST_F(MirrorRotateTest, AltArrows_AccumulateDegreesFromTheFile_KeepingTheWidth) {
  startWith("p.jpg", 120, 90);
  main().setWidth(240);
  ASSERT_EQ(main().height(), 180);
  main().onKeyDown(0x27, ui::kAlt);
  main().onKeyDown(0x27, ui::kAlt);
  main().onKeyDown(0x25, ui::kAlt);
  EXPECT_EQ(g().freeRotationAngle, 1);
  const Bitmap turned = image::rotateBitmap(file("p.jpg"), 1, 0x606060);
  EXPECT_EQ(shown(), turned);
  EXPECT_FLOAT_EQ(g().aspectRatio, float(turned.height) / float(turned.width));
  EXPECT_EQ(main().width(), 240);
  EXPECT_EQ(main().height(), int(240 * g().aspectRatio)) << "the height follows the turned picture";
  EXPECT_EQ(g().workBitmapLoaded, 0) << "left as it was";
}

TEST_F(MirrorRotateTest, RebuiltWindow_NextMirrorStartsFromTheFileAgain) {
  startWith("a.jpg");
  choose({"镜像翻转", "水平"});
  ASSERT_EQ(g().workBitmapLoaded, 1);
  backend.chooseMenu({"Don't Penetrate"});
  host().onRightDown(1, 1, 0);
  EXPECT_EQ(g().workBitmapLoaded, 0) << "the rebuilt window shows the file";
  choose({"镜像翻转", "水平"});
  EXPECT_EQ(shown(), image::flipBitmap(file("a.jpg"), true, false));
}

}  // namespace
}  // namespace quillet::testing
