#pragma once

#include <array>
#include <cstdint>

// What the doodle keeps between openings of its window, in plain values; it
// lives in the program's state record, which outlives the windows.
namespace quillet::core {

struct PenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PenPoint&) const = default;
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
  PenPoint lastPoint;
  // The pointer at the previous move of a pressure stroke.
  PenPoint previousPoint;
  PenPoint strokeStart, strokeEnd;
  // Straight length of the previous stroke in whole pixels; 0 = none yet.
  int lastStrokeLength = 0;
  PenPoint vanishingPoint;
};

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

struct DoodleState : StrokeState, ColourState {
  // The doodle window's own style, before the layered bit was added.
  int doodlePlainExStyle = 0;
  // "屏幕" has hidden the other windows and laid a photograph of the screen
  // under the strokes; kept across openings.
  int screenBoardOn = 0;
};

}  // namespace quillet::core
