#pragma once

#include "platform/ui/widgets.h"

namespace quillet::app {
class Program;
}

namespace quillet::viewer {

// Binds the mouse and wheel of the main window and its picture box.
void bindPictureMouse(app::Program& p, ui::Window& window, ui::PictureBox& box);

}  // namespace quillet::viewer
