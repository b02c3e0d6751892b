#include "capture/selection_board.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/program.h"
#include "core/screens.h"
#include "platform/ui/input.h"

namespace quillet::capture {

namespace {

constexpr const char* kBoardKey = "capture";
constexpr const char* kOutline = "外框";
constexpr const char* kInside = "外框1";
constexpr const char* kFrozen = "区域画板";
constexpr std::uint32_t kYellow = 0x00FFFF;  // 0x00BBGGRR
constexpr std::uint32_t kWhite = 0xFFFFFF;

// What one run of the board works on; lives on captureRegion's stack while
// the board runs.
struct Board {
  core::Program& p;
  ui::Window& window;
  ui::Frame& outline;
  ui::Frame& inside;
  ui::PictureBox& frozen;
  Region drawn{};
  bool movedSincePress = false;
  std::optional<Region> chosen = std::nullopt;
};

// A position on a control of the board as a position on the board, which
// covers the screen from its top-left corner.
void toBoard(const ui::Control& control, int& x, int& y) {
  for (const ui::Control* c = &control; c; c = c->parent()) {
    x += c->left();
    y += c->top();
  }
}

void drawOutline(Board& b, const Region& r) {
  b.outline.setGeometry(r.left, r.top, r.width, r.height);
  b.outline.setVisible(true);
  b.inside.setGeometry(1, 1, r.width - 2, r.height - 2);
  // The frozen screen inside the outline lines up with the screen itself.
  b.frozen.setLeft(-r.left - 1);
  b.frozen.setTop(-r.top - 1);
  b.drawn = r;
}

void press(Board& b, int x, int y) {
  core::GlobalState& g = b.p.g();
  g.selectionDragging = 1;
  g.selectionStart = {x, y};
  b.movedSincePress = false;
  drawOutline(b, {x, y, b.outline.width(), b.outline.height()});
}

void move(Board& b, int x, int y) {
  const core::GlobalState& g = b.p.g();
  if (g.selectionDragging != 1) return;
  // The pointer may leave the board while the button is held; the outline
  // stops at its edge, where the photograph ends.
  x = std::clamp(x, 0, std::max(0, b.window.width() - 1));
  y = std::clamp(y, 0, std::max(0, b.window.height() - 1));
  drawOutline(b, outlineBetween(g.selectionStart[0], g.selectionStart[1], x, y));
  b.movedSincePress = true;
}

void release(Board& b) {
  core::GlobalState& g = b.p.g();
  if (g.selectionDragging != 1) return;
  g.selectionDragging = 0;
  // A click, or an outline too thin to hold a pixel, is no region: the user
  // may drag again rather than get an empty or stale picture.
  if (!b.movedSincePress || b.drawn.width <= 2 || b.drawn.height <= 2) {
    b.outline.setVisible(false);
    return;
  }
  b.chosen = b.drawn;
  b.p.backend().endModal(b.window);
}

ui::Window& build(core::Program& p) {
  // The whole desktop, every monitor: the region may lie on any of them or
  // across their boundary. The photograph starts at the desktop's corner.
  const ui::Monitor desktop = core::desktopBounds(p.backend().monitors());
  ui::Window& w = p.openSecondary(kBoardKey, std::make_unique<ui::Window>(p.backend(), "选择画板"));
  w.setTitle("选择画板");
  w.setBorder(ui::Window::Border::None);
  w.setTopmost(true);
  // Seen only where the photograph does not reach: a screen that changed
  // size since, a photograph that came back smaller than the screen.
  w.setColour(kWhite);
  w.setBackgroundPicture(p.g().screenSnapshot);
  w.move(desktop.left, desktop.top);
  w.setWidth(desktop.width);
  w.setHeight(desktop.height);

  auto& outline = w.add<ui::Frame>(kOutline);
  outline.setGeometry(0, 0, 34, 33);
  outline.setColour(kYellow);
  outline.setVisible(false);
  auto& inside = w.add<ui::Frame>(kInside, &outline);
  inside.setGeometry(1, 1, 32, 31);
  inside.setColour(kWhite);
  auto& frozen = w.add<ui::PictureBox>(kFrozen, &inside);
  frozen.setDisplayMode(0);
  frozen.setPicture(p.g().screenSnapshot);
  frozen.setGeometry(0, 0, desktop.width, desktop.height);
  return w;
}

void bind(Board& b) {
  b.window.onLeftDown = [&b](int x, int y, int) { press(b, x, y); };
  b.window.onMouseMove = [&b](int x, int y, int) { move(b, x, y); };
  b.window.onLeftUp = [&b](int, int, int) { release(b); };
  for (ui::Control* c :
       {static_cast<ui::Control*>(&b.outline), static_cast<ui::Control*>(&b.inside),
        static_cast<ui::Control*>(&b.frozen)}) {
    // A press on the outline is ignored; moves and releases count anywhere.
    c->onMouseMove = [&b, c](int x, int y, int) {
      toBoard(*c, x, y);
      move(b, x, y);
    };
    c->onLeftUp = [&b](int, int, int) { release(b); };
  }
  b.window.onKeyDown = [&b](int key, int) {
    if (key == ui::key::kEscape) b.p.backend().endModal(b.window);
  };
  // Closing the board from the window manager is cancelling, as Esc is.
  b.window.onCloseRequest = [&b] { b.p.backend().endModal(b.window); };
}

}  // namespace

Region outlineBetween(int anchorX, int anchorY, int pointerX, int pointerY) {
  return {std::min(anchorX, pointerX), std::min(anchorY, pointerY), std::abs(pointerX - anchorX),
          std::abs(pointerY - anchorY)};
}

std::optional<Region> selectRegion(core::Program& p) {
  ui::Window& window = build(p);
  Board board{p, window, window.get<ui::Frame>(kOutline), window.get<ui::Frame>(kInside),
              window.get<ui::PictureBox>(kFrozen)};
  bind(board);
  p.g().selectionDragging = 0;
  p.backend().runModal(window);
  // The handlers refer to `board`; none may run once this returns.
  window.onLeftDown = window.onMouseMove = window.onLeftUp = nullptr;
  for (const auto& control : window.controls()) {
    control->onMouseMove = control->onLeftUp = nullptr;
  }
  window.onKeyDown = nullptr;
  window.onCloseRequest = nullptr;
  p.closeSecondary(kBoardKey);
  p.g().selectionDragging = 0;
  if (p.backend().quitRequested()) return std::nullopt;
  return board.chosen;
}

}  // namespace quillet::capture
