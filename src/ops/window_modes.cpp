#include "ops/window_modes.h"

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/picture_files.h"
#include "core/program.h"

namespace quillet::ops {

namespace {

void applyClickThroughStyle(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  g.layeredExStyle = w.exStyle() | ui::Window::kLayeredBit | ui::Window::kTransparentBit;
  w.setExStyle(g.layeredExStyle);
  if (p.host()) {
    // Shown first: a hidden window cannot take the keyboard focus.
    p.host()->setVisible(true);
    p.host()->setFocus();
  }
}

}  // namespace

void toggleTransparency(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  if (g.layeredOn == 0) {
    w.setExStyle(g.layeredExStyle);
    g.layeredOn = 1;
    g.alphaLevel = 125;
    w.setAlpha(g.alphaLevel);
  } else {
    w.setExStyle(g.plainExStyle);
    g.layeredOn = 0;
  }
}

void startClickThrough(Program& p) {
  applyClickThroughStyle(p);
  p.g().clickThrough = 1;
}

void startClickThroughByKey(Program& p) { applyClickThroughStyle(p); }

void toggleAvoidance(Program& p) {
  core::GlobalState& g = p.g();
  g.avoidanceOn = g.avoidanceOn == 1 ? 0 : 1;
}

void toggleTopmost(Program& p) {
  ui::Window& w = *p.main();
  w.setTopmost(!w.topmost());
}

void hidePicture(Program& p) {
  ui::Window& w = *p.main();
  if (p.g().clickThrough == 1) {
    w.setVisible(!w.visible());
    return;
  }
  w.setVisible(false);
  if (p.host()) p.host()->setVisible(true);
}

void restorePicture(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  box.setPicture(g.loadedPicture, g.currentPicturePath);
  image::Size size = core::pictureFileSize(g.currentPicturePath);
  if (size.width > 0 && size.height > 0) {
    g.aspectRatio = static_cast<float>(size.height) / static_cast<float>(size.width);
  }
  box.setGeometry(0, 0, w.width(), core::heightFor(g.aspectRatio, w.width()));
  w.setHeight(box.height());
  w.setAlpha(g.alphaLevel);
}

void toggleRatioMode(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  if (g.ratioLocked == 1) {
    w.setBorder(ui::Window::Border::Sizable);
    g.ratioLocked = 0;
  } else {
    const ui::PictureBox& box = core::pictureBox(p);
    if (box.width() > 0 && box.height() > 0) {
      g.aspectRatio = static_cast<float>(box.height()) / static_cast<float>(box.width());
    }
    w.setBorder(ui::Window::Border::None);
    g.ratioLocked = 1;
  }
}

void toggleRatioLock(Program& p) {
  core::GlobalState& g = p.g();
  g.ratioLocked = g.ratioLocked == 1 ? 0 : 1;
}

}  // namespace quillet::ops
