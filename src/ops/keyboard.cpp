#include "ops/keyboard.h"

#include "app/main_window.h"
#include "app/names.h"
#include "app/program.h"
#include "platform/ui/input.h"
#include "viewer/mouse.h"
#include "viewer/picture_loading.h"

namespace quillet::ops {

namespace {

// Returns false when the main window was closed and must not be touched.
bool stepThroughFolder(app::Program& p, int key) {
  app::GlobalState& g = p.g();
  const int count = static_cast<int>(g.folderList.size());
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  box.setWidth(w.width());
  box.setLeft(0);
  box.setTop(0);
  g.workBitmapLoaded = 0;
  if (w.height() < 19) {
    // A window squeezed this flat can no longer be used; start afresh.
    g.restartRequested = 1;
    p.destroyMainWindow();
    return false;
  }
  if (key == ui::key::kPageUp) {
    g.folderIndex -= 1;
    if (g.folderIndex < 1) g.folderIndex = count;
  } else {
    g.folderIndex += 1;
    if (g.folderIndex > count) g.folderIndex = 1;
  }
  g.currentPicturePath = g.folderList[static_cast<std::size_t>(g.folderIndex - 1)];
  if (viewer::isListablePictureName(g.currentPicturePath)) {
    viewer::showPictureFile(p, g.currentPicturePath);
  }
  return p.main() != nullptr;
}

}  // namespace

void clampPicture(app::Program& p) {
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  if (box.left() > 0) box.setLeft(0);
  if (box.top() > 0) box.setTop(0);
  if (box.left() + box.width() < w.width()) box.setLeft(w.width() - box.width());
  if (box.top() + box.height() < w.height()) box.setTop(w.height() - box.height());
}

void onMainKeyDown(app::Program& p, int key, int /*modifiers*/) {
  if (!p.main()) return;
  if ((key == ui::key::kPageUp || key == ui::key::kPageDown) && p.g().folderList.size() > 1) {
    if (!stepThroughFolder(p, key)) return;
  }
  clampPicture(p);
}

void onMainKeyUp(app::Program& p, int key, int /*modifiers*/) {
  if (!p.main()) return;
  switch (key) {
    case ui::key::letter('F'):
    case ui::key::kControl:
    case ui::key::kShift:
      p.main()->get<ui::Label>(app::kInfoLabel).setVisible(false);
      break;
    case ui::key::kF1:
      p.main()->get<ui::Label>(app::kShortcutLabel).setVisible(false);
      break;
    case ui::key::kMenu:
      viewer::onAltReleased(p);
      break;
    default:
      break;
  }
}

}  // namespace quillet::ops
