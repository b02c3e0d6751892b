#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "doodle/doodle_session.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

using ui::key::letter;

class DoodleWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    cache = folder.path("cache");
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    writePicture("pic/1.jpg", 400, 300);
    writePicture("pic/2.jpg", 600, 300);
    start();
  }
  void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

 public:
  void openByKey() {
    main().onKeyDown(letter('P'), 0);
    ASSERT_NE(doodle(), nullptr);
  }
  ui::Window* doodle() { return program->secondary(doodle::kDoodleWindowKey); }
  ui::Window* colour() { return program->secondary(doodle::kColourWindowKey); }
  ui::CanvasBox& canvas() { return doodle()->get<ui::CanvasBox>(doodle::kCanvasName); }
  std::string status() { return colour()->get<ui::Label>("临时标签").text(); }
  void drag(int x0, int y0, int x1, int y1, int modifiers = 0) {
    canvas().onLeftDown(x0, y0, modifiers);
    canvas().onMouseMove(x0 + 1, y0 + 1, modifiers);
    canvas().onMouseMove(x1, y1, modifiers);
    canvas().onLeftUp(x1, y1, modifiers);
  }
  void chooseFromPenMenu(std::vector<std::string> captions) {
    backend.chooseMenu(std::move(captions));
    canvas().onRightDown(5, 5, 0);
  }

  std::string cache;
};

TEST_F(DoodleWindowTest, KeyP_OpensOverThePicture_WithTheColourWindowBesideIt) {
  main().move(500, 80);
  g().alphaLevel = 77;
  openByKey();
  EXPECT_EQ(rectOf(*doodle()), windowRect());
  EXPECT_EQ(rectOf(canvas()), (Rect{0, 0, 1280, 1024}));
  EXPECT_EQ(canvas().canvas().width(), 1280);
  EXPECT_TRUE(doodle()->visible());
  EXPECT_EQ(doodle()->exStyle() & ui::Window::kLayeredBit, ui::Window::kLayeredBit);
  EXPECT_EQ(g().layeredExStyle, g().doodlePlainExStyle | ui::Window::kLayeredBit);
  EXPECT_EQ(doodle()->alpha(), 77);
  ASSERT_NE(colour(), nullptr);
  EXPECT_EQ(colour()->owner(), doodle());
  EXPECT_EQ(rectOf(*colour()), (Rect{428, 80, 72, 350}));
  EXPECT_EQ(g().colourWindowOpened, 1);
  EXPECT_TRUE(backend.modalRuns.empty());
  // Its background is the picture window as it looked.
  EXPECT_EQ(backend.snapshots, 1);
  EXPECT_EQ(canvas().canvas().pixel(10, 10), 0x808080u);
}

TEST_F(DoodleWindowTest, ColourWindow_GoesRightOfAPictureTooNearTheLeftEdge) {
  main().move(40, -20);
  main().setWidth(600);
  g().alphaLevel = 0;
  openByKey();
  EXPECT_EQ(colour()->left(), 640);
  EXPECT_EQ(colour()->top(), 0);
  EXPECT_EQ(doodle()->alpha(), 255);
}

TEST_F(DoodleWindowTest, FirstStroke_IsBlackAndFivePixelsWide_AndIsMeasured) {
  openByKey();
  drag(100, 100, 200, 100);
  const image::Canvas& c = canvas().canvas();
  EXPECT_EQ(c.pixel(150, 100), 0x000000u);
  EXPECT_EQ(c.pixel(150, 102), 0x000000u);
  EXPECT_NE(c.pixel(150, 104), 0x000000u);
  EXPECT_EQ(status(), "距：100\r\n比：1");
  EXPECT_EQ(colour()->colour(), 0x0000FF);
  EXPECT_TRUE(colour()->enabled());
  drag(100, 200, 150, 200);
  EXPECT_EQ(status(), "距：50\r\n比：0.5");
}

TEST_F(DoodleWindowTest, WhileTheButtonIsHeld_TheColourWindowIsBlueAndDisabled) {
  openByKey();
  canvas().onLeftDown(10, 10, 0);
  EXPECT_EQ(colour()->colour(), 0xFF0000);
  EXPECT_FALSE(colour()->enabled());
  canvas().onMouseMove(40, 30, 0);
  EXPECT_EQ(status(), "40,30");
}

