#include "ops/view_keys.h"

#include <string>

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/program.h"
#include "core/screens.h"
#include "platform/ui/input.h"

namespace quillet::ops {

namespace {

constexpr int kNarrowest = 20;
constexpr int kWidthStep = 5;
constexpr int kInfoHeight = 40;

struct Step {
  int dx, dy;
};

Step arrowStep(int key, int distance) {
  switch (key) {
    case ui::key::kDown:
      return {0, distance};
    case ui::key::kUp:
      return {0, -distance};
    case ui::key::kRight:
      return {distance, 0};
    case ui::key::kLeft:
      return {-distance, 0};
    default:
      return {0, 0};
  }
}

void moveBox(ui::PictureBox& box, Step s) {
  box.setLeft(box.left() + s.dx);
  box.setTop(box.top() + s.dy);
}

}  // namespace

void toggleFrame(Program& p) {
  ui::PictureBox& box = core::pictureBox(p);
  box.setBorder(!box.border());
}

void toggleFreeMove(Program& p) {
  ui::Window& w = *p.main();
  w.setFreeMove(!w.freeMove());
}

void showInfoLabel(Program& p) {
  const core::GlobalState& g = p.g();
  const ui::PictureBox& box = core::pictureBox(p);
  ui::Label& label = core::infoLabel(p);
  label.setVisible(true);
  label.setText("原图：" + std::to_string(g.loadedWidth) + "×" + std::to_string(g.loadedHeight) +
                "\r\n现图：" + std::to_string(box.width()) + "×" + std::to_string(box.height()) +
                "\r\n透明：" + std::to_string(core::truncated(g.alphaLevel / 255.0 * 100.0)));
  label.setHeight(kInfoHeight);
}

void hideInfoLabel(Program& p) { core::infoLabel(p).setVisible(false); }

void showShortcutOverlay(Program& p) {
  const ui::Window& w = *p.main();
  ui::Label& label = core::shortcutLabel(p);
  label.setGeometry(0, 0, w.width(), w.height());
  label.setVisible(true);
}

void hideShortcutOverlay(Program& p) { core::shortcutLabel(p).setVisible(false); }

void narrowWindow(Program& p) {
  ui::Window& w = *p.main();
  w.setWidth(w.width() - kWidthStep);
  if (w.width() < kNarrowest) w.setWidth(kNarrowest);
}

void widenWindow(Program& p) {
  ui::Window& w = *p.main();
  const int screenWidth = core::screenOf(p, w).width;
  w.setWidth(w.width() + kWidthStep);
  if (w.width() > screenWidth) w.setWidth(screenWidth);
}

void fitToScreen(Program& p) {
  ui::Window& w = *p.main();
  const ui::Monitor screen = core::screenOf(p, w);
  w.move(screen.left + 20, screen.top + 20);
  w.setWidth(screen.width - 40);
  if (w.height() > screen.height - 100) {
    // The width is taken from the height the screen allows, not from the
    // height the resize handling may have put back, or a tall picture would
    // stay taller than the screen.
    const int height = screen.height - 100;
    w.setHeight(height);
    const float ratio = p.g().aspectRatio;
    if (ratio > 0.0f) w.setWidth(core::truncated(height / static_cast<double>(ratio) - 50.0));
  }
}

void setAlphaByDigit(Program& p, int key) {
  const int digit = key - ui::key::k0;
  if (digit < 0 || digit > 9) return;
  p.main()->setAlpha(digit == 0 ? 255 : digit * 25);
}

void nudge(Program& p, int key) {
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  const int W = w.width(), H = w.height();
  if (box.width() == W) {
    const bool gap = box.top() + box.height() < H || box.top() > 0 ||
                     box.left() + box.width() < W || box.left() > 0;
    if (gap) {
      moveBox(box, arrowStep(key, 10));
    } else {
      const Step s = arrowStep(key, 1);
      w.move(w.left() + s.dx, w.top() + s.dy);
    }
  } else if (box.width() > W) {
    moveBox(box, arrowStep(key, 5));
  }
}

void zoomInByTwo(Program& p) {
  ui::PictureBox& box = core::pictureBox(p);
  p.g().localZoom = 1;
  box.setLeft(box.left() - 1);
  box.setTop(box.top() - 1);
  box.setWidth(box.width() + 2);
  box.setHeight(core::heightFor(p.g().aspectRatio, box.width()));
}

bool zoomOutByTwo(Program& p) {
  core::GlobalState& g = p.g();
  const ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  if (box.width() <= w.width()) return false;
  g.localZoom = 1;
  box.setWidth(box.width() - 2);
  // Back at the window's width the zoom is over, or the window's resizing
  // would no longer fit the picture to it.
  if (box.width() <= w.width()) {
    box.setWidth(w.width());
    g.localZoom = 0;
  }
  box.setHeight(core::heightFor(g.aspectRatio, box.width()));
  if (box.height() < w.height()) {
    box.setHeight(w.height());
    g.localZoom = 0;
  }
  box.setLeft(box.left() + 1);
  box.setTop(box.top() + 1);
  return true;
}

}  // namespace quillet::ops
