#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "doodle/doodle_state.h"
#include "doodle/stroke_engine.h"
#include "platform/image/canvas.h"
#include "platform/ui/input.h"

namespace quillet::doodle {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kFrameFill = 0x800000;
constexpr int kMainWidth = 700;

int countInColumn(const image::Canvas& c, int x, std::uint32_t colour) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y) n += c.pixel(x, y) == colour;
  return n;
}

// The doodle as the program holds it: the state kept for the whole run, and
// a canvas, colour window and look made afresh at every opening.
class DoodleTest : public ::testing::Test {
 protected:
  DoodleTest() { open(); }

  void open() {
    beginOpening(state);
    canvas = image::Canvas(400, 300);
    panel = ColourPanel{};
    look = DoodleLook{true, 255};
    engine.emplace(state, canvas, panel, look, alphaLevel);
    engine->colours().onColourCreated();
  }
  // Pressed at the first point, moved through the others, released at the last.
  void stroke(const std::vector<Point>& path) {
    engine->onCanvasLeftDown(path.front().x, path.front().y, 0);
    for (std::size_t i = 1; i < path.size(); ++i) move(path[i].x, path[i].y);
    engine->onCanvasLeftUp(path.back().x, path.back().y, 0);
  }
  void move(int x, int y, int modifiers = 0) {
    engine->onCanvasMouseMove(x, y, modifiers, kMainWidth);
  }
  std::vector<int> pen() const { return {state.penRed, state.penGreen, state.penBlue}; }
  std::vector<std::string> boxes() const { return {panel.boxes.begin(), panel.boxes.end()}; }

  DoodleState state;
  int alphaLevel = 77;
  image::Canvas canvas;
  ColourPanel panel;
  DoodleLook look;
  std::optional<StrokeEngine> engine;
};

TEST_F(DoodleTest, FreehandAfterOpening_IsBlackAndFiveWide_StartingAtFirstMove) {
  engine->onCanvasLeftDown(100, 100, 0);
  EXPECT_EQ(panel.background, 0xFF0000u) << "blue while the button is held";
  EXPECT_FALSE(panel.enabled);
  move(103, 101);
  move(200, 101);
  EXPECT_EQ(panel.status, "200,101");
  engine->onCanvasLeftUp(200, 101, 0);
  EXPECT_EQ(panel.background, 0x0000FFu) << "red once it is released";
  EXPECT_TRUE(panel.enabled);

  EXPECT_EQ(countInColumn(canvas, 150, kBlack), 5);
  EXPECT_EQ(canvas.pixel(150, 101), kBlack);
  EXPECT_EQ(canvas.pixel(100, 100), kWhite) << "the press point is not joined";
  EXPECT_FALSE(engine->takeDamage().empty());
  EXPECT_TRUE(engine->takeDamage().empty()) << "damage is handed over once";

  // A segment ending on x = 0 leaves that coordinate unset for the next one.
  stroke({{5, 250}, {40, 250}, {0, 250}, {60, 280}});
  EXPECT_EQ(canvas.pixel(60, 265), kBlack) << "drawn from (60, 250) straight down";
  EXPECT_EQ(canvas.pixel(30, 265), kWhite) << "not from (0, 250)";
}

TEST_F(DoodleTest, PressureWidth_FallsWithSpeed_FoldsBack_NeverBelowFive) {
  struct Case {
    int spacing, widest, width;
  } cases[] = {{2, 40, 38}, {10, 40, 30}, {40, 40, 5}, {60, 40, 20}, {100, 40, 40}, {10, 0, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "spacing " << c.spacing << ", widest " << c.widest);
    state = DoodleState{};
    open();
    if (c.widest != 0) move(c.widest, 0, ui::kCtrl);
    ASSERT_EQ(state.pressureMaxWidth, c.widest);
    engine->togglePressureMode();
    const int y = 150;
    engine->onCanvasLeftDown(10, y, 0);
    int x = 10;
    while (x + c.spacing < 260) {
      x += c.spacing;
      move(x, y);
      if (x >= 10 + 2 * c.spacing) {
        EXPECT_EQ(canvas.penWidth(), c.width) << "at x " << x;
      }
    }
    // The last segment drawn ends at the previous move, well past the wide start.
    EXPECT_EQ(countInColumn(canvas, x - c.spacing - c.spacing / 2, kBlack), c.width);
    EXPECT_EQ(canvas.pixel(10, y), kBlack) << "a pressure stroke joins its press point";
    engine->onCanvasLeftUp(x, y, 0);
  }
}

