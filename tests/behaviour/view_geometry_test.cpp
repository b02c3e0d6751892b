#include <gtest/gtest.h>

#include "core/main_controls.h"
#include "core/names.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"
#include "viewer/mouse.h"

namespace quillet::testing {
namespace {

class ViewGeometryTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
    main().move(200, 200);
  }
  void wheel(int d, int m = 0) { main().onWheel(d, m); }
  void moveMouse(int x, int y, int m = 0) { box().onMouseMove(x, y, m); }
};

TEST_F(ViewGeometryTest, Wheel_PlainCtrlAndFloor) {
  wheel(-120);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 480, 360})) << "toward the user: 80 wider";
  wheel(120);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300}));
  wheel(-120, ui::kCtrl);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 401, 300}));
  wheel(120, ui::kCtrl | ui::kShift);  // not Ctrl: a plain step
  EXPECT_EQ(main().width(), 321);
  for (int i = 0; i < 10; ++i) wheel(120);
  EXPECT_EQ(main().width(), 20);
}

TEST_F(ViewGeometryTest, AltWheel_ZoomsInsideWindow) {
  for (int i = 0; i < 3; ++i) wheel(-120, ui::kAlt);
  EXPECT_EQ(boxRect(), (Rect{-75, -75, 550, 412}));
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300}));
  EXPECT_EQ(g().localZoom, 0);
  for (int i = 0; i < 5; ++i) wheel(120, ui::kAlt);
  EXPECT_EQ(boxRect(), (Rect{0, 0, 400, 300})) << "zooming out stops at the window";
}

TEST_F(ViewGeometryTest, DoubleClick_ZoomsTwofoldAroundPointer_Clamped) {
  box().onDoubleClick(200, 150, 0);
  EXPECT_EQ(boxRect(), (Rect{-200, -150, 800, 600}));
  EXPECT_EQ(g().localZoom, 1);

  wheel(-120);  // a plain wheel turn bakes the view first
  EXPECT_EQ(g().localZoom, 0);
  EXPECT_EQ(backend.snapshots, 1);
  EXPECT_EQ(g().loadedPicture.get() != box().picture().get(), true);
  EXPECT_EQ(boxRect(), (Rect{0, 0, 480, 360}));

  box().onDoubleClick(2, 3, 0);
  EXPECT_EQ(box().left(), 0);
  EXPECT_EQ(box().top(), 0);
  box().setGeometry(0, 0, 480, 360);
  g().localZoom = 0;
  box().onDoubleClick(479, 359, 0);
  EXPECT_EQ(boxRect(), (Rect{-480, -360, 960, 720}));
}

TEST_F(ViewGeometryTest, AltClick_ZoomsByClickPosition) {
  box().onLeftUp(100, 60, ui::kAlt);
  EXPECT_EQ(boxRect(), (Rect{-50, -30, 500, 375}));
  box().setGeometry(0, 0, 400, 300);
  box().onLeftUp(100, 60, 0);
  EXPECT_EQ(boxRect(), (Rect{0, 0, 400, 300}));
}

TEST_F(ViewGeometryTest, ShiftMove_SetsTransparencyFromPointer) {
  struct Case {
    int x, alpha;
  } cases[] = {{0, 20}, {200, 147}, {300, 211}, {369, 255}, {400, 255}, {900, 255}};
  for (const auto& c : cases) {
    moveMouse(c.x, 10, ui::kShift);
    EXPECT_EQ(g().alphaLevel, c.alpha) << c.x;
    EXPECT_EQ(main().alpha(), c.alpha) << c.x;
  }
  EXPECT_EQ(main().exStyle(), g().layeredExStyle);
}

TEST_F(ViewGeometryTest, CtrlAndAltMove_ResizeAndStretch) {
  moveMouse(200, 100, ui::kCtrl);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 300, 225}));
  moveMouse(200, 100, ui::kAlt);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 300, 225})) << "ratio kept while locked";
  g().ratioLocked = 0;
  moveMouse(200, 100, ui::kAlt);
  EXPECT_EQ(windowRect(), (Rect{200, 200, 300, 150}));
}

