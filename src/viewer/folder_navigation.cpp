#include "viewer/folder_navigation.h"

#include "core/main_controls.h"
#include "core/picture_files.h"
#include "core/program.h"

namespace quillet::viewer {

namespace {

void step(core::Program& p, int direction) {
  core::GlobalState& g = p.g();
  const int count = static_cast<int>(g.folderList.size());
  if (!p.main() || count <= 1) return;
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  box.setWidth(w.width());
  box.setLeft(0);
  box.setTop(0);
  g.workBitmapLoaded = 0;
  if (w.height() < 19) {
    // A window squeezed this flat can no longer be used; start afresh.
    g.restartRequested = 1;
    p.destroyMainWindow();
    return;
  }
  // The index may come from another list; out of range, it restarts at the
  // end the step wraps to.
  int index = g.folderIndex + direction;
  if (direction < 0 && (index < 1 || index > count)) index = count;
  if (direction > 0 && (index > count || index < 1)) index = 1;
  g.folderIndex = index;
  g.currentPicturePath = g.folderList[static_cast<std::size_t>(index - 1)];
  if (core::isListablePictureName(g.currentPicturePath)) {
    core::showPictureFile(p, g.currentPicturePath);
  }
  // Whoever pages once pages again, mostly the same way: the picture after
  // this one can be made ready while the user looks at this one.
  if (!p.main()) return;
  const int after = direction > 0 ? (index % count) + 1 : (index + count - 2) % count + 1;
  p.backend().preparePicture(g.folderList[static_cast<std::size_t>(after - 1)],
                             core::pictureBox(p).width());
}

}  // namespace

void showPreviousPicture(core::Program& p) { step(p, -1); }
void showNextPicture(core::Program& p) { step(p, +1); }

}  // namespace quillet::viewer
