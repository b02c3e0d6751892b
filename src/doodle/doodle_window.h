#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::doodle {

// Opens the doodle window over the picture; `modal` keeps the picture window
// from taking input until the doodle window closes.
void openDoodleWindow(core::Program& p, bool modal);

}  // namespace quillet::doodle
