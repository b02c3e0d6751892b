#pragma once

#include <string>

#include "platform/ui/widgets.h"

namespace quillet::core {

class Program;

// The controls of the main window that several subsystems read and write.
// Only valid while the main window exists.
ui::PictureBox& pictureBox(Program& p);
ui::EditBox& noteBox(Program& p);
ui::Label& infoLabel(Program& p);
ui::Label& shortcutLabel(Program& p);

// "Quillet －  原图大小：" + width + "  ×" + height
std::string mainTitle(int loadedWidth, int loadedHeight);

}  // namespace quillet::core