TEST_F(DoodleTest, MeasureStroke_ComparesEachStrokeWithThePrevious) {
  struct Step {
    std::vector<Point> path;
    const char* status;
  } steps[] = {
      {{{10, 10}, {13, 14}}, "距：5\r\n比：1"},   {{{10, 10}, {13, 10}}, "距：3\r\n比：0.6"},
      {{{10, 10}, {17, 10}}, "距：7\r\n比：2.3"}, {{{10, 10}, {24, 10}}, "距：14\r\n比：2"},
      {{{10, 10}, {17, 10}}, "距：7\r\n比：0.5"}, {{{50, 50}, {51, 51}}, "距：1\r\n比：0.1"},
      {{{50, 50}, {50, 50}}, "距：0\r\n比：0"},   {{{10, 10}, {30, 10}}, "距：20\r\n比：1"},
      {{{10, 10}, {19, 10}}, "距：9\r\n比：0.5"}, {{{10, 10}, {14, 10}}, "距：4\r\n比：0.4"},
  };
  for (const Step& s : steps) {
    stroke(s.path);
    EXPECT_EQ(panel.status, s.status);
  }
  engine->setFrameMode();
  stroke({{100, 100}, {100, 108}});
  EXPECT_EQ(panel.status, "距：8\r\n比：2") << "every mode measures";
}

TEST_F(DoodleTest, ShiftMove_PicksTheBand_StrictlyInside) {
  struct Case {
    int x;
    std::vector<int> rgb;
  } cases[] = {{350, {0, 255, 255}}, {50, {0, 0, 0}},        {150, {0, 0, 255}},
               {450, {255, 0, 0}},   {699, {255, 255, 255}}, {300, {10, 20, 30}},
               {750, {10, 20, 30}},  {0, {10, 20, 30}},      {100, {10, 20, 30}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x);
    state.penRed = 10, state.penGreen = 20, state.penBlue = 30;
    move(c.x, 5, ui::kShift);
    EXPECT_EQ(pen(), c.rgb);
    const std::uint32_t colour = static_cast<std::uint32_t>(c.rgb[0]) |
                                 static_cast<std::uint32_t>(c.rgb[1]) << 8 |
                                 static_cast<std::uint32_t>(c.rgb[2]) << 16;
    EXPECT_EQ(canvas.penColour(), colour);
    EXPECT_EQ(panel.picker, colour);
    EXPECT_EQ(panel.preview.colour, colour);
    EXPECT_EQ(canvas.fillColour(), colour) << "the boxes compose the fill colour too";
    EXPECT_EQ(boxes(), (std::vector<std::string>{std::to_string(c.rgb[0]), std::to_string(c.rgb[1]),
                                                 std::to_string(c.rgb[2])}));
  }
  move(350, 5, ui::kShift | ui::kCtrl);
  EXPECT_EQ(pen(), (std::vector<int>{10, 20, 30})) << "Ctrl+Shift is no Shift";
}

