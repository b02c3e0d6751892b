#pragma once

#include <optional>

namespace quillet::core {
class Program;
}

namespace quillet::capture {

// A rectangle on the screen, in the pixels of window geometry.
struct Region {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Region&) const = default;
};

// The outline spanned by the anchor and the pointer, whichever way the drag went.
Region outlineBetween(int anchorX, int anchorY, int pointerX, int pointerY);

// Shows the frozen screen (screenSnapshot) on a full-screen board, modally,
// and lets the user drag the outline of a region on it. The outline as last
// drawn when the button came up; nothing when the user cancelled with Esc or
// the program is ending. A click without a drag, or an outline with no
// inside, captures nothing and leaves the board open for another drag.
std::optional<Region> selectRegion(core::Program& p);

}  // namespace quillet::capture
