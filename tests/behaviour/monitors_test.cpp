#include <gtest/gtest.h>

#include <vector>

#include "core/picture_files.h"
#include "core/screens.h"
#include "help/help_window.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/image/transform.h"
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
  main().move(-500, 900);
  core::showPictureFile(*program, other);
  EXPECT_EQ(windowRect(), (Rect{-500, 723, 400, 300}))
      << "pulled inside the left monitor's bottom edge (1024), not the primary's";
  main().move(-1300, 100);
  core::showPictureFile(*program, other);
  EXPECT_EQ(main().left(), -1280 + 25) << "inside the left monitor's left edge";
  // Across both: kept inside the pair, which the bottom of the taller bounds.
  main().move(-300, 900);
  core::showPictureFile(*program, other);
  EXPECT_EQ(windowRect(), (Rect{-300, 779, 400, 300}));
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

TEST_F(MonitorsTest, Capture_CoversTheDesktop_AcrossTheBoundary_AndStopsAtItsEdge) {
  using Step = MemoryBackend::ModalStep;
  backend.monitorLayout = kLeftNegative;  // the desktop: -1280,0 3200 × 1080
  const image::Bitmap desktop = image::decode(*backend.grabScreen().bmp).value;
  ASSERT_EQ(desktop.width, 3200);
  struct Case {
    int fromX, fromY, toX, toY;  // on the board
    Rect window;                 // where the picture opens, on the desktop
  } cases[] = {
      {1180, 100, 1380, 200, {-100, 100, 198, 98}},    // across the monitors' boundary
      {3000, 900, 3600, 1400, {1720, 900, 197, 177}},  // dragged past the board's corner
  };
  int name = 200;
  for (const Case& c : cases) {
    backend.nextRandom(++name);
    backend.whenModal({Step{Step::Press, c.fromX, c.fromY}, Step{Step::Move, c.toX, c.toY},
                       Step{Step::Release, c.toX, c.toY}});
    main().onKeyDown(0x44, 0);
    const std::string saved = path("pic/" + std::to_string(name) + ".jpg");
    ASSERT_TRUE(files::exists(saved)) << c.fromX;
    const image::Bitmap picture = image::decode(*files::read(saved)).value;
    EXPECT_EQ(main().left(), c.window.left);
    EXPECT_EQ(main().top(), c.window.top);
    EXPECT_EQ(main().width(), c.window.width);
    EXPECT_EQ(picture.width, c.window.width);
    const image::Bitmap want =
        image::cropBitmap(desktop, c.fromX + 1, c.fromY + 1, picture.width, picture.height);
    double apart = 0;
    for (std::size_t i = 0; i < want.rgb.size() && i < picture.rgb.size(); ++i)
      apart += std::abs(want.rgb[i] - picture.rgb[i]);
    EXPECT_LT(apart / static_cast<double>(want.rgb.size()), 6.0) << "the desktop's pixels there";
  }
}

TEST_F(MonitorsTest, HelpWindow_OpensOnTheMonitorOfThePictureWindow) {
  backend.monitorLayout = kLeftNegative;
  main().move(-900, 300);
  help::showHelpWindow(*program, "guide");
  ASSERT_NE(program->secondary(help::kHelpWindowKey), nullptr);
  EXPECT_EQ(program->secondary(help::kHelpWindowKey)->left(), -1280 + 50);
  EXPECT_EQ(program->secondary(help::kHelpWindowKey)->top(), 50);
}

}  // namespace
}  // namespace quillet::testing