TEST_F(DoodleTest, ShiftWheel_RampsThroughReds_Yellows_White_AndRoundAgain) {
  struct Case {
    std::vector<int> from;
    int distance;
    std::vector<int> to;
  } cases[] = {
      {{250, 0, 0}, 120, {255, 10, 0}},     {{255, 255, 245}, 120, {255, 255, 255}},
      {{255, 255, 250}, 120, {10, 0, 255}}, {{255, 255, 255}, 120, {10, 0, 255}},
      {{0, 0, 0}, -120, {245, 255, 0}},     {{0, 0, 5}, -120, {245, 255, 0}},
      {{0, 5, 30}, -120, {0, 0, 20}},       {{40, 50, 60}, 0, {40, 50, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from[0] << "," << c.from[1] << "," << c.from[2]);
    state.penRed = c.from[0], state.penGreen = c.from[1], state.penBlue = c.from[2];
    engine->onDoodleWheel(c.distance, ui::kShift);
    EXPECT_EQ(pen(), c.to);
    const std::uint32_t colour = static_cast<std::uint32_t>(c.to[0]) |
                                 static_cast<std::uint32_t>(c.to[1]) << 8 |
                                 static_cast<std::uint32_t>(c.to[2]) << 16;
    EXPECT_EQ(canvas.penColour(), colour);
    EXPECT_EQ(panel.picker, colour);
    EXPECT_EQ(boxes()[0], std::to_string(c.to[0]));
  }
  engine->onDoodleWheel(120, ui::kAlt);
  EXPECT_EQ(pen(), (std::vector<int>{40, 50, 60})) << "only Shift ramps";
}

TEST_F(DoodleTest, PenWidth_ByPositionWheelKeysAndMenu) {
  move(350, 5, ui::kCtrl);
  EXPECT_EQ(panel.widthSlider, 25);
  EXPECT_EQ(canvas.penWidth(), 350);
  EXPECT_EQ(state.pressureMaxWidth, 350);
  EXPECT_EQ(panel.preview.width, 350);
  EXPECT_EQ(panel.preview.caption, "26");
  engine->onCanvasMouseMove(10, 5, ui::kCtrl, 0);
  EXPECT_EQ(panel.widthSlider, 25) << "no picture width, no scale";
  EXPECT_EQ(canvas.penWidth(), 10);

  panel.widthSlider = 50;
  engine->onDoodleWheel(-120, ui::kCtrl);
  EXPECT_EQ(panel.widthSlider, 50);
  EXPECT_EQ(canvas.penWidth(), 50);
  EXPECT_EQ(panel.preview.caption, "51");
  panel.widthSlider = 1;
  engine->onDoodleWheel(120, ui::kCtrl);
  EXPECT_EQ(panel.widthSlider, 1) << "asks for 0, the slider holds 1";
  EXPECT_EQ(canvas.penWidth(), 1);
  engine->onDoodleWheel(-120, ui::kCtrl);
  EXPECT_EQ(canvas.penWidth(), 2);

  struct Key {
    int key, width;
  } digits[] = {{0x31, 2}, {0x32, 7}, {0x39, 42}, {0x30, 47}};
  for (const Key& k : digits) {
    EXPECT_TRUE(engine->onDoodleKeyDown(k.key, 0));
    EXPECT_EQ(canvas.penWidth(), k.width);
    EXPECT_EQ(panel.preview.width, k.width);
    EXPECT_EQ(panel.preview.caption, std::to_string(k.width));
  }

  canvas.setPenWidth(1);
  engine->onDoodleKeyDown(ui::key::kOemComma, 0);
  EXPECT_EQ(canvas.penWidth(), 0);
  EXPECT_EQ(panel.preview.width, 0);
  EXPECT_EQ(panel.preview.height, 0);
  engine->onCanvasKeyDown(ui::key::kOemComma, 0);
  EXPECT_EQ(canvas.penWidth(), 0);
  canvas.setPenWidth(1000);
  engine->onDoodleKeyDown(ui::key::kOemPeriod, 0);
  EXPECT_EQ(canvas.penWidth(), 1002) << "no upper bound";
  EXPECT_EQ(panel.preview.height, 1002);
  engine->onCanvasKeyDown(ui::key::kOemPeriod, 0);
  EXPECT_EQ(canvas.penWidth(), 1004);
  EXPECT_EQ(panel.preview.width, 1002) << "the canvas's period leaves the preview";

  engine->setPenWidth(kBrushWidths[5].width);
  EXPECT_EQ(canvas.penWidth(), 50);
  EXPECT_EQ(panel.preview.caption, "47") << "the brush menu sets the pen alone";
  EXPECT_FALSE(engine->onDoodleKeyDown(ui::key::letter('P'), 0)) << "the window's own key";
}

TEST_F(DoodleTest, KeptModes_JoinFreehandAfterReopening) {
  engine->setPerspectiveMode();
  engine->onCanvasDoubleClick(20, 280, 0);
  ASSERT_EQ(state.vanishingPoint, (Point{20, 280}));
  state.penRed = 200;
  open();
  EXPECT_EQ(pen(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(state.freehandMode, 1);
  stroke({{300, 50}, {300, 52}, {300, 100}});
  EXPECT_EQ(canvas.pixel(300, 80), kBlack) << "the freehand stroke";
  EXPECT_EQ(canvas.pixel(160, 190), kBlack) << "and the line from the vanishing point";

  engine->setFrameMode();
  open();
  stroke({{50, 50}, {50, 52}, {200, 150}, {150, 150}});
  EXPECT_EQ(canvas.pixel(100, 100), kFrameFill) << "the rectangle at release";
  EXPECT_EQ(canvas.pixel(180, 150), kBlack) << "beside the freehand stroke";
  EXPECT_EQ(alphaLevel, 200);

  engine->setLineMode();
  engine->togglePressureMode();
  ASSERT_EQ(state.pressureOn, 1);
  engine->setLineMode();
  open();
  stroke({{200, 200}, {202, 200}, {260, 200}, {262, 200}});
  EXPECT_EQ(canvas.pixel(230, 200), kWhite) << "a kept line mode stops pressure strokes";
  engine->togglePressureMode();
  engine->toggleLineMode();
  ASSERT_EQ(state.lineMode, 1);
  ASSERT_EQ(state.freehandMode, 1);
  stroke({{200, 200}, {202, 260}, {260, 200}});
  EXPECT_EQ(canvas.pixel(231, 230), kBlack) << "plain freehand draws";
  EXPECT_EQ(canvas.pixel(240, 200), kWhite) << "and no straight line while freehand";
  engine->setLineMode();
  stroke({{200, 120}, {210, 160}, {260, 120}});
  EXPECT_EQ(canvas.pixel(240, 120), kBlack) << "the line mode alone draws its line";
  EXPECT_EQ(canvas.pixel(210, 160), kWhite);
}

TEST_F(DoodleTest, Frame_InteriorKeepsDesignedFill_UntilTheFillColourChanges) {
  engine->setPenColour(kRed);
  engine->setFrameMode();
  EXPECT_EQ(canvas.penColour(), kBlack);
  stroke({{20, 20}, {80, 80}});
  EXPECT_EQ(canvas.pixel(50, 50), kFrameFill);
  EXPECT_EQ(canvas.pixel(20, 50), kBlack);
  EXPECT_EQ(alphaLevel, 200);
  EXPECT_TRUE(look.layered);
  EXPECT_EQ(look.alpha, 200);

  engine->colours().setBoxText(Box::Red, "255");
  stroke({{100, 20}, {160, 80}});
  EXPECT_EQ(canvas.pixel(130, 50), kRed) << "the boxes set the fill";

  engine->blackBoard();
  move(5, 5, ui::kAlt);
  EXPECT_EQ(canvas.fillColour(), kBlack) << "the eyedropper sets the fill";
  EXPECT_EQ(panel.picker, kBlack);
  move(-5, 5, ui::kAlt);
  move(5, 5000, ui::kAlt);
  EXPECT_EQ(panel.picker, kBlack) << "off the canvas there is nothing to pick";
  EXPECT_EQ(canvas.penColour(), kBlack);
}

TEST_F(DoodleTest, Boards_CoverThePicture_AndKeepThePenVisible) {
  struct Case {
    void (StrokeEngine::*command)();
    std::uint32_t picker, penBefore, board, penAfter;
  } cases[] = {
      {&StrokeEngine::whiteBoard, kRed, kWhite, kWhite, kBlack},
      {&StrokeEngine::whiteBoard, kRed, kRed, kWhite, kRed},
      {&StrokeEngine::blackBoard, kRed, kBlack, kBlack, kWhite},
      {&StrokeEngine::blackBoard, kRed, kRed, kBlack, kRed},
      {&StrokeEngine::fillCanvas, kBlack, kRed, kBlack, kWhite},
      {&StrokeEngine::fillCanvas, 0x336699, kWhite, 0x336699, kBlack},
  };
  for (const Case& c : cases) {
    panel.picker = c.picker;
    canvas.setPenColour(c.penBefore);
    ((*engine).*c.command)();
    EXPECT_EQ(canvas.pixel(0, 0), c.board);
    EXPECT_EQ(canvas.pixel(399, 299), c.board);
    EXPECT_EQ(canvas.penColour(), c.penAfter);
  }
  engine->clearCanvas();
  EXPECT_EQ(canvas.pixel(200, 150), kWhite) << "clearing shows the background again";
}

TEST(CanvasWheelTest, ResizesTheDoodleWindowTenAStep) {
  struct Case {
    image::Size from;
    int distance, modifiers;
    image::Size to;
  } cases[] = {
      {{300, 200}, 120, ui::kAlt, {300, 190}},
      {{300, 200}, -120, ui::kAlt, {300, 210}},
      {{300, 200}, 120, 0, {290, 200}},
      {{300, 200}, -120, ui::kCtrl | ui::kShift, {310, 200}},
      {{300, 200}, 0, ui::kAlt, {300, 200}},
      {{15, 200}, 120, 0, {10, 200}},
      {{6, 200}, 120, 0, {6, 200}},
  };
  for (const Case& c : cases) EXPECT_EQ(onCanvasWheel(c.from, c.distance, c.modifiers), c.to);
}

}  // namespace
}  // namespace quillet::doodle
