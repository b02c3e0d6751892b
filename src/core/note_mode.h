#pragma once

namespace quillet::core {

class Program;

// Leaves text-note mode: the frame goes, a changed note is saved, the note
// box hides and the window takes the picture's proportions again. The key T,
// the menu and a double click on the picture all leave this way.
void leaveTextNote(Program& p);

}  // namespace quillet::core
