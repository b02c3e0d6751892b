#pragma once

#include "core/program.h"

namespace quillet::app {

using core::Program;

// The 15 x 15 red-dot window that stays reachable while the picture window
// is hidden, click-through or closed.
void createHostWindow(Program& p);
void onHostCreated(Program& p);
void showMainWindow(Program& p);
void recreateMainWindow(Program& p);
void onHostKeyDown(Program& p, int key, int modifiers);
void onHostMoved(Program& p);
void onHostDoubleClick(Program& p);
void exitProgram(Program& p);
void onHostDestroying(Program& p);

}  // namespace quillet::app
