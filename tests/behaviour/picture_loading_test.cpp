#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/main_controls.h"
#include "core/names.h"
#include "core/picture_files.h"
#include "platform/files.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

class PictureLoadingTest : public ProgramTest {
 protected:
  void startOn(const std::string& picture) {
    writeLastFileRecord(picture);
    start();
  }
  void pageDown() { main().onKeyDown(ui::key::kPageDown, 0); }
  void pageUp() { main().onKeyDown(ui::key::kPageUp, 0); }
};

TEST_F(PictureLoadingTest, FolderList_OnlyLowerCaseJpgAndBmpAbove500Bytes) {
  std::string a = writePicture("f/a.jpg", 64, 64);
  writePicture("f/b.JPG", 64, 64);
  writePicture("f/d.jpeg", 64, 64);
  folder.write("f/c.bmp", std::vector<std::uint8_t>(400, 0x42));
  folder.write("f/e.png", std::vector<std::uint8_t>(2000, 0x42));
  folder.makeFolder("f/sub.jpg");
  std::string bmp = writePicture("f/g.bmp", 20, 20);  // 1254 bytes
  startOn(a);
  std::vector<std::string> list = g().folderList;
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{a, bmp}));
  EXPECT_EQ(g().folderPath, path("f/"));
}

TEST_F(PictureLoadingTest, FolderList_FollowsDirectoryOrder) {
  for (const char* name : {"f/m.jpg", "f/k.jpg", "f/z.jpg", "f/a.jpg"}) writePicture(name, 40, 30);
  startOn(path("f/z.jpg"));
  std::vector<std::string> expected;
  for (const auto& name : files::list(path("f"))) expected.push_back(path("f/") + name);
  EXPECT_EQ(g().folderList, expected);
  EXPECT_EQ(g().folderList.at(static_cast<std::size_t>(g().folderIndex - 1)), path("f/z.jpg"));
}

TEST_F(PictureLoadingTest, OpenPicture_SmallFileShownButNotListed_IndexKept) {
  std::string a = writePicture("f/a.jpg", 64, 64);
  writePicture("f/b.jpg", 64, 64);
  startOn(a);
  int index = g().folderIndex;
  std::string tiny = writePicture("g/tiny.bmp", 8, 8);
  ASSERT_LE(files::size(tiny), 500);
  backend.answerOpenDialog(tiny);
  core::openPicture(*program);
  EXPECT_EQ(g().currentPicturePath, tiny);
  EXPECT_EQ(main().width(), 20) << "8 pixels wide is below the window's minimum";
  EXPECT_TRUE(g().folderList.empty());
  EXPECT_EQ(g().folderIndex, index);
  EXPECT_EQ(backend.dialogs.back().preset, a);
}

TEST_F(PictureLoadingTest, OpenPicture_ShowsAtOwnSize_ResetsAlphaLevel_RebuildsList) {
  std::string a = writePicture("f/a.jpg", 300, 200);
  startOn(a);
  main().setWidth(100);
  g().alphaLevel = 60;
  main().setAlpha(60);
  std::string other = writePicture("h/x.jpg", 640, 480);
  backend.answerOpenDialog(other);
  core::openPicture(*program);
  EXPECT_EQ(main().width(), 640);
  EXPECT_EQ(main().height(), 480);
  EXPECT_EQ(g().alphaLevel, 255);
  EXPECT_EQ(main().alpha(), 60) << "the window's alpha itself is left alone";
  EXPECT_EQ(g().folderList, std::vector<std::string>{other});
  EXPECT_EQ(g().folderIndex, 1);
  EXPECT_EQ(main().title(), "Quillet －  原图大小：300  ×200") << "title is set at creation only";
}

TEST_F(PictureLoadingTest, OpenPicture_EmptyChoiceAsksAgain_CancelWithPictureChangesNothing) {
  std::string a = writePicture("f/a.jpg", 300, 200);
  startOn(a);
  backend.answerOpenDialog("");
  backend.cancelOpenDialog();
  core::openPicture(*program);
  EXPECT_EQ(backend.dialogs.size(), 2u);
  EXPECT_EQ(backend.dialogs[1].preset, "") << "the empty choice became the current path";
  EXPECT_TRUE(backend.quitRequested()) << "cancel with no current picture ends the program";
}

TEST_F(PictureLoadingTest, AspectRatioIsFloat32_1000x700GivesHeight699) {
  struct Case {
    int w, h, wantW, wantH;
  } cases[] = {{1000, 700, 1000, 699}, {640, 480, 640, 480}, {333, 111, 333, 111}};
  for (const auto& c : cases) {
    std::string name = "r/" + std::to_string(c.w) + "x" + std::to_string(c.h) + ".bmp";
    std::string file = writePicture(name, c.w, c.h);
    if (!program->main()) startOn(file);
    backend.answerOpenDialog(file);
    core::openPicture(*program);
    EXPECT_EQ(main().width(), c.wantW) << name;
    EXPECT_EQ(main().height(), c.wantH) << name;
    EXPECT_EQ(box().height(), c.wantH) << name;
    EXPECT_EQ(g().aspectRatio, static_cast<float>(c.h) / static_cast<float>(c.w));
  }
}

