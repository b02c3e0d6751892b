#pragma once

#include "platform/ui/menu.h"

namespace quillet::doodle {

struct Session;

// The menu "钢笔操作" as the canvas's right button shows it.
ui::Menu penMenu(Session& s);
void showPenMenu(Session& s);
// A key over the doodle window or its canvas; modifiers play no part.
void pressKey(Session& s, int key, int modifiers);

}  // namespace quillet::doodle
