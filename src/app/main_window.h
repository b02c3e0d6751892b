#pragma once

#include "core/program.h"
#include "platform/ui/widgets.h"

namespace quillet::app {

using core::Program;

// Lays out a new main window (controls, first geometry, styles) and binds its
// handlers; onMainCreated then fills it.
void buildMainWindow(Program& p, ui::Window& window);

void onMainCreated(Program& p);
void onMainDestroying(Program& p);
void onMainMoved(Program& p);
void onMainResized(Program& p);

}  // namespace quillet::app
