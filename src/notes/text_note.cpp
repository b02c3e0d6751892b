#include "notes/text_note.h"

#include "app/main_window.h"
#include "app/names.h"
#include "app/program.h"
#include "platform/files.h"
#include "platform/text.h"

namespace quillet::notes {

void leaveTextNote(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  w.setBorder(ui::Window::Border::None);
  if (g.textNoteMode == 1) {
    files::writeAtomic(p.programPath(app::kNoteFile), text::toStateFile(app::noteBox(p).text()));
    g.textNoteMode = 0;
  }
  app::noteBox(p).setVisible(false);
  w.setFocus();
  if (g.aspectRatio > 0.0f) {
    w.setWidth(
        static_cast<int>(static_cast<double>(w.height()) / static_cast<double>(g.aspectRatio)));
  }
}

}  // namespace quillet::notes
