#include "notes/text_note.h"

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/note_mode.h"
#include "core/program.h"
#include "core/state_files.h"
#include "platform/ui/input.h"

namespace quillet::notes {

namespace {

constexpr const char* kNoteTitle = "文本便签模式";

// The keyboard stays where it was, so that T at once goes back to the
// picture; a click into the note starts typing.
void enterTextNote(core::Program& p) {
  ui::Window& w = *p.main();
  ui::EditBox& note = core::noteBox(p);
  note.setVisible(true);
  w.setBorder(ui::Window::Border::Sizable);
  w.setTitle(kNoteTitle);
  // Changes the file could not take are still in the box; the file must not
  // bring back what they replaced.
  if (p.g().textNoteMode != 1) {
    std::string text;
    core::readNote(p, text);
    // Reading the note is not an edit of it.
    auto changed = std::move(note.onChanged);
    note.setText(std::move(text));
    note.onChanged = std::move(changed);
  }
  core::fitNoteBox(p);
}

void saveNote(core::Program& p) {
  // Saved, yet still marked: leaving the mode writes it once more.
  if (p.g().textNoteMode == 1) core::writeNoteFile(p);
}

void printNote(core::Program& p) {
  p.backend().printText(p.main(), kNoteTitle, core::noteBox(p).text());
}

// The note box's own keys, with the whole modifier set they need; every
// other key typed there is note text.
struct NoteKey {
  int key;
  int modifiers;
  void (*run)(core::Program& p);
};

constexpr NoteKey kNoteKeys[] = {
    {ui::key::letter('S'), ui::kCtrl, saveNote},
    {ui::key::letter('P'), ui::kCtrl, printNote},
};

}  // namespace

void toggleTextNote(core::Program& p) {
  if (!p.main()) return;
  if (core::noteBox(p).visible()) {
    core::leaveTextNote(p);
  } else {
    enterTextNote(p);
  }
}

void onNoteChanged(core::Program& p) { p.g().textNoteMode = 1; }

void onNoteKeyDown(core::Program& p, int key, int modifiers) {
  if (!p.main()) return;
  for (const NoteKey& k : kNoteKeys) {
    if (k.key == key && k.modifiers == modifiers) {
      k.run(p);
      return;
    }
  }
}

}  // namespace quillet::notes
