#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "doodle/doodle_state.h"
#include "platform/image/canvas.h"

// The colour window's rules, without the window: where it stands, and how
// its picker, boxes and sliders turn into the pen's colour and width.
namespace quillet::doodle {

// The colour window's designed width, which it returns to.
inline constexpr int kColourWindowWidth = 72;

struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Position {
  int left = 0;
  int top = 0;
  bool operator==(const Position&) const = default;
};

// Component 1 (red), 2 (green) or 3 (blue) of a 0x00BBGGRR colour; 0 for
// any other number.
int splitColour(std::uint32_t colour, int part);
// The colour of three components, each held to 0..255 first.
std::uint32_t colourOf(int red, int green, int blue);
// A box's text as a number: an optional sign and the digits that follow,
// leading blanks skipped; 0 when there is none, and held far inside int so
// that a step of the wheel cannot overflow.
int boxValue(const std::string& text);

// Where the colour window opens beside `main`, the picture window, on
// `monitor`, the monitor holding it: just left of it with tops aligned, or
// just right of it when the left side would leave the monitor; never above
// the monitor's top.
Position colourWindowPlace(const WindowRect& main, int colourWidth, const WindowRect& monitor);
// After the colour window moved to `colour`: when its right edge ended less
// than 30 px left of the picture window, it snaps flush against it, tops
// aligned; otherwise it stays.
std::optional<Position> colourWindowSnap(const WindowRect& main, const WindowRect& colour);

// The handlers of the picker, the three boxes and the two sliders, on the
// pen of `canvas` and the controls of `panel`.
class ColourControls {
 public:
  ColourControls(ColourState& state, image::Canvas& canvas, ColourPanel& panel);

  // When the colour window is created: the pen takes the picker's colour.
  void onColourCreated();

  // Sets a box's text and runs onBoxChanged, exactly as typing does.
  void setBoxText(Box box, std::string text);
  // When a box's text changed: the three boxes compose the pen and fill
  // colour, unless the picker is the one writing them.
  void onBoxChanged();
  // When a box got the focus: the colour slider writes into it from now on.
  void onBoxFocused(Box box);
  // When the picker got or lost the focus.
  void onPickerFocus(bool focused);
  // When the wheel turned over a box: 25 a step, held to 0..255.
  void onBoxWheel(Box box, int distance);

  // When the colour slider is pressed: with no box chosen, red is.
  void onColourSliderPressed();
  // When the colour slider moved to `position`.
  void onColourSliderChanged(int position);
  // When the width slider moved to `position`.
  void onWidthSliderChanged(int position);

  // When the user chose `colour` in the picker.
  void choosePickerColour(std::uint32_t colour);
  // When the picker's colour changed (the eyedropper runs it too).
  void onPickerChanged();

 private:
  ColourState& state_;
  image::Canvas& canvas_;
  ColourPanel& panel_;
};

}  // namespace quillet::doodle
