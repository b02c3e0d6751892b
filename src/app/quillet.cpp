#include "app/quillet.h"

#include "app/host_window.h"
#include "app/main_window.h"
#include "core/state_files.h"

namespace quillet::app {

Quillet::Quillet(ui::Backend& backend, core::Environment env) : Program(backend, std::move(env)) {}

// The windows' handlers call back into this object; they must run while it
// is still whole.
Quillet::~Quillet() { shutdown(); }

void Quillet::createHostWindow() { app::createHostWindow(*this); }

void Quillet::buildMainWindow(ui::Window& window) { app::buildMainWindow(*this, window); }

void Quillet::mainWindowCreated() { onMainCreated(*this); }

void Quillet::writeStateFiles() { core::saveStateFiles(*this); }

}  // namespace quillet::app
