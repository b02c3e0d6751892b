#pragma once

namespace quillet::app {
class Program;
}

namespace quillet::ops {

// The main window's key handlers; the menu's paging entries and the
// slideshow reach folder navigation through onMainKeyDown as well.
void onMainKeyDown(app::Program& p, int key, int modifiers);
void onMainKeyUp(app::Program& p, int key, int modifiers);

// Pulls the picture box back against the window's edges.
void clampPicture(app::Program& p);

}  // namespace quillet::ops
