#pragma once

#include <memory>

namespace quillet::doodle {

struct Session;

// Opens the colour window beside the picture window, owned by the doodle
// window of `s`, its controls at their designed places.
void openColourWindow(const std::shared_ptr<Session>& s);

// Shows the panel of `s` on the colour window's controls, running none of
// their change handlers.
void showPanel(Session& s);

}  // namespace quillet::doodle
