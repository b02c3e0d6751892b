#pragma once

namespace quillet::app {
class Program;
}

namespace quillet::ops {

// Menu icon numbers that show a mode's state.
namespace icon {
inline constexpr int kTranslucent = 7, kOpaque = 26;
inline constexpr int kAvoidanceOn = 22, kAvoidanceOff = 11;
inline constexpr int kTopmost = 12, kNotTopmost = 20;
}  // namespace icon

void toggleTransparency(app::Program& p);
void startClickThrough(app::Program& p);
void toggleAvoidance(app::Program& p);
void toggleTopmost(app::Program& p);
void hidePicture(app::Program& p);
void restorePicture(app::Program& p);
void toggleRatioMode(app::Program& p);

// Sets the icon number of a main-menu entry, found by caption.
void setMenuIcon(app::Program& p, const char* caption, int icon);

}  // namespace quillet::ops
