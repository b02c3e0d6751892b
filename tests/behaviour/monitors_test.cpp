#include <gtest/gtest.h>

#include <vector>

#include "core/picture_files.h"
#include "core/screens.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

using Layout = std::vector<ui::Monitor>;

// The primary monitor on the right, a smaller one left of it at the origin.
const Layout kSideBySide{{1280, 0, 1920, 1200, 1.0, true}, {0, 0, 1280, 1024, 1.0, false}};
// The primary monitor at the origin, the other one left of it.
const Layout kLeftNegative{{0, 0, 1920, 1080, 1.0, true}, {-1280, 0, 1280, 1024, 1.0, false}};
// One above the other, the upper one at negative coordinates.
const Layout kStacked{{0, 0, 1920, 1080, 1.0, true}, {0, -1024, 1280, 1024, 2.0, false}};

Rect rectOf(const ui::Monitor& m) { return {m.left, m.top, m.width, m.height}; }

TEST(MonitorHolding, LargerPartNearestAndNone) {
  struct Case {
    const Layout* layout;
    Rect window;
    Rect want;
  } cases[] = {
      {&kSideBySide, {100, 100, 400, 300}, {0, 0, 1280, 1024}},
      {&kSideBySide, {1100, 100, 400, 300}, {1280, 0, 1920, 1200}},  // 180 left, 220 right
      {&kSideBySide, {1080, 100, 400, 300}, {1280, 0, 1920, 1200}},  // a tie: the primary
      {&kSideBySide, {100, 1100, 400, 300}, {0, 0, 1280, 1024}},     // below the left one only
      {&kSideBySide, {-900, 50, 400, 300}, {0, 0, 1280, 1024}},      // on none: the nearest
      {&kSideBySide, {5000, 50, 400, 300}, {1280, 0, 1920, 1200}},
      {&kLeftNegative, {-300, 900, 400, 300}, {-1280, 0, 1280, 1024}},
      {&kStacked, {100, -500, 400, 300}, {0, -1024, 1280, 1024}},
      {&kStacked, {100, -100, 400, 300}, {0, 0, 1920, 1080}},
      {&kStacked,
       {-2'000'000'000, 2'000'000'000, 2'000'000'000, 2'000'000'000},
       {0, 0, 1920, 1080}},
  };
  for (const Case& c : cases) {
    const Rect& w = c.window;
    EXPECT_EQ(rectOf(core::monitorHolding(*c.layout, w.left, w.top, w.width, w.height)), c.want)
        << w;
  }
  EXPECT_EQ(rectOf(core::monitorHolding({}, 0, 0, 10, 10)), (Rect{0, 0, 0, 0}));
  EXPECT_EQ(rectOf(core::desktopBounds(kSideBySide)), (Rect{0, 0, 3200, 1200}));
  EXPECT_EQ(rectOf(core::desktopBounds(kStacked)), (Rect{0, -1024, 1920, 2104}));
}

class MonitorsTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
  }
  void press(int key) { main().onKeyDown(key, 0); }
};

constexpr int kEquals = 0xBB, kPadTimes = 0x6A;

TEST_F(MonitorsTest, FitAndWiden_UseTheMonitorOfTheWindow) {
  struct Case {
    const Layout* layout;
    int left, top;
    Rect fitted;
  } cases[] = {
      // 400 × 300 fitted: width − 40, then the height limit gives the width back.
      {&kSideBySide, 100, 100, {20, 20, 1182, 886}},
      {&kSideBySide, 1500, 100, {1300, 20, 1416, 1062}},
      {&kLeftNegative, -1000, 100, {-1260, 20, 1182, 886}},
      {&kStacked, 100, -800, {20, -1004, 1182, 886}},
  };
  for (const Case& c : cases) {
    backend.monitorLayout = *c.layout;
    main().setWidth(400);
    main().move(c.left, c.top);
    press(kPadTimes);
    EXPECT_EQ(windowRect(), c.fitted) << "from " << c.left << "," << c.top;
  }

  backend.monitorLayout = kSideBySide;
  main().move(10, 10);
  main().setWidth(1278);
  press(kEquals);
  EXPECT_EQ(main().width(), 1280) << "clamped to the left monitor, not the primary";
}

TEST_F(MonitorsTest, LoadingAPicture_KeepsTheWindowOnItsMonitor) {
  backend.monitorLayout = kLeftNegative;
  const std::string other = writePicture("pic/2.jpg", 400, 300);
  main().move(-300, 900);
  core::showPictureFile(*program, other);
  EXPECT_EQ(windowRect(), (Rect{-401, 723, 400, 300}))
      << "pulled inside the left monitor's right and bottom edges";
}

TEST_F(MonitorsTest, AvoidanceStopsAtTheEdgesOfItsMonitor) {
  backend.monitorLayout = kLeftNegative;
  g().avoidanceOn = 1;
  main().move(-1277, 3);
  box().onMouseMove(399, 299, 0);  // right and lower half: flee left and up
  EXPECT_EQ(windowRect(), (Rect{-1280, 0, 400, 300}));
  main().move(-403, 100);
  box().onMouseMove(10, 10, 0);  // flee right: stops at the left monitor's edge
  EXPECT_EQ(main().left(), -400);
}

TEST_F(MonitorsTest, MovedWindow_KeepsTenPixelsOnItsMonitor) {
  backend.monitorLayout = kLeftNegative;
  main().move(-2000, 100);
  EXPECT_EQ(main().left(), -1280 + 10 - 400);
  main().move(100, 1200);
  EXPECT_EQ(main().top(), 1080 - 10);
}

}  // namespace
}  // namespace quillet::testing
