#pragma once

namespace quillet::app {
class Program;
}

namespace quillet::notes {

// Leaves text-note mode: the frame goes, a changed note is saved, the note
// box hides and the window takes the picture's proportions again.
void leaveTextNote(app::Program& p);

}  // namespace quillet::notes
