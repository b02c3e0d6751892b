#pragma once

#include "core/program.h"
#include "platform/ui/menu.h"

namespace quillet::app {

// The 操作 pop-up menu of the main window, in its order, with the icons the
// state calls for now.
ui::Menu mainMenu(core::Program& p);

// Right button on the picture: the menu, as it stands now, at the pointer.
void popupMainMenu(core::Program& p);

}  // namespace quillet::app
