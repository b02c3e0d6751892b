#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::doodle {

// Opens the doodle window over the picture; `modal` keeps the picture window
// from taking input until the doodle window closes. With one open already,
// that one comes forward.
void openDoodleWindow(core::Program& p, bool modal);

// Closes the doodle window and the colour window it owns.
void closeDoodleWindow(core::Program& p);

// Called after the picture window moved (`resized` false) or was resized:
// once the colour window has been opened, the doodle and colour windows go
// with it.
void followMainWindow(core::Program& p, bool resized);

}  // namespace quillet::doodle
