#include "viewer/mouse.h"

#include <algorithm>

#include "app/main_window.h"
#include "app/names.h"
#include "app/program.h"
#include "notes/text_note.h"
#include "platform/ui/input.h"

namespace quillet::viewer {

namespace {

int truncated(double v) { return static_cast<int>(v); }

int heightFor(const app::GlobalState& g, int width) {
  return truncated(static_cast<double>(width) * static_cast<double>(g.aspectRatio));
}

// Flees 5 pixels per axis from the half of the picture the pointer is in.
void avoidanceStep(app::Program& p, int x, int y) {
  ui::Window& w = *p.main();
  const ui::PictureBox& box = app::pictureBox(p);
  ui::ScreenSize screen = p.backend().screenSize();
  if (x > box.width() / 2) {
    w.setLeft(w.left() - 5);
    if (w.left() < 0) w.setLeft(0);
  } else {
    w.setLeft(w.left() + 5);
    if (w.left() + w.width() > screen.width) w.setLeft(screen.width - w.width());
  }
  if (y > box.height() / 2) {
    w.setTop(w.top() - 5);
    if (w.top() < 0) w.setTop(0);
  } else {
    w.setTop(w.top() + 5);
    if (w.top() + w.height() > screen.height) w.setTop(screen.height - w.height());
  }
}

void resizeInNoteMode(app::Program& p, int x, int y) {
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  ui::EditBox& note = app::noteBox(p);
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

void bakeView(app::Program& p) {
  ui::Window& w = *p.main();
  app::pictureBox(p).setPicture(p.backend().snapshot(w), "");
  app::pictureBox(p).setGeometry(0, 0, w.width(), w.height());
  p.g().localZoom = 0;
}

void onMainWheel(app::Program& p, int d, int m) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  if (m == ui::kCtrl) {
    ui::EditBox& note = app::noteBox(p);
    if (note.visible()) {
      w.setHeight(d < 0 ? w.height() + 80 : w.height() - 80);
      note.setHeight(w.height() - 43);
      note.setWidth(w.width() - 19);
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

void onPictureMouseMove(app::Program& p, int x, int y, int m) {
  app::GlobalState& g = p.g();
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
    if (app::noteBox(p).visible()) {
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

void onPictureDoubleClick(app::Program& p, int x, int y, int m) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  const int W = w.width(), H = w.height();
  if (m == ui::kAlt) {
    if (box.width() >= W + 3) return;
    if (g.clickThrough == 1) {
      w.setVisible(!w.visible());
    } else {
      p.main()->get<ui::Label>(app::kInfoLabel).setVisible(false);
      w.setVisible(false);
      if (p.host()) p.host()->setVisible(true);
    }
    return;
  }
  if (app::noteBox(p).visible()) {
    notes::leaveTextNote(p);
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

void onPictureLeftUp(app::Program& p, int x, int y, int m) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  p.main()->get<ui::Label>(app::kInfoLabel).setVisible(false);
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

void onAltReleased(app::Program& p) {
  app::GlobalState& g = p.g();
  ui::Window& w = *p.main();
  ui::PictureBox& box = app::pictureBox(p);
  box.setDisplayMode(1);
  int windowRatio = w.width() > 0 ? w.height() / w.width() : 0;
  if (windowRatio != truncated(g.aspectRatio)) {
    w.setWidth(w.width() + 1);
    box.setBackground(0);
  }
}

void bindPictureMouse(app::Program& p, ui::Window& window, ui::PictureBox& box) {
  box.onLeftDown = [&p](int, int, int) {
    if (p.main()) p.backend().startSystemMove(*p.main());
  };
  box.onRightDown = [&p](int, int, int) {
    if (p.main()) p.main()->popupMenu(p.main()->menu());
  };
  box.onMouseMove = [&p](int x, int y, int m) { onPictureMouseMove(p, x, y, m); };
  box.onDoubleClick = [&p](int x, int y, int m) { onPictureDoubleClick(p, x, y, m); };
  box.onLeftUp = [&p](int x, int y, int m) { onPictureLeftUp(p, x, y, m); };
  window.onRightDown = box.onRightDown;
  window.onWheel = [&p](int d, int m) { onMainWheel(p, d, m); };
}

}  // namespace quillet::viewer
