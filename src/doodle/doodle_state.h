#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/doodle_state.h"

// What the doodle keeps, and what its windows show, in plain values: the
// stroke engine and the colour window's rules work on these, and the window
// layer mirrors them onto the screen.
namespace quillet::doodle {

using Point = core::PenPoint;
using core::ColourState;
using core::DoodleState;
using core::StrokeState;

// Which colour box the colour slider writes into.
enum class Box { Red = 0, Green = 1, Blue = 2 };

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
