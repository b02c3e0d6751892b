#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::notes {

// "文本便签" and the key T: the picture window becomes a framed note window
// holding the note of "便签文本.txt", and back.
void toggleTextNote(core::Program& p);

// The note box's own handlers: any change marks the note unsaved; Ctrl+S
// saves it, Ctrl+P prints it.
void onNoteChanged(core::Program& p);
void onNoteKeyDown(core::Program& p, int key, int modifiers);

}  // namespace quillet::notes
