#include "ops/window_modes.h"

#include "app/main_window.h"
#include "app/names.h"
#include "app/program.h"
#include "viewer/picture_loading.h"

namespace quillet::ops {

void setMenuIcon(app::Program& p, const char* caption, int icon) {
  if (!p.main()) return;
  if (ui::MenuItem* item = p.main()->menu().find(caption)) item->icon = icon;
}

void toggleTransparency(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  if (g.layeredOn == 0) {
    w.setExStyle(g.layeredExStyle);
    g.layeredOn = 1;
    g.alphaLevel = 125;
    w.setAlpha(g.alphaLevel);
    setMenuIcon(p, "取消透明", icon::kTranslucent);
  } else {
    w.setExStyle(g.plainExStyle);
    setMenuIcon(p, "取消透明", icon::kOpaque);
    g.layeredOn = 0;
  }
}

void startClickThrough(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  g.layeredExStyle = w.exStyle() | ui::Window::kLayeredBit | ui::Window::kTransparentBit;
  w.setExStyle(g.layeredExStyle);
  if (p.host()) {
    p.host()->setVisible(true);
    p.host()->setFocus();
  }
  g.clickThrough = 1;
}

void toggleAvoidance(app::Program& p) {
  app::GlobalState& g = p.g();
  if (g.avoidanceOn == 1) {
    g.avoidanceOn = 0;
    setMenuIcon(p, "图片避让", icon::kAvoidanceOff);
  } else {
    g.avoidanceOn = 1;
    setMenuIcon(p, "图片避让", icon::kAvoidanceOn);
  }
}

void toggleTopmost(app::Program& p) {
  ui::Window& w = *p.main();
  w.setTopmost(!w.topmost());
  setMenuIcon(p, "前置后置", w.topmost() ? icon::kTopmost : icon::kNotTopmost);
}

void hidePicture(app::Program& p) {
  ui::Window& w = *p.main();
  if (p.g().clickThrough == 1) {
    w.setVisible(!w.visible());
    return;
  }
  w.setVisible(false);
  if (p.host()) p.host()->setVisible(true);
}

void restorePicture(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  box.setPicture(g.loadedPicture, g.currentPicturePath);
  image::Size size = viewer::pictureFileSize(g.currentPicturePath);
  if (size.width > 0 && size.height > 0) {
    g.aspectRatio = static_cast<float>(size.height) / static_cast<float>(size.width);
  }
  box.setGeometry(0, 0, w.width(),
                  static_cast<int>(static_cast<double>(w.width()) * g.aspectRatio));
  w.setHeight(box.height());
  w.setAlpha(g.alphaLevel);
}

void toggleRatioMode(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  if (g.ratioLocked == 1) {
    w.setBorder(ui::Window::Border::Sizable);
    g.ratioLocked = 0;
  } else {
    const ui::PictureBox& box = app::pictureBox(p);
    if (box.width() > 0 && box.height() > 0) {
      g.aspectRatio = static_cast<float>(box.height()) / static_cast<float>(box.width());
    }
    w.setBorder(ui::Window::Border::None);
    g.ratioLocked = 1;
  }
}

}  // namespace quillet::ops
