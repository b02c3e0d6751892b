#pragma once

#include <vector>

#include "platform/ui/backend.h"

namespace quillet::ui {
class Window;
}

namespace quillet::core {

class Program;

// "The screen" of a window's geometry rules: the monitor that holds the
// larger part of the rectangle, so a window on a side monitor is fitted and
// kept there. A rectangle on no monitor belongs to the nearest one; without
// any monitor the result is empty (0 × 0 at the origin).
ui::Monitor monitorHolding(const std::vector<ui::Monitor>& monitors, int left, int top, int width,
                           int height);

// The monitor of `window` among the backend's monitors.
ui::Monitor screenOf(Program& p, const ui::Window& window);

// The rectangle that bounds the monitors the window overlaps, or its
// monitor when it overlaps none: a window laid across two monitors (a
// capture of a region across their boundary) is on the screen as it is.
ui::Monitor monitorsUnder(const std::vector<ui::Monitor>& monitors, const ui::Window& window);

// The rectangle that bounds every monitor: the desktop as a whole.
ui::Monitor desktopBounds(const std::vector<ui::Monitor>& monitors);

}  // namespace quillet::core
