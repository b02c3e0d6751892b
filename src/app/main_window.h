#pragma once

#include <string>

#include "platform/ui/widgets.h"

namespace quillet::app {

class Program;

// Lays out a new main window (controls, first geometry, styles) and binds its
// handlers; onMainCreated then fills it.
void buildMainWindow(Program& p, ui::Window& window);

void onMainCreated(Program& p);
void onMainDestroying(Program& p);
void onMainMoved(Program& p);
void onMainResized(Program& p);
void closeProgram(Program& p);

// Writes "上次文件.txt" and, while the note has unsaved changes, the note.
void saveStateFiles(Program& p);

// "Quillet －  原图大小：" + width + "  ×" + height
std::string mainTitle(int loadedWidth, int loadedHeight);

ui::PictureBox& pictureBox(Program& p);
ui::EditBox& noteBox(Program& p);

}  // namespace quillet::app
