#include "doodle/doodle_board.h"

#include <cmath>
#include <string>
#include <utility>

#include "core/program.h"
#include "core/screens.h"
#include "doodle/doodle_session.h"
#include "doodle/doodle_window.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/image/transform.h"
#include "platform/program_folders.h"
#include "platform/ui/input.h"

namespace quillet::doodle {

namespace {

constexpr int kScreenWait = 200;
constexpr int kFaintAlpha = 25;
constexpr int kSemiTransparentAlpha = 100;
constexpr int kJpegQuality = 80;

// A picture of `width` x `height` window pixels taken at `ratio` device
// pixels each, at the canvas's own density.
image::Bitmap atCanvasDensity(image::Bitmap picture, double ratio, int width, int height,
                              const image::Canvas& canvas) {
  if (picture.empty() || ratio == canvas.scale()) return picture;
  return image::resampleBitmap(picture, static_cast<int>(std::lround(width * canvas.scale())),
                               static_cast<int>(std::lround(height * canvas.scale())));
}

void setBackground(Session& s, const ui::ScreenShot& shot, int width, int height) {
  if (!shot.bmp || shot.bmp->empty()) return;
  auto picture = image::decode(*shot.bmp);
  if (!picture) return;
  image::Canvas& canvas = s.canvas.canvas();
  const image::Bitmap fitted =
      atCanvasDensity(std::move(picture.value), shot.pixelRatio, width, height, canvas);
  s.canvas.showDamage(canvas.setBackground(fitted));
}

ui::Window* colourWindow(Session& s) { return s.p.secondary(kColourWindowKey); }

// The monitor "屏幕" covers: the one holding the picture window.
ui::Monitor boardMonitor(Session& s) {
  if (s.p.main()) return core::screenOf(s.p, *s.p.main());
  return core::monitorHolding(s.p.backend().monitors(), s.doodle.left(), s.doodle.top(),
                              s.doodle.width(), s.doodle.height());
}

// The part of the desktop's photograph that `m` shows, at the canvas's density.
image::Bitmap monitorPart(const ui::ScreenShot& shot, const ui::Monitor& m,
                          const ui::Monitor& desktop, const image::Canvas& canvas) {
  if (!shot.bmp || shot.bmp->empty()) return {};
  auto whole = image::decode(*shot.bmp);
  if (!whole) return {};
  const double r = shot.pixelRatio > 0.0 ? shot.pixelRatio : 1.0;
  auto at = [r](int v) { return static_cast<int>(std::lround(v * r)); };
  image::Bitmap part = image::cropBitmap(whole.value, at(m.left - desktop.left),
                                         at(m.top - desktop.top), at(m.width), at(m.height));
  return atCanvasDensity(std::move(part), r, m.width, m.height, canvas);
}

void photographScreen(Session& s) {
  const ui::Monitor m = boardMonitor(s);
  const ui::Monitor desktop = core::desktopBounds(s.p.backend().monitors());
  const image::Bitmap part = monitorPart(s.p.backend().grabScreen(), m, desktop, s.canvas.canvas());
  if (!part.empty()) s.canvas.showDamage(s.canvas.canvas().setBackground(part));
  s.doodle.setVisible(true);
  placeCanvas(s);
}

void tellStatus(Session& s, std::string text) {
  s.panel.status = std::move(text);
  settle(s);
}

}  // namespace

void takeSnapshot(Session& s) {
  ui::Window* main = s.p.main();
  if (!main) return;
  setBackground(s, s.p.backend().photographWindow(*main), main->width(), main->height());
}

void placeCanvas(Session& s) {
  const ui::Monitor m = boardMonitor(s);
  s.canvas.setGeometry(0, 0, m.width, m.height);
  image::Canvas& canvas = s.canvas.canvas();
  // In the monitor's device pixels, so that strokes, snapshot and saved
  // picture stay sharp on a high-density screen.
  canvas.setScale(m.pixelRatio);
  const auto width = static_cast<int>(std::lround(m.width * canvas.scale()));
  const auto height = static_cast<int>(std::lround(m.height * canvas.scale()));
  if (canvas.width() != width || canvas.height() != height) {
    s.canvas.showDamage(canvas.resize(width, height));
  }
}

void refreshSnapshot(Session& s) {
  takeSnapshot(s);
  if (ui::Window* main = s.p.main()) {
    s.doodle.setWidth(main->width());
    s.doodle.setHeight(main->height());
  }
  placeCanvas(s);
}

void previousPicture(Session& s) {
  s.p.pressMainKey(ui::key::kPageUp, 0);
  if (isOpen(s)) refreshSnapshot(s);
}

void nextPicture(Session& s) {
  s.p.pressMainKey(ui::key::kPageDown, 0);
  if (isOpen(s)) refreshSnapshot(s);
}

void moveDoodleLeft(Session& s) {
  if (ui::Window* main = s.p.main()) s.doodle.setLeft(main->left());
}

void moveDoodleRight(Session& s) {
  if (ui::Window* main = s.p.main()) s.doodle.setLeft(main->left() + main->width());
}

void toggleScreenBoard(Session& s) {
  core::GlobalState& g = s.p.g();
  ui::Window* colour = colourWindow(s);
  if (g.screenBoardOn == 1) {
    if (colour) colour->setVisible(true);
    if (ui::Window* main = s.p.main()) main->setVisible(true);
    g.screenBoardOn = 0;
    return;
  }
  const ui::Monitor m = boardMonitor(s);
  if (colour) {
    colour->move(m.left, m.top);
    colour->setVisible(false);
  }
  if (ui::Window* main = s.p.main()) main->setVisible(false);
  s.doodle.move(m.left, m.top);
  s.doodle.setHeight(m.height);
  s.doodle.setWidth(m.width);
  s.doodle.setVisible(false);
  g.screenBoardOn = 1;
  // The other windows need a moment to leave the screen; the program keeps
  // answering meanwhile instead of sleeping.
  auto& timer = s.doodle.get<ui::Timer>(kScreenTimer);
  core::Program& p = s.p;
  ui::Window* doodle = &s.doodle;
  timer.onTick = [&p, doodle, &s] {
    if (p.secondary(kDoodleWindowKey) != doodle) return;
    doodle->get<ui::Timer>(kScreenTimer).setInterval(0);
    photographScreen(s);
  };
  timer.setInterval(kScreenWait);
}

void toggleSemiTransparent(Session& s) {
  core::GlobalState& g = s.p.g();
  if (g.alphaLevel == 255) {
    g.alphaLevel = kSemiTransparentAlpha;
    s.doodle.setExStyle(g.layeredExStyle);
    s.doodle.setAlpha(kSemiTransparentAlpha);
  } else {
    g.alphaLevel = 255;
    s.doodle.setExStyle(g.doodlePlainExStyle);
  }
}

void faintDoodle(Session& s) { s.doodle.setAlpha(kFaintAlpha); }

void saveDoodle(Session& s) {
  const ui::FileDialogResult chosen =
      s.p.backend().saveFileDialog(&s.doodle, "保存图形文件", "JPG图形文件|*.jpg", "jpg");
  if (!chosen.confirmed || chosen.path.empty() || !isOpen(s)) return;
  const image::Canvas& canvas = s.canvas.canvas();
  const auto width = static_cast<int>(std::lround(s.doodle.width() * canvas.scale()));
  const auto height = static_cast<int>(std::lround(s.doodle.height() * canvas.scale()));
  // A window grown past the canvas shows its own gray beyond it.
  const image::Bitmap picture =
      image::padBitmap(canvas.toBitmap({0, 0, width, height}), width, height, 0xF0F0F0);
  // The picture as a BMP stays in the user's own cache, as the doodle always
  // left it; no other user can plant a link there.
  const std::string cache = folders::privateCacheFolder();
  if (!cache.empty()) files::writeAtomic(cache + "/ImageA.tmp", image::encodeBmp24(picture));
  const auto jpeg = image::encodeJpeg(picture, kJpegQuality);
  if (!jpeg) {
    tellStatus(s, "无法保存：" + jpeg.error);
    return;
  }
  // Through a temporary file and a rename: a failed save never leaves a
  // broken file at the chosen name.
  if (!files::writeAtomic(chosen.path, jpeg.value)) {
    tellStatus(s, "无法保存：不能写入 " + chosen.path);
  }
}

}  // namespace quillet::doodle
