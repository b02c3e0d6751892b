#include "core/note_mode.h"

#include "core/main_controls.h"
#include "core/program.h"
#include "core/state_files.h"

namespace quillet::core {

void leaveTextNote(Program& p) {
  GlobalState& g = p.g();
  ui::Window& w = *p.main();
  w.setBorder(ui::Window::Border::None);
  if (g.textNoteMode == 1) writeNote(p);
  noteBox(p).setVisible(false);
  w.setFocus();
  if (g.aspectRatio > 0.0f) {
    w.setWidth(
        static_cast<int>(static_cast<double>(w.height()) / static_cast<double>(g.aspectRatio)));
  }
}

}  // namespace quillet::core
