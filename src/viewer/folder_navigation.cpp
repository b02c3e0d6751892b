#include "viewer/folder_navigation.h"

#include "core/main_controls.h"
#include "core/picture_files.h"

#include <string>
#include <vector>
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
  // Whoever pages once pages again, mostly the same way: the pictures after
  // this one can be made ready while the user looks at this one, or while
  // the key is held, the one after next while the next one decodes.
  if (!p.main()) return;
  const auto onward = [&](int from) {
    return direction > 0 ? (from % count) + 1 : (from + count - 2) % count + 1;
  };
  const int after = onward(index);
  std::vector<std::string> next{g.folderList[static_cast<std::size_t>(after - 1)]};
  if (const int then = onward(after); then != index) {
    next.push_back(g.folderList[static_cast<std::size_t>(then - 1)]);
  }
  p.backend().preparePictures(next, core::pictureBox(p).width());
}

}  // namespace

void showPreviousPicture(core::Program& p) { step(p, -1); }
void showNextPicture(core::Program& p) { step(p, +1); }

}  // namespace quillet::viewer