TEST_F(PictureLoadingTest, Paging_KeepsDisplayWidthAndWrapsBothWays) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  writePicture("f/2.jpg", 1000, 500);
  writePicture("f/3.jpg", 300, 600);
  startOn(first);
  ASSERT_EQ(g().folderList.size(), 3u);
  const int start = g().folderIndex;
  for (int i = 1; i <= 3; ++i) {
    pageDown();
    int expected = (start - 1 + i) % 3 + 1;
    ASSERT_EQ(g().folderIndex, expected);
    EXPECT_EQ(g().currentPicturePath, g().folderList[static_cast<std::size_t>(expected - 1)]);
    EXPECT_EQ(main().width(), 400) << "shown at the last display width";
    EXPECT_EQ(box().origin(), g().currentPicturePath);
  }
  EXPECT_EQ(g().folderIndex, start);
  pageUp();
  EXPECT_EQ(g().folderIndex, start == 1 ? 3 : start - 1);

  // Each step makes the picture after it, the same way, ready at the width shown.
  ASSERT_FALSE(backend.prepared.empty());
  const int after = g().folderIndex == 1 ? 3 : g().folderIndex - 1;
  EXPECT_EQ(backend.prepared.back().first, g().folderList[static_cast<std::size_t>(after - 1)]);
  EXPECT_EQ(backend.prepared.back().second, 400);
  const int then = after == 1 ? 3 : after - 1;
  EXPECT_EQ(backend.preparedLists.back(),
            (std::vector<std::string>{g().folderList[static_cast<std::size_t>(after - 1)],
                                      g().folderList[static_cast<std::size_t>(then - 1)]}));

  // The 1000 x 500 picture at display width 400 is 400 x 200.
  while (g().currentPicturePath != path("f/2.jpg")) pageDown();
  EXPECT_EQ(main().width(), 400);
  EXPECT_EQ(main().height(), 200);
}

TEST_F(PictureLoadingTest, Paging_WithOnePictureDoesNothing) {
  std::string only = writePicture("f/1.jpg", 400, 300);
  startOn(only);
  box().setGeometry(-10, -10, 500, 400);
  g().localZoom = 1;
  pageDown();
  pageUp();
  EXPECT_EQ(g().folderIndex, 1);
  EXPECT_EQ(box().width(), 500) << "no reset of the zoomed box";
}

TEST_F(PictureLoadingTest, Paging_FlatWindowClosesForRestart) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  writePicture("f/2.jpg", 400, 300);
  startOn(first);
  g().ratioLocked = 0;
  main().setHeight(10);
  int index = g().folderIndex;
  pageDown();
  EXPECT_EQ(program->main(), nullptr);
  EXPECT_EQ(g().restartRequested, 1);
  EXPECT_EQ(g().folderIndex, index);
  shutdown();
  EXPECT_EQ(backend.startedProcesses, std::vector<std::string>{path("quillet")});
}

TEST_F(PictureLoadingTest, Paging_AfterOpeningFromASmallerFolder_StaysInsideItsList) {
  for (const char* name : {"big/a.jpg", "big/b.jpg", "big/c.jpg", "big/d.jpg"}) {
    writePicture(name, 60, 40);
  }
  std::string last;
  for (const auto& name : files::list(path("big"))) last = path("big/") + name;
  startOn(last);
  ASSERT_EQ(g().folderIndex, 4);
  std::vector<std::string> small = {writePicture("small/a.jpg", 40, 60),
                                    writePicture("small/b.jpg", 40, 60)};
  std::string tiny = writePicture("small/tiny.bmp", 4, 4);  // too small to be listed
  backend.answerOpenDialog(tiny);
  main().onKeyDown(0x52, ui::kCtrl);
  ASSERT_EQ(g().folderList.size(), 2u);
  for (int i = 0; i < 3; ++i) {
    pageUp();
    EXPECT_NE(std::find(small.begin(), small.end(), g().currentPicturePath), small.end());
  }
  pageDown();
  EXPECT_NE(std::find(small.begin(), small.end(), g().currentPicturePath), small.end());
}

TEST_F(PictureLoadingTest, Paging_FromAStartOnAnUnreadablePicture_KeepsTheWindowsWidth) {
  folder.write("f/a.jpg", std::vector<std::uint8_t>(900, 0));
  writePicture("f/b.jpg", 400, 200);
  startOn(path("f/a.jpg"));
  ASSERT_EQ(main().width(), 345);
  while (g().currentPicturePath != path("f/b.jpg")) pageDown();
  EXPECT_EQ(box().width(), 345);
  EXPECT_EQ(main().width(), 345);
  EXPECT_EQ(main().height(), 172);
}