TEST_F(ViewGeometryTest, CtrlMove_InNoteMode_EdgesFollowPointer) {
  core::noteBox(*program).setVisible(true);
  moveMouse(250, 100, ui::kCtrl);  // above the bottom strip: the right edge follows
  EXPECT_EQ(main().width(), 260);
  EXPECT_EQ(main().height(), 300);
  moveMouse(150, 295, ui::kCtrl);  // inside the bottom strip: only the bottom edge
  EXPECT_EQ(main().width(), 260);
  EXPECT_EQ(main().height(), 305);
  EXPECT_EQ(core::noteBox(*program).height(), 294);
  moveMouse(255, 300, ui::kCtrl);  // the bottom-right corner: both
  EXPECT_EQ(main().width(), 265);
  EXPECT_EQ(main().height(), 310);
}

TEST_F(ViewGeometryTest, Avoidance_FleesAndStopsAtEdges_HostFollows) {
  g().avoidanceOn = 1;
  moveMouse(300, 200);  // right and lower half
  EXPECT_EQ(windowRect(), (Rect{190, 190, 400, 300}));
  EXPECT_EQ(host().left(), 175);
  EXPECT_EQ(host().top(), 175);
  moveMouse(200, 150);  // exactly the middle: right and down
  EXPECT_EQ(windowRect(), (Rect{200, 200, 400, 300}));
  main().move(875, 720);
  moveMouse(10, 10);
  EXPECT_EQ(windowRect(), (Rect{880, 724, 400, 300})) << "flush with the screen edges";
  moveMouse(10, 10, ui::kShift);
  EXPECT_EQ(main().left(), 880) << "a modifier stops the flight";
  main().move(3, 3);
  moveMouse(399, 299);
  EXPECT_EQ(main().left(), 0);
  EXPECT_EQ(main().top(), 0);
}

TEST_F(ViewGeometryTest, AltDoubleClick_HidesPicture_UnlessZoomed) {
  box().setGeometry(-10, -10, 410, 310);
  box().onDoubleClick(5, 5, ui::kAlt);
  EXPECT_TRUE(main().visible()) << "zoomed in: nothing";
  box().setGeometry(0, 0, 400, 300);
  box().onDoubleClick(5, 5, ui::kAlt);
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(host().visible());

  host().onDoubleClick(0, 0, 0);
  g().clickThrough = 1;
  box().onDoubleClick(5, 5, ui::kAlt);
  EXPECT_FALSE(main().visible());
  box().onDoubleClick(5, 5, ui::kAlt);
  EXPECT_TRUE(main().visible());
}

TEST_F(ViewGeometryTest, DoubleClick_InNoteMode_LeavesItSavingChangedNote) {
  core::noteBox(*program).setVisible(true);
  main().setBorder(ui::Window::Border::Sizable);
  core::noteBox(*program).setText("记一笔");
  g().textNoteMode = 1;
  main().setHeight(150);
  box().onDoubleClick(5, 5, 0);
  EXPECT_FALSE(core::noteBox(*program).visible());
  EXPECT_EQ(main().border(), ui::Window::Border::None);
  EXPECT_EQ(g().textNoteMode, 0);
  EXPECT_EQ(main().width(), 200) << "150 / 0.75";
  EXPECT_EQ(g().localZoom, 0);
}

TEST_F(ViewGeometryTest, AltRelease_RefitsWhenWindowProportionDiffers) {
  g().ratioLocked = 0;
  main().setHeight(900);  // 400 x 900: H / W is 2, ratio 0.75 truncates to 0
  main().get<ui::Label>(core::kInfoLabel);
  main().onKeyUp(ui::key::kMenu, 0);
  EXPECT_EQ(main().width(), 401);
  EXPECT_EQ(box().background(), 0u);
}

}  // namespace
}  // namespace quillet::testing
