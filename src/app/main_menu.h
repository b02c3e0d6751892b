#pragma once

#include "platform/ui/menu.h"

namespace quillet::app {

class Program;

// The 操作 pop-up menu of the main window, in its order.
ui::Menu mainMenu(Program& p);

}  // namespace quillet::app
