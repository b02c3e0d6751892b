#pragma once

namespace quillet::core {
class Program;
}

// How the picture window floats: transparency, click-through, avoidance,
// topmost, hiding, the picture as loaded, and its proportions.
namespace quillet::ops {

using core::Program;

void toggleTransparency(Program& p);
// Menu "鼠标穿透": clicks pass through the picture; the red dot is the way back.
void startClickThrough(Program& p);
// Key C: the same style, but clickThrough stays as it was.
void startClickThroughByKey(Program& p);
void toggleAvoidance(Program& p);
void toggleTopmost(Program& p);
void hidePicture(Program& p);
void restorePicture(Program& p);
// Menu "改变比例": a frame to drag to any proportion, then that proportion kept.
void toggleRatioMode(Program& p);
// Key V: only whether the window keeps the picture's proportions.
void toggleRatioLock(Program& p);

}  // namespace quillet::ops