TEST_F(DoodleWindowTest, EveryWayOfClosing_TakesBothWindowsAndShowsThePicture) {
  struct Way {
    const char* name;
    std::function<void(DoodleWindowTest&)> close;
  };
  const std::vector<Way> ways{
      {"key P", [](DoodleWindowTest& t) { t.doodle()->onKeyDown(letter('P'), 0); }},
      {"canvas key P", [](DoodleWindowTest& t) { t.canvas().onKeyDown(letter('P'), 0); }},
      {"Esc in the colour window",
       [](DoodleWindowTest& t) { t.colour()->onKeyDown(ui::key::kEscape, 0); }},
      {"关闭 button", [](DoodleWindowTest& t) { t.colour()->get<ui::Button>("退出按钮").click(); }},
      {"Alt double click", [](DoodleWindowTest& t) { t.canvas().onDoubleClick(5, 5, ui::kAlt); }},
      {"menu 关闭", [](DoodleWindowTest& t) { t.chooseFromPenMenu({"关闭"}); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    openByKey();
    main().setVisible(false);
    way.close(*this);
    EXPECT_EQ(doodle(), nullptr);
    EXPECT_EQ(colour(), nullptr);
    EXPECT_TRUE(main().visible());
    backend.nextTurn();
  }
  // A plain double click closes nothing.
  openByKey();
  canvas().onDoubleClick(5, 5, 0);
  EXPECT_NE(doodle(), nullptr);
}

TEST_F(DoodleWindowTest, FromTheMenu_RunsModallyUntilClosed) {
  backend.whenModal({MemoryBackend::press(50, 50), MemoryBackend::move(60, 60),
                     MemoryBackend::move(120, 60), MemoryBackend::release(120, 60),
                     MemoryBackend::look([this](ui::Window&) {
                       EXPECT_EQ(canvas().canvas().pixel(90, 60), 0x000000u);
                     }),
                     MemoryBackend::key(letter('P'))});
  backend.chooseMenu({"涂鸦工具"});
  box().onRightDown(1, 1, 0);
  ASSERT_EQ(backend.modalRuns, std::vector<std::string>{"涂鸦窗口"});
  EXPECT_NE(backend.endedModal, nullptr);
  EXPECT_EQ(doodle(), nullptr);
}

TEST_F(DoodleWindowTest, PenMenu_HoldsEveryItemInOrder) {
  openByKey();
  canvas().onRightDown(5, 5, 0);
  ASSERT_EQ(backend.menusShown.back(), "钢笔操作");
  const ui::Menu& menu = backend.lastMenu;
  std::vector<std::string> captions;
  for (const auto& item : menu.items) captions.push_back(item.separator ? "—" : item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{
                          "保存", "—",    "上翻", "下翻", "—",    "左移", "右移", "—",    "清除",
                          "白板", "黑板", "填充", "快照", "屏幕", "—",    "直线", "实框", "透视",
                          "曲线", "压感", "—",    "笔刷", "颜色", "—",    "关闭"}));
  auto children = [&](const char* caption) {
    std::vector<std::string> out;
    for (const auto& item : menu.find(caption)->children) {
      out.push_back(item.separator ? "—" : item.caption);
    }
    return out;
  };
  EXPECT_EQ(children("笔刷"),
            (std::vector<std::string>{"极细", "—", "一号", "二号", "三号", "四号", "五号"}));
  EXPECT_EQ(children("颜色"),
            (std::vector<std::string>{"黑", "白", "—", "红", "绿", "蓝", "—", "半透明"}));
}

TEST_F(DoodleWindowTest, SemiTransparentAndKeyR_FollowTheLevelOfThePictureWindow) {
  g().alphaLevel = 200;
  openByKey();
  chooseFromPenMenu({"颜色", "半透明"});
  EXPECT_EQ(g().alphaLevel, 255);
  EXPECT_EQ(doodle()->exStyle() & ui::Window::kLayeredBit, 0);
  doodle()->onKeyDown(letter('R'), 0);
  EXPECT_EQ(doodle()->alpha(), 25);
  EXPECT_EQ(g().alphaLevel, 255);
  chooseFromPenMenu({"颜色", "半透明"});
  EXPECT_EQ(g().alphaLevel, 100);
  EXPECT_EQ(doodle()->alpha(), 100);
  EXPECT_NE(doodle()->exStyle() & ui::Window::kLayeredBit, 0);
  // A frame drawn makes it layered at 200 again.
  chooseFromPenMenu({"实框"});
  drag(10, 10, 60, 60);
  EXPECT_EQ(doodle()->alpha(), 200);
  EXPECT_EQ(g().alphaLevel, 200);
  EXPECT_EQ(canvas().canvas().pixel(35, 35), 0x800000u);
}

TEST_F(DoodleWindowTest, ScreenBoard_WaitsWithoutBlocking_ThenLaysTheScreenUnderTheStrokes) {
  openByKey();
  drag(300, 300, 400, 300);
  chooseFromPenMenu({"屏幕"});
  EXPECT_FALSE(main().visible());
  EXPECT_FALSE(colour()->visible());
  EXPECT_FALSE(doodle()->visible());
  EXPECT_EQ(rectOf(*doodle()), (Rect{0, 0, 1280, 1024}));
  EXPECT_EQ(backend.screenShots, 0);
  backend.advance(199);
  EXPECT_EQ(backend.screenShots, 0);
  backend.advance(1);
  EXPECT_EQ(backend.screenShots, 1);
  EXPECT_TRUE(doodle()->visible());
  // The test pattern of the screen: red is x, green is y.
  EXPECT_EQ(canvas().canvas().pixel(20, 7), 0x000714u);
  EXPECT_EQ(canvas().canvas().pixel(350, 300), 0x000000u);
  backend.advance(1000);
  EXPECT_EQ(backend.screenShots, 1);

  chooseFromPenMenu({"屏幕"});
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(colour()->visible());
  EXPECT_EQ(rectOf(*colour()).left, 0);
  EXPECT_EQ(rectOf(*doodle()), (Rect{0, 0, 1280, 1024}));
  EXPECT_EQ(g().screenBoardOn, 0);
}

TEST_F(DoodleWindowTest, Wheel_ColourAndWidthWithShiftAndCtrl_SizeOtherwise_NeverBoth) {
  openByKey();
  const Rect before = rectOf(*doodle());
  canvas().onWheel(120, ui::kShift);
  EXPECT_EQ(rectOf(*doodle()), before);
  EXPECT_EQ(g().penRed, 10);
  EXPECT_EQ(colour()->get<ui::EditBox>("红编辑框").text(), "10");
  canvas().onWheel(-120, ui::kCtrl);
  EXPECT_EQ(rectOf(*doodle()), before);
  EXPECT_EQ(colour()->get<ui::Slider>("滑块条1").position(), 6);
  canvas().onWheel(120, 0);
  EXPECT_EQ(doodle()->width(), before.width - 10);
  doodle()->onWheel(-120, ui::kAlt);
  EXPECT_EQ(doodle()->height(), before.height + 10);
}

TEST_F(DoodleWindowTest, Keys_ReachTheBoardAndThePen) {
  openByKey();
  drag(100, 100, 200, 100);
  doodle()->onKeyDown(ui::key::kSpace, 0);
  EXPECT_EQ(canvas().canvas().pixel(150, 100), 0x808080u);
  canvas().onKeyDown(letter('B'), 0);
  EXPECT_EQ(canvas().canvas().pixel(150, 100), 0xFFFFFFu);
  doodle()->onKeyDown(ui::key::k0 + 3, 0);
  EXPECT_EQ(canvas().canvas().penWidth(), 12);
  EXPECT_EQ(colour()->get<ui::Label>("标签2").text(), "12");
  doodle()->onKeyDown(ui::key::kOemComma, 0);
  EXPECT_EQ(canvas().canvas().penWidth(), 10);
  doodle()->onKeyDown(letter('S'), 0);
  EXPECT_EQ(g().perspectiveMode, 1);
  EXPECT_EQ(g().freehandMode, 0);
}

TEST_F(DoodleWindowTest, ColourWindowControls_DriveThePen) {
  openByKey();
  ui::Window& c = *colour();
  EXPECT_EQ(rectOf(c.get<ui::Slider>("颜色滑块条")), (Rect{28, 35, 15, 50}));
  EXPECT_EQ(c.get<ui::Label>("临时标签").font(), "宋体");
  c.get<ui::Slider>("颜色滑块条").userPressed();
  c.get<ui::Slider>("颜色滑块条").userMoved(200);
  EXPECT_EQ(c.get<ui::EditBox>("红编辑框").text(), "200");
  EXPECT_EQ(canvas().canvas().penColour(), 0x0000C8u);
  c.get<ui::EditBox>("绿编辑框").onFocusIn();
  c.get<ui::EditBox>("绿编辑框").userEdited("300");
  EXPECT_EQ(c.get<ui::EditBox>("绿编辑框").text(), "300");
  EXPECT_EQ(canvas().canvas().fillColour(), 0x00FFC8u);
  c.get<ui::Slider>("滑块条1").userMoved(12);
  const auto& preview = c.get<ui::Label>("标签2");
  EXPECT_EQ(preview.width(), 12);
  EXPECT_EQ(preview.height(), 12);
  EXPECT_EQ(preview.text(), "12");
  EXPECT_EQ(canvas().canvas().penWidth(), 12);
  auto& picker = c.get<ui::ColourPicker>("颜色选择");
  picker.onFocusIn();
  picker.userChose(0x000A1400);
  EXPECT_EQ(c.get<ui::EditBox>("红编辑框").text(), "0");
  EXPECT_EQ(c.get<ui::EditBox>("绿编辑框").text(), "20");
  EXPECT_EQ(c.get<ui::EditBox>("蓝编辑框").text(), "10");
  EXPECT_EQ(canvas().canvas().penColour(), 0x0A1400u);
}

TEST_F(DoodleWindowTest, ColourWindow_SnapsBackAndKeepsItsWidth) {
  main().move(500, 100);
  openByKey();
  colour()->move(418, 300);
  EXPECT_EQ(rectOf(*colour()), (Rect{428, 100, 72, 350}));
  colour()->move(300, 300);
  EXPECT_EQ(colour()->left(), 300);
  colour()->setWidth(90);
  colour()->onMouseMove(3, 3, 0);
  EXPECT_EQ(colour()->width(), 72);
}

TEST_F(DoodleWindowTest, MovingThePictureWindow_TakesBothWindowsAlong) {
  main().move(500, 100);
  openByKey();
  main().move(600, 150);
  EXPECT_EQ(colour()->left(), 600 - 72);
  EXPECT_EQ(colour()->top(), 150);
  EXPECT_EQ(doodle()->left(), 600 + main().width());
  EXPECT_EQ(doodle()->top(), 150);
  main().move(30, 150);
  EXPECT_EQ(colour()->left(), 30 + main().width());
  EXPECT_EQ(doodle()->left(), 30 + main().width() + 72);
  main().setWidth(300);
  EXPECT_EQ(doodle()->width(), main().width());
  EXPECT_EQ(doodle()->height(), main().height());
}

TEST_F(DoodleWindowTest, PageDown_TurnsThePictureAndTakesANewSnapshot) {
  openByKey();
  const std::string before = g().currentPicturePath;
  doodle()->onKeyDown(ui::key::kPageDown, 0);
  EXPECT_NE(g().currentPicturePath, before);
  EXPECT_EQ(backend.snapshots, 2);
  EXPECT_EQ(rectOf(*doodle()).width, main().width());
  doodle()->onKeyDown(ui::key::kPageUp, 0);
  EXPECT_EQ(g().currentPicturePath, before);
}

TEST_F(DoodleWindowTest, Save_WritesTheWindowAsJpeg_ThroughAPrivateCache) {
  openByKey();
  drag(20, 50, 300, 50);
  const std::string target = path("out/doodle.jpg");
  folder.makeFolder("out");
  backend.answerOpenDialog(target);
  chooseFromPenMenu({"保存"});
  ASSERT_FALSE(backend.dialogs.empty());
  EXPECT_EQ(backend.dialogs.back().title, "保存图形文件");
  EXPECT_EQ(backend.dialogs.back().filter, "JPG图形文件|*.jpg");
  EXPECT_TRUE(backend.dialogs.back().save);
  const auto jpeg = files::read(target);
  ASSERT_TRUE(jpeg);
  const auto picture = image::decode(*jpeg);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.value.width, doodle()->width());
  EXPECT_EQ(picture.value.height, doodle()->height());
  EXPECT_LT(picture.value.row(50)[3 * 150], 60);
  struct stat info {};
  ASSERT_EQ(::stat((cache + "/quillet").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(files::exists(cache + "/quillet/ImageA.tmp"));
  EXPECT_EQ(status(), "距：280\r\n比：1");

  // A folder that is not there: the user is told, nothing is written.
  backend.answerOpenDialog(path("missing/doodle.jpg"));
  chooseFromPenMenu({"保存"});
  EXPECT_FALSE(files::exists(path("missing/doodle.jpg")));
  EXPECT_NE(status().find("无法保存"), std::string::npos);
}

TEST_F(DoodleWindowTest, OnADenseScreen_TheCanvasAndTheSavedPictureHoldDevicePixels) {
  backend.monitorLayout = {{0, 0, 1280, 1024, 2.0, true}};
  openByKey();
  const image::Canvas& c = canvas().canvas();
  EXPECT_EQ(rectOf(canvas()), (Rect{0, 0, 1280, 1024}));
  EXPECT_EQ(c.width(), 2560);
  EXPECT_EQ(c.height(), 2048);
  drag(100, 100, 200, 100);
  // Five window pixels wide are ten device pixels: rows 195..204 of the raster.
  EXPECT_EQ(c.pixel(150, 100), 0x000000u);
  int inked = 0;
  for (int y = 180; y < 220; ++y) inked += c.toBitmap({300, y, 1, 1}).rgb[0] < 50 ? 1 : 0;
  EXPECT_EQ(inked, 10);
  const std::string target = path("dense.jpg");
  backend.answerOpenDialog(target);
  chooseFromPenMenu({"保存"});
  const auto jpeg = files::read(target);
  ASSERT_TRUE(jpeg);
  const auto size = image::readSize(*jpeg);
  ASSERT_TRUE(size);
  EXPECT_EQ(size.value.width, 2 * doodle()->width());
  EXPECT_EQ(size.value.height, 2 * doodle()->height());
}

}  // namespace
}  // namespace quillet::testing