TEST_F(PictureLoadingTest, MenuPaging_GoesThroughKeyHandler) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  writePicture("f/2.jpg", 400, 300);
  startOn(first);
  int index = g().folderIndex;
  backend.chooseMenu({"下一幅图"});
  box().onRightDown(1, 1, 0);
  EXPECT_NE(g().folderIndex, index);
  box().setGeometry(10, 10, 400, 300);  // a gap that the key handler closes
  g().localZoom = 1;
  backend.chooseMenu({"上一幅图"});
  box().onRightDown(1, 1, 0);
  EXPECT_EQ(g().folderIndex, index);
  EXPECT_EQ(box().left(), 0);
  EXPECT_EQ(box().top(), 0);
}

TEST_F(PictureLoadingTest, ShowPictureFile_KeepsWindowOnScreen) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  std::string tall = writePicture("t/tall.jpg", 300, 1500);
  startOn(first);
  backend.screen = {1280, 1024};

  // Ratio kept: the height limit is undone by the resize rule and the
  // bottom edge ends one pixel above the screen's bottom.
  main().move(-5, 0);
  g().lastDisplayWidth = 300;
  core::showPictureFile(*program, tall);
  EXPECT_EQ(main().width(), 300);
  EXPECT_EQ(main().height(), 1500);
  EXPECT_EQ(main().left(), 25);
  EXPECT_EQ(main().top(), 1024 - 1500 - 1);

  // Free ratio: the window is squeezed to the screen.
  g().ratioLocked = 0;
  core::showPictureFile(*program, tall);
  EXPECT_EQ(main().height(), 1024 - 25);
  EXPECT_EQ(main().top(), 25);

  g().ratioLocked = 1;
  main().move(1200, 900);
  core::showPictureFile(*program, first);
  EXPECT_EQ(main().left(), 1280 - main().width() - 1);
  EXPECT_EQ(main().top(), 1024 - main().height() - 1);
}

TEST_F(PictureLoadingTest, ShowPictureFile_CapturePlacedAtOriginAtOwnWidth) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  startOn(first);
  std::string capture = writePicture("pic/4711.jpg", 120, 80);
  g().captureName = "4711";
  g().captureOrigin.x = 333;
  g().captureOrigin.y = 222;
  core::showPictureFile(*program, capture);
  EXPECT_EQ(main().left(), 333);
  EXPECT_EQ(main().top(), 222);
  EXPECT_EQ(main().width(), 120);
  EXPECT_EQ(main().height(), 80);
  EXPECT_EQ(g().currentPicturePath, first) << "a derived picture does not change the path";
}

TEST_F(PictureLoadingTest, ShowPictureFile_MissingFileOpensDialog) {
  std::string first = writePicture("f/1.jpg", 400, 300);
  startOn(first);
  core::showPictureFile(*program, path("nowhere.jpg"));
  ASSERT_EQ(backend.dialogs.size(), 1u);
  EXPECT_EQ(backend.dialogs[0].preset, first);
  EXPECT_EQ(box().picture(), nullptr);
}

// Files that exist but cannot be shown: the window stays usable, the picture
// box says why, no number becomes infinite.
TEST_F(PictureLoadingTest, BadPictures_SayWhyInTheBoxAndKeepWindowUsable) {
  std::string good = writePicture("f/good.jpg", 400, 300);
  auto jpeg = *files::read(good);
  std::vector<std::uint8_t> truncatedHeader(jpeg.begin(), jpeg.begin() + 20);
  std::vector<std::uint8_t> hugeBmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                       0,   0,   0, 0, 0, 1, 0, 0, 0, 1, 0,  1, 0, 24, 0};
  hugeBmp.resize(80, 0);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"f/text.jpg", std::vector<std::uint8_t>(700, 'x')},
      {"f/empty.jpg", {}},
      {"f/cut.jpg", truncatedHeader},
      {"f/huge.bmp", hugeBmp},
  };
  startOn(good);
  for (const auto& c : cases) {
    folder.write(c.name, c.bytes);
    main().setWidth(400);
    backend.answerOpenDialog(path(c.name));
    core::openPicture(*program);
    EXPECT_EQ(g().currentPicturePath, path(c.name));
    EXPECT_FALSE(box().problem().empty()) << c.name;
    EXPECT_EQ(box().origin(), path(c.name));
    EXPECT_TRUE(std::isfinite(g().aspectRatio) && g().aspectRatio > 0.0f) << c.name;
    EXPECT_GE(main().width(), 20) << c.name;
    EXPECT_GT(main().height(), 0) << c.name;
    EXPECT_TRUE(backend.messages.empty()) << "no modal box for " << c.name;
  }
}

TEST_F(PictureLoadingTest, BadPictureAtStart_KeepsDesignSize) {
  folder.write("f/bad.jpg", std::vector<std::uint8_t>(900, 0));
  startOn(path("f/bad.jpg"));
  EXPECT_EQ(main().width(), 345);
  EXPECT_EQ(main().height(), 503);
  EXPECT_EQ(main().title(), "Quillet －  原图大小：0  ×0");
  EXPECT_FALSE(box().problem().empty());
  main().setWidth(200);
  EXPECT_GT(main().height(), 0);
}

}  // namespace
}  // namespace quillet::testing
