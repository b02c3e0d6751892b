#pragma once

#include "platform/ui/widgets.h"

namespace quillet::app {
class Program;
}

namespace quillet::viewer {

// Binds the mouse and wheel of the main window and its picture box.
void bindPictureMouse(app::Program& p, ui::Window& window, ui::PictureBox& box);

void onMainWheel(app::Program& p, int distance, int modifiers);
void onPictureMouseMove(app::Program& p, int x, int y, int modifiers);
void onPictureDoubleClick(app::Program& p, int x, int y, int modifiers);
void onPictureLeftUp(app::Program& p, int x, int y, int modifiers);
// The Alt release of the main window's key-up handler.
void onAltReleased(app::Program& p);

// The window's own content becomes the picture and local zoom ends; the
// loaded picture and its proportions stay, so restoring brings them back.
void bakeView(app::Program& p);

}  // namespace quillet::viewer
