#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "doodle/colour_controls.h"
#include "doodle/doodle_state.h"
#include "platform/image/canvas.h"

namespace quillet::doodle {
namespace {

constexpr std::uint32_t kFrameFill = 0x800000;

TEST(ColourWindowPlaceTest, LeftOfThePicture_OrRight_WithinTheMonitor) {
  const WindowRect primary{0, 0, 1920, 1080};
  const WindowRect rightHand{1920, 0, 1280, 1024};
  const WindowRect aboveLeft{-1280, -200, 1280, 1024};
  struct Case {
    WindowRect main, monitor;
    Position at;
  } cases[] = {
      {{40, 100, 600, 400}, primary, {640, 100}},
      {{500, 100, 600, 400}, primary, {428, 100}},
      {{500, -20, 600, 400}, primary, {428, 0}},
      {{40, -20, 600, 400}, primary, {640, 0}},
      {{72, 30, 600, 400}, primary, {0, 30}},
      {{1950, 10, 600, 400}, rightHand, {2550, 10}},
      {{2100, 10, 600, 400}, rightHand, {2028, 10}},
      {{-1250, -300, 600, 400}, aboveLeft, {-650, -200}},
      {{-1000, -150, 600, 400}, aboveLeft, {-1072, -150}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "main at " << c.main.left << "," << c.main.top);
    EXPECT_EQ(colourWindowPlace(c.main, kColourWindowWidth, c.monitor), c.at);
  }
}

TEST(ColourWindowSnapTest, SnapsWithinThirtyPixels_LeftOfThePicture) {
  const WindowRect main{500, 100, 600, 400};
  const WindowRect farLeft{-800, -300, 600, 400};
  struct Case {
    WindowRect main;
    int colourLeft;
    std::optional<Position> at;
  } cases[] = {
      {main, 500 - 72 - 10, Position{428, 100}},
      {main, 500 - 72 - 29, Position{428, 100}},
      {main, 500 - 72 - 1, Position{428, 100}},
      {main, 500 - 72 - 30, std::nullopt},
      {main, 500 - 72, std::nullopt},
      {main, 460, std::nullopt},
      {main, 1200, std::nullopt},
      {farLeft, -800 - 72 - 10, Position{-872, -300}},
      {farLeft, -800 - 72 - 40, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "colour window at " << c.colourLeft);
    EXPECT_EQ(colourWindowSnap(c.main, {c.colourLeft, 400, kColourWindowWidth, 350}), c.at);
  }
}

TEST(SplitColourTest, LowByteIsRed) {
  EXPECT_EQ(splitColour(0x0A141E, 1), 0x1E);
  EXPECT_EQ(splitColour(0x0A141E, 2), 0x14);
  EXPECT_EQ(splitColour(0x0A141E, 3), 0x0A);
  EXPECT_EQ(splitColour(0x0A141E, 0), 0);
  EXPECT_EQ(splitColour(0x0A141E, 4), 0);
}

class ColourControlsTest : public ::testing::Test {
 protected:
  ColourControlsTest() : canvas(50, 50), controls(state, canvas, panel) {
    controls.onColourCreated();
  }
  std::vector<std::string> boxes() const { return {panel.boxes.begin(), panel.boxes.end()}; }

  ColourState state;
  image::Canvas canvas;
  ColourPanel panel;
  ColourControls controls;
};

TEST_F(ColourControlsTest, TypedBoxes_ComposePenAndFill_OutOfRangeHeldInTheColour) {
  EXPECT_EQ(state.colourWindowOpened, 1);
  struct Case {
    Box box;
    const char* text;
    std::uint32_t colour;
  } cases[] = {
      {Box::Red, "300", 0x0000FF},   {Box::Green, "-20", 0x0000FF}, {Box::Blue, "16", 0x1000FF},
      {Box::Green, "abc", 0x1000FF}, {Box::Green, " 7x", 0x1007FF}, {Box::Red, "0", 0x100700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    controls.setBoxText(c.box, c.text);
    EXPECT_EQ(panel.boxes[static_cast<int>(c.box)], c.text) << "accepted as typed";
    EXPECT_EQ(state.boxColour, c.colour);
    EXPECT_EQ(panel.picker, c.colour);
    EXPECT_EQ(panel.preview.colour, c.colour);
    EXPECT_EQ(canvas.penColour(), c.colour);
    EXPECT_EQ(canvas.fillColour(), c.colour);
  }
}

TEST_F(ColourControlsTest, BoxWheel_StepsOf25_HeldTo0And255) {
  struct Case {
    const char* from;
    int distance;
    const char* to;
  } cases[] = {{"240", -120, "255"}, {"10", 120, "0"},    {"100", -120, "125"},
               {"100", 0, "75"},     {"300", 120, "275"}, {"3000000000", -120, "255"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    panel.boxes[0] = c.from;
    controls.onBoxWheel(Box::Red, c.distance);
    EXPECT_EQ(panel.boxes[0], c.to);
    EXPECT_EQ(static_cast<int>(canvas.penColour() & 0xFF), std::min(boxValue(c.to), 255));
  }
}

TEST_F(ColourControlsTest, FocusedPicker_WritesTheBoxes_WithoutTouchingTheFill) {
  controls.onPickerFocus(true);
  controls.choosePickerColour(0x0000FF);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"255", "0", "0"}));
  EXPECT_EQ(canvas.penColour(), 0x0000FFu);
  EXPECT_EQ(panel.preview.colour, 0x0000FFu);
  EXPECT_EQ(canvas.fillColour(), kFrameFill);
  controls.choosePickerColour(0x0A1400);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"0", "20", "10"}));
  EXPECT_EQ(canvas.fillColour(), kFrameFill) << "the boxes do not recompose meanwhile";

  controls.onPickerFocus(false);
  controls.choosePickerColour(0x00FF00);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"0", "20", "10"})) << "unfocused, boxes stay";
  EXPECT_EQ(canvas.penColour(), 0x00FF00u);
}

TEST_F(ColourControlsTest, ColourSlider_WritesRedFirst_ThenTheFocusedBox) {
  controls.onColourSliderChanged(90);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"0", "0", "0"})) << "no box chosen yet";
  controls.onColourSliderPressed();
  controls.onColourSliderChanged(77);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"77", "0", "0"}));
  EXPECT_EQ(canvas.penColour(), 77u);

  controls.onPickerFocus(true);
  controls.onBoxFocused(Box::Blue);
  EXPECT_EQ(state.pickerFocused, 0);
  EXPECT_EQ(state.sliderTarget, (std::array<int, 3>{0, 0, 1}));
  controls.onColourSliderPressed();
  controls.onColourSliderChanged(200);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"77", "0", "200"}));
  EXPECT_EQ(canvas.penColour(), 0xC8004Du);
}

TEST_F(ColourControlsTest, WidthSlider_SetsPenAndSquarePreview) {
  panel.picker = 0x123456;
  controls.onWidthSliderChanged(17);
  EXPECT_EQ(canvas.penWidth(), 17);
  EXPECT_EQ(panel.preview, (Preview{0x123456, 17, 17, "17"}));
}

}  // namespace
}  // namespace quillet::doodle
