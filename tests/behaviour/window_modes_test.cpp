#include <gtest/gtest.h>

#include "core/main_controls.h"
#include "ops/window_modes.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

class WindowModesTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
  }
  void choose(std::vector<std::string> captions) {
    backend.chooseMenu(std::move(captions));
    box().onRightDown(1, 1, 0);
  }
  // The icon as the next right click shows it.
  int icon(const char* caption) {
    box().onRightDown(1, 1, 0);
    return backend.lastMenu.find(caption)->icon;
  }
};

TEST_F(WindowModesTest, Transparency_OpaqueThenTranslucentAt125_WithIcons) {
  main().setAlpha(60);
  EXPECT_EQ(icon("取消透明"), 7);
  choose({"取消透明"});
  EXPECT_EQ(main().exStyle() & ui::Window::kLayeredBit, 0);
  EXPECT_EQ(g().layeredOn, 0);
  EXPECT_EQ(icon("取消透明"), 26);
  choose({"取消透明"});
  EXPECT_EQ(main().exStyle(), g().layeredExStyle);
  EXPECT_EQ(main().alpha(), 125);
  EXPECT_EQ(g().alphaLevel, 125);
  EXPECT_EQ(icon("取消透明"), 7);
}

TEST_F(WindowModesTest, ClickThrough_HostIsWayBack_TransparencyToggleKeepsIt) {
  choose({"鼠标穿透"});
  const int clickThroughStyle = ui::Window::kLayeredBit | ui::Window::kTransparentBit;
  EXPECT_EQ(main().exStyle() & clickThroughStyle, clickThroughStyle);
  EXPECT_EQ(g().clickThrough, 1);
  EXPECT_TRUE(host().visible());
  EXPECT_TRUE(host().hasFocus());
  EXPECT_TRUE(main().visible());

  choose({"取消透明"});
  EXPECT_EQ(main().exStyle() & ui::Window::kTransparentBit, 0) << "opaque is clickable";
  choose({"取消透明"});
  EXPECT_NE(main().exStyle() & ui::Window::kTransparentBit, 0) << "and click-through again";

  choose({"隐藏图片"});
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(host().visible());
  choose({"隐藏图片"});  // the menu of a hidden window is not reachable; the op itself toggles
  EXPECT_TRUE(main().visible());

  backend.chooseMenu({"Don't Penetrate"});
  host().onRightDown(1, 1, 0);
  EXPECT_EQ(main().exStyle() & ui::Window::kTransparentBit, 0);
  EXPECT_EQ(g().clickThrough, 0);
}

// The key leaves the menu's flag alone, yet the picture lets every click
// through: the red dot is the only thing left to click, so it stays.
TEST_F(WindowModesTest, ClickThroughByKey_TheDotStaysThroughItsDoubleClicks) {
  main().onKeyDown(0x43, 0);
  ASSERT_EQ(g().clickThrough, 0);
  host().onDoubleClick(7, 7, 0);
  EXPECT_TRUE(host().visible());
  EXPECT_FALSE(main().visible());
  host().onDoubleClick(7, 7, 0);
  EXPECT_TRUE(host().visible());
  EXPECT_TRUE(main().visible());

  choose({"取消透明"});
  ASSERT_EQ(main().exStyle() & ui::Window::kTransparentBit, 0);
  host().onDoubleClick(7, 7, 0);
  EXPECT_FALSE(host().visible()) << "an opaque picture takes clicks again";

  main().onKeyDown(0x43, 0);
  host().onKeyDown(0x43, 0);
  EXPECT_EQ(main().exStyle() & ui::Window::kTransparentBit, 0) << "C on the dot ends it";
  EXPECT_FALSE(host().visible());
}

TEST_F(WindowModesTest, AvoidanceAndTopmost_ToggleWithIcons) {
  EXPECT_EQ(icon("图片避让"), 11);
  choose({"图片避让"});
  EXPECT_EQ(g().avoidanceOn, 1);
  EXPECT_EQ(icon("图片避让"), 22);
  choose({"图片避让"});
  EXPECT_EQ(g().avoidanceOn, 0);
  EXPECT_EQ(icon("图片避让"), 11);

  EXPECT_EQ(icon("前置后置"), 12);
  choose({"前置后置"});
  EXPECT_FALSE(main().topmost());
  EXPECT_EQ(icon("前置后置"), 20);
  choose({"前置后置"});
  EXPECT_TRUE(main().topmost());
  EXPECT_EQ(icon("前置后置"), 12);
}

TEST_F(WindowModesTest, RebuiltWindow_MenuIconsSayWhatTheModesAre) {
  choose({"图片避让"});
  choose({"前置后置"});
  backend.chooseMenu({"Don't Penetrate"});
  host().onRightDown(1, 1, 0);
  EXPECT_EQ(g().avoidanceOn, 1) << "avoidance outlives the window";
  EXPECT_EQ(icon("图片避让"), 22);
  EXPECT_TRUE(main().topmost()) << "a new window starts on top";
  EXPECT_EQ(icon("前置后置"), 12);
}

TEST_F(WindowModesTest, HidePicture_HostBringsItBack) {
  choose({"隐藏图片"});
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(host().visible());
  host().onDoubleClick(0, 0, 0);
  EXPECT_TRUE(main().visible());
  EXPECT_FALSE(host().visible());
}

TEST_F(WindowModesTest, RestorePicture_LoadedPictureAtCurrentWidth_ProportionsFromFile) {
  auto loaded = g().loadedPicture;
  box().setPicture(std::make_shared<const std::vector<std::uint8_t>>(3, 0), "derived");
  g().aspectRatio = 2.0f;
  g().ratioLocked = 0;
  main().setWidth(200);
  main().setHeight(50);
  g().alphaLevel = 180;
  main().setAlpha(30);
  choose({"恢复原图"});
  EXPECT_EQ(box().picture(), loaded);
  EXPECT_FLOAT_EQ(g().aspectRatio, 0.75f);
  EXPECT_EQ(box().width(), 200);
  EXPECT_EQ(box().height(), 150);
  EXPECT_EQ(main().height(), 150);
  EXPECT_EQ(main().alpha(), 180);
}

TEST_F(WindowModesTest, RatioMode_FrameToStretch_ThenTakesNewProportion) {
  choose({"改变比例"});
  EXPECT_EQ(main().border(), ui::Window::Border::Sizable);
  EXPECT_EQ(g().ratioLocked, 0);
  main().systemResized(500, 200);
  EXPECT_EQ(box().width(), 500);
  EXPECT_EQ(box().height(), 200);
  choose({"改变比例"});
  EXPECT_EQ(main().border(), ui::Window::Border::None);
  EXPECT_EQ(g().ratioLocked, 1);
  EXPECT_FLOAT_EQ(g().aspectRatio, 0.4f);
  main().setWidth(250);
  EXPECT_EQ(main().height(), 100);
}

}  // namespace
}  // namespace quillet::testing
