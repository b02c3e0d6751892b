#pragma once

namespace quillet::core {
class Program;
}

namespace quillet::notes {

// "文本便签" and the key T: the picture window becomes the note window and back.
void toggleTextNote(core::Program& p);

}  // namespace quillet::notes
