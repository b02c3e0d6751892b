#pragma once

#include "core/program.h"

namespace quillet::app {

// The main window's key handlers, reading the table of actions. The menu's
// paging entries and the features that page reach folder navigation through
// onMainKeyDown as well, so everything a key does afterwards follows them.
void onMainKeyDown(core::Program& p, int key, int modifiers);
// A key pressed over the picture window: the window's own keys (Esc), or
// else onMainKeyDown.
void onMainWindowKey(core::Program& p, int key, int modifiers);
void onMainKeyUp(core::Program& p, int key, int modifiers);

}  // namespace quillet::app
