#include "core/main_controls.h"

#include "core/names.h"
#include "core/program.h"

namespace quillet::core {

ui::PictureBox& pictureBox(Program& p) { return p.main()->get<ui::PictureBox>(kPictureBox); }
ui::EditBox& noteBox(Program& p) { return p.main()->get<ui::EditBox>(kNoteBox); }
ui::Label& infoLabel(Program& p) { return p.main()->get<ui::Label>(kInfoLabel); }
ui::Label& shortcutLabel(Program& p) { return p.main()->get<ui::Label>(kShortcutLabel); }

std::string mainTitle(int loadedWidth, int loadedHeight) {
  return "Quillet －  原图大小：" + std::to_string(loadedWidth) + "  ×" +
         std::to_string(loadedHeight);
}

}  // namespace quillet::core
