#pragma once

#include <array>
#include <cstdint>
#include <string>

// What the doodle keeps, and what its windows show, in plain values: the
// stroke engine and the colour window's rules work on these, and the window
// layer mirrors them onto the screen.
namespace quillet::doodle {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// The pen's modes and the bookkeeping of strokes. The program keeps one for
// the whole run: the modes, the pressure width, the last stroke's length and
// the vanishing point carry over when the doodle window is opened again.
struct StrokeState {
  // Independent flags: the mode commands set them as a group, but key L and
  // the opening of the doodle window change only some, so mixed states occur
  // and every drawing rule tests them exactly as it needs them.
  int freehandMode = 0;
  int lineMode = 0;
  int frameMode = 0;
  int perspectiveMode = 0;
  int pressureOn = 0;
  // The colour built by Shift+move and Shift+wheel, 0..255 each.
  int penRed = 0, penGreen = 0, penBlue = 0;
  // The widest pressure stroke; only Ctrl+move sets it.
  int pressureMaxWidth = 0;
  int penDown = 0;
  // End of the last freehand segment; a coordinate of 0 counts as unset.
  Point lastPoint;
  // The pointer at the previous move of a pressure stroke.
  Point previousPoint;
  Point strokeStart, strokeEnd;
  // Straight length of the previous stroke in whole pixels; 0 = none yet.
  int lastStrokeLength = 0;
  Point vanishingPoint;
};

// Which colour box the colour slider writes into.
enum class Box { Red = 0, Green = 1, Blue = 2 };

// The colour window's memory, kept across openings like the strokes'.
struct ColourState {
  // Set at the first opening of the colour window and never cleared: from
  // then on the picture window's moves and resizes carry the doodle along.
  int colourWindowOpened = 0;
  // The picker has the input focus, so it is the one writing the boxes.
  int pickerFocused = 0;
  // One flag per box; at most one is set, none until a box or the slider is used.
  std::array<int, 3> sliderTarget{};
  std::uint32_t boxColour = 0;
};

struct DoodleState : StrokeState, ColourState {};

// Called as the doodle window is created: the colour is built afresh and the
// pen draws freehand again; every other mode stays as it was left, which is
// how a kept line, frame or perspective mode joins freehand drawing.
void beginOpening(StrokeState& s);

// The width slider `滑块条1` holds 1..50; the colour slider 0..255.
inline constexpr int kWidthSliderMin = 1;
inline constexpr int kWidthSliderMax = 50;
inline constexpr int kColourSliderMax = 255;

// The preview label `标签2`: the pen's colour and width, with a number.
struct Preview {
  std::uint32_t colour = 0x000000;
  int width = 20;
  int height = 12;
  std::string caption = "0";
  bool operator==(const Preview&) const = default;
};

// The colour window's controls as they are to be shown, starting from their
// designed values at every opening. Writing the picker or a slider here runs
// no handler; a box's text is set through ColourControls::setBoxText, which
// runs the boxes' change rule as typing does.
struct ColourPanel {
  // The window's own background: blue while a stroke is drawn, red after.
  std::uint32_t background = 0xFF8800;
  bool enabled = true;
  // The picker `颜色选择`.
  std::uint32_t picker = 0x000000;
  // `红编辑框`, `绿编辑框`, `蓝编辑框`, indexed by Box.
  std::array<std::string, 3> boxes{"0", "0", "0"};
  int widthSlider = 5;
  int colourSlider = 0;
  Preview preview;
  // `临时标签`: the pointer while drawing, the measurement after a stroke.
  std::string status;
};

// How see-through the doodle window is asked to be: layered at `alpha`, or
// opaque without the layered style. The doodle window applies it.
struct DoodleLook {
  bool layered = false;
  int alpha = 255;
};

}  // namespace quillet::doodle
