#pragma once

namespace quillet::core {
class Program;
}

// The mouse and wheel over the picture window.
namespace quillet::viewer {

using core::Program;

void onMainWheel(Program& p, int distance, int modifiers);
void onPictureLeftDown(Program& p);
void onPictureMouseMove(Program& p, int x, int y, int modifiers);
void onPictureDoubleClick(Program& p, int x, int y, int modifiers);
void onPictureLeftUp(Program& p, int x, int y, int modifiers);
// The Alt release of the main window's key-up handler.
void onAltReleased(Program& p);

// The window's own content becomes the picture and local zoom ends; the
// loaded picture and its proportions stay, so restoring brings them back.
void bakeView(Program& p);

}  // namespace quillet::viewer
