#pragma once

#include <vector>

#include "app/actions.h"
#include "core/program.h"
#include "platform/ui/menu.h"

namespace quillet::app {

// The 操作 pop-up menu of the main window, in its order, with the icons the
// state calls for now.
ui::Menu mainMenu(core::Program& p);

// The entries from the top of the menu down to the action's own, which is
// the last; empty for an action the menu does not hold.
std::vector<ActionId> menuPath(ActionId id);

// Right button on the picture: the menu, as it stands now, at the pointer.
void popupMainMenu(core::Program& p);

}  // namespace quillet::app
