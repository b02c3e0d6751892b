#include "doodle/doodle_window.h"

#include <memory>
#include <utility>

#include "core/program.h"
#include "core/screens.h"
#include "doodle/colour_window.h"
#include "doodle/doodle_board.h"
#include "doodle/doodle_commands.h"
#include "doodle/doodle_session.h"
#include "platform/ui/input.h"

namespace quillet::doodle {

namespace {

// The doodle window's designed size; opening always gives it the picture
// window's.
constexpr int kDesignWidth = 166;
constexpr int kDesignHeight = 109;

// Shift and Ctrl turns set the pen's colour and width; every other turn
// resizes the window. One effect a turn, wherever the pointer is.
void wheel(Session& s, int distance, int modifiers) {
  if (modifiers == ui::kShift || modifiers == ui::kCtrl) {
    s.engine.onDoodleWheel(distance, modifiers);
    return;
  }
  const image::Size size =
      onCanvasWheel({s.doodle.width(), s.doodle.height()}, distance, modifiers);
  s.doodle.setWidth(size.width);
  s.doodle.setHeight(size.height);
}

void bindDoodle(const std::shared_ptr<Session>& s) {
  ui::Window& w = s->doodle;
  ui::CanvasBox& canvas = s->canvas;
  core::Program& p = s->p;

  canvas.onLeftDown = onSession(s, [](Session& t, int x, int y, int modifiers) {
    t.engine.onCanvasLeftDown(x, y, modifiers);
  });
  canvas.onMouseMove = onSession(s, [](Session& t, int x, int y, int modifiers) {
    t.engine.onCanvasMouseMove(x, y, modifiers, t.p.main() ? t.p.main()->width() : 0);
  });
  canvas.onLeftUp = onSession(
      s, [](Session& t, int x, int y, int modifiers) { t.engine.onCanvasLeftUp(x, y, modifiers); });
  canvas.onDoubleClick = onSession(s, [](Session& t, int x, int y, int modifiers) {
    t.engine.onCanvasDoubleClick(x, y, modifiers);
    if (modifiers == ui::kAlt) closeDoodleWindow(t.p);
  });
  canvas.onRightDown = onSession(s, [](Session& t, int, int, int) { showPenMenu(t); });
  // The canvas covers the window, so its input is the window's: keys and
  // turns go to one handler each, whichever of the two receives them.
  canvas.onWheel = onSession(s, wheel);
  w.onWheel = onSession(s, wheel);
  canvas.onKeyDown = onSession(s, pressKey);
  w.onKeyDown = onSession(s, pressKey);
  w.onCloseRequest = [&p] { closeDoodleWindow(p); };
  w.onDestroying = [s] {
    s->closed = true;
    core::Program& program = s->p;
    // The colour window is owned by this one and goes first.
    program.closeSecondary(kColourWindowKey);
    if (s->modal) program.backend().endModal(s->doodle);
    if (ui::Window* main = program.main()) main->setVisible(true);
  };
}

void onDoodleCreated(const std::shared_ptr<Session>& s) {
  core::Program& p = s->p;
  core::GlobalState& g = p.g();
  ui::Window& w = s->doodle;
  const ui::Window& main = *p.main();
  beginOpening(g);
  // The raster must be there to take the snapshot in.
  placeCanvas(*s);
  takeSnapshot(*s);
  w.move(main.left(), main.top());
  w.setWidth(main.width());
  w.setHeight(main.height());
  placeCanvas(*s);
  g.doodlePlainExStyle = w.exStyle();
  g.layeredExStyle = g.doodlePlainExStyle | ui::Window::kLayeredBit;
  w.setExStyle(g.layeredExStyle);
  w.setAlpha(g.alphaLevel == 0 ? 255 : g.alphaLevel);
  openColourWindow(s);
}

}  // namespace

Session::Session(core::Program& program, ui::Window& window, ui::CanvasBox& board, bool isModal)
    : p(program),
      doodle(window),
      canvas(board),
      modal(isModal),
      engine(program.g(), board.canvas(), panel, look, program.g().alphaLevel) {}

bool isOpen(const Session& s) { return !s.closed && s.p.secondary(kDoodleWindowKey) == &s.doodle; }

void settle(Session& s) {
  s.canvas.showDamage(s.engine.takeDamage());
  if (s.look.layered) {
    s.doodle.setExStyle(s.p.g().layeredExStyle);
    s.doodle.setAlpha(s.look.alpha);
    s.look = {};
  }
  showPanel(s);
}

void openDoodleWindow(core::Program& p, bool modal) {
  if (!p.main()) return;
  if (ui::Window* open = p.secondary(kDoodleWindowKey)) {
    open->setFocus();
    return;
  }
  auto made = std::make_unique<ui::Window>(p.backend(), "涂鸦窗口");
  ui::Window& w = p.openSecondary(kDoodleWindowKey, std::move(made));
  w.setTitle("涂鸦窗口");
  w.setBorder(ui::Window::Border::None);
  // Over the picture window, which may stay on top of everything.
  w.setTopmost(true);
  w.setWidth(kDesignWidth);
  w.setHeight(kDesignHeight);
  auto& canvas = w.add<ui::CanvasBox>(kCanvasName);
  auto& pen = w.add<ui::PictureBox>("钢笔", &canvas);
  pen.setVisible(false);
  w.add<ui::Timer>(kScreenTimer);

  auto session = std::make_shared<Session>(p, w, canvas, modal);
  bindDoodle(session);
  onDoodleCreated(session);
  if (modal) {
    p.backend().runModal(w);
  } else {
    w.setVisible(true);
    w.setFocus();
  }
}

void closeDoodleWindow(core::Program& p) { p.closeSecondary(kDoodleWindowKey); }

void followMainWindow(core::Program& p, bool resized) {
  if (p.g().colourWindowOpened != 1) return;
  ui::Window* main = p.main();
  ui::Window* doodle = p.secondary(kDoodleWindowKey);
  ui::Window* colour = p.secondary(kColourWindowKey);
  if (!main || !doodle || !colour) return;
  if (resized) {
    doodle->setHeight(main->height());
    doodle->setWidth(main->width());
    return;
  }
  colour->setTop(main->top());
  doodle->setTop(main->top());
  // Measured from the monitor's own left edge, so that a picture window on
  // a monitor right of the primary one keeps the colour window beside it.
  const int room = main->left() - core::screenOf(p, *main).left;
  if (room >= colour->width()) {
    colour->setLeft(main->left() - colour->width());
    doodle->setLeft(main->left() + main->width());
  } else {
    colour->setLeft(main->left() + main->width());
    doodle->setLeft(main->left() + main->width() + colour->width());
  }
}

}  // namespace quillet::doodle
