#include "viewer/mouse.h"

#include <algorithm>

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/note_mode.h"
#include "core/program.h"
#include "core/screens.h"
#include "platform/ui/input.h"

namespace quillet::viewer {

namespace {

using core::truncated;

int heightFor(const core::GlobalState& g, int width) {
  return core::heightFor(g.aspectRatio, width);
}

// Flees 5 pixels per axis from the half of the picture the pointer is in.
void avoidanceStep(Program& p, int x, int y) {
  ui::Window& w = *p.main();
  const ui::PictureBox& box = core::pictureBox(p);
  const ui::Monitor screen = core::screenOf(p, w);
  const int right = screen.left + screen.width, bottom = screen.top + screen.height;
  if (x > box.width() / 2) {
    w.setLeft(w.left() - 5);
    if (w.left() < screen.left) w.setLeft(screen.left);
  } else {
    w.setLeft(w.left() + 5);
    if (w.left() + w.width() > right) w.setLeft(right - w.width());
  }
  if (y > box.height() / 2) {
    w.setTop(w.top() - 5);
    if (w.top() < screen.top) w.setTop(screen.top);
  } else {
    w.setTop(w.top() + 5);
    if (w.top() + w.height() > bottom) w.setTop(bottom - w.height());
  }
}

void resizeInNoteMode(Program& p, int x, int y) {
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  ui::EditBox& note = core::noteBox(p);
  auto bottomFollows = [&] {
    box.setHeight(y + 10);
    w.setHeight(box.height());
    note.setHeight(box.height() - 11);
  };
  if (y < w.height() - 10) w.setWidth(x + 10);
  if (x < w.width() - 10) bottomFollows();
  if (x >= w.width() - 10 && y >= w.height() - 10) {
    w.setWidth(x + 10);
    bottomFollows();
  }
}

}  // namespace

void bakeView(Program& p) {
  ui::Window& w = *p.main();
  core::pictureBox(p).setPicture(p.backend().snapshot(w), "");
  core::pictureBox(p).setGeometry(0, 0, w.width(), w.height());
  p.g().localZoom = 0;
}

void onMainWheel(Program& p, int d, int m) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  if (m == ui::kCtrl) {
    if (core::noteBox(p).visible()) {
      w.setHeight(d < 0 ? w.height() + 80 : w.height() - 80);
      core::fitNoteBox(p);
      box.setHeight(w.height());
    } else {
      w.setWidth(d < 0 ? w.width() + 1 : w.width() - 1);
    }
    return;
  }
  if (m == ui::kAlt) {
    if (d < 0) {
      box.setLeft(box.left() - 25);
      box.setTop(box.top() - 25);
      box.setWidth(box.width() + 50);
      box.setHeight(heightFor(g, box.width()));
    } else {
      box.setWidth(std::max(box.width() - 50, w.width()));
      box.setHeight(std::max(heightFor(g, box.width()), w.height()));
      box.setLeft(std::min(box.left() + 25, 0));
      box.setTop(std::min(box.top() + 25, 0));
    }
    return;
  }
  if (g.localZoom == 1) bakeView(p);
  w.setWidth(d < 0 ? w.width() + 80 : w.width() - 80);
}

void onPictureLeftDown(Program& p) {
  if (p.main()) p.backend().startSystemMove(*p.main());
}

void onPictureMouseMove(Program& p, int x, int y, int m) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  if (m == ui::kAlt) {
    if (g.localZoom == 1) bakeView(p);
    w.setWidth(truncated(x * 3.0 / 2.0));
    w.setHeight(truncated(y * 3.0 / 2.0));
  } else if (m == ui::kShift) {
    w.setExStyle(g.layeredExStyle);
    int width = std::max(w.width(), 1);
    g.alphaLevel = std::min(truncated(static_cast<double>(x) / width * 255.0) + 20, 255);
    w.setAlpha(g.alphaLevel);
  } else if (m == ui::kCtrl) {
    if (g.localZoom == 1) bakeView(p);
    if (core::noteBox(p).visible()) {
      resizeInNoteMode(p, x, y);
    } else {
      w.setWidth(truncated(x * 3.0 / 2.0));
    }
  } else if (g.avoidanceOn == 1) {
    avoidanceStep(p, x, y);
    avoidanceStep(p, x, y);
  }
  if (p.host() && p.main()) p.host()->move(p.main()->left() - 15, p.main()->top() - 15);
}

void onPictureDoubleClick(Program& p, int x, int y, int m) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  const int W = w.width(), H = w.height();
  if (m == ui::kAlt) {
    if (box.width() >= W + 3) return;
    if (g.clickThrough == 1) {
      w.setVisible(!w.visible());
    } else {
      core::infoLabel(p).setVisible(false);
      w.setVisible(false);
      if (p.host()) p.host()->setVisible(true);
    }
    return;
  }
  if (core::noteBox(p).visible()) {
    core::leaveTextNote(p);
    return;
  }
  g.localZoom = 1;
  box.setWidth(box.width() * 2);
  box.setHeight(heightFor(g, box.width()));
  box.setLeft(truncated(-W / 2.0 - 2.0 * (x - W / 2.0)));
  box.setTop(truncated(-H / 2.0 - 2.0 * (y - H / 2.0)));
  if (box.left() > 0) box.setLeft(0);
  if (box.top() > 0) box.setTop(0);
  if (box.left() + box.width() < W) box.setLeft(W - box.width());
  if (box.top() + box.height() < H) box.setTop(H - box.height());
}

void onPictureLeftUp(Program& p, int x, int y, int m) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  core::infoLabel(p).setVisible(false);
  if (m != ui::kAlt) return;
  const int W = w.width(), H = w.height();
  box.setWidth(W + x);
  box.setHeight(heightFor(g, box.width()));
  box.setLeft(truncated(-x / 2.0));
  box.setTop(truncated(-y / 2.0));
  if (box.width() < W) box.setWidth(W);
  if (box.height() < H) box.setHeight(H);
  if (box.left() > 0) box.setLeft(0);
  if (box.top() > 0) box.setTop(0);
  if (box.left() + box.width() < W) box.setLeft(0);
  if (box.top() + box.height() < H) box.setTop(0);
}

void onAltReleased(Program& p) {
  core::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = core::pictureBox(p);
  box.setDisplayMode(1);
  int windowRatio = w.width() > 0 ? w.height() / w.width() : 0;
  if (windowRatio != truncated(g.aspectRatio)) {
    w.setWidth(w.width() + 1);
    box.setBackground(0);
  }
}

}  // namespace quillet::viewer
