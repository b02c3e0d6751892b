#include "core/geometry.h"

#include "core/main_controls.h"
#include "core/program.h"

namespace quillet::core {

int heightFor(float aspectRatio, int width) {
  return truncated(static_cast<double>(width) * static_cast<double>(aspectRatio));
}

void fitNoteBox(Program& p) {
  const ui::Window& w = *p.main();
  ui::EditBox& note = noteBox(p);
  note.setHeight(w.height() - 43);
  note.setWidth(w.width() - 19);
}

void fitToPicture(Program& p) {
  GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = pictureBox(p);
  box.setLeft(0);
  box.setTop(0);
  box.setWidth(w.width());
  if (noteBox(p).visible()) {
    box.setHeight(w.height());
    fitNoteBox(p);
  } else if (g.ratioLocked == 1 && g.aspectRatio > 0.0f) {
    // Before any picture the ratio is 0; the window keeps its height then.
    box.setHeight(heightFor(g.aspectRatio, box.width()));
    w.setHeight(box.height());
    w.setWidth(box.width());
  } else {
    box.setHeight(w.height());
    box.setWidth(w.width());
  }
}

void clampPicture(Program& p) {
  ui::Window& w = *p.main();
  ui::PictureBox& box = pictureBox(p);
  if (box.left() > 0) box.setLeft(0);
  if (box.top() > 0) box.setTop(0);
  if (box.left() + box.width() < w.width()) box.setLeft(w.width() - box.width());
  if (box.top() + box.height() < w.height()) box.setTop(w.height() - box.height());
}

}  // namespace quillet::core
