#pragma once

namespace quillet::core {

class Program;

// Integer conversions of computed values drop the fraction.
inline int truncated(double v) { return static_cast<int>(v); }

// The height a picture box of `width` takes at the picture's proportions.
int heightFor(float aspectRatio, int width);

// Fits the note box to its framed window: the frame and the caption take 19
// pixels of the width and 43 of the height.
void fitNoteBox(Program& p);

// Lays the picture box over the whole window again: the box takes the
// window's width, and while the proportions are kept the window takes the
// box's height (in text-note mode the note box is fitted instead). This is
// what the window's resize handling does when no local zoom is shown.
void fitToPicture(Program& p);

// Pulls the picture box back against the window's edges: no gap at the left
// or top, and a box smaller than the window ends at its right and bottom.
void clampPicture(Program& p);

}  // namespace quillet::core
