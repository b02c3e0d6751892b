#include "capture/capture.h"

#include <algorithm>
#include <cmath>

#include "capture/save_capture.h"
#include "capture/selection_board.h"
#include "core/main_controls.h"
#include "core/picture_files.h"
#include "core/program.h"
#include "core/screens.h"
#include "platform/image/transform.h"

namespace quillet::capture {

namespace {

// The inside of the outline in the photograph's own pixels.
image::Bitmap cutOut(const core::GlobalState& g, const Region& outline) {
  auto frozen = image::decode(*g.screenSnapshot);
  if (!frozen) return {};
  const double r = g.screenPixelRatio;
  const auto at = [r](int v) { return static_cast<int>(std::lround(v * r)); };
  const int left = at(outline.left + 1), top = at(outline.top + 1);
  const int right = at(outline.left + outline.width - 1);
  const int bottom = at(outline.top + outline.height - 1);
  return image::cropBitmap(frozen.value, left, top, right - left, bottom - top);
}

// No modal box: the user is tracing; the words stay until the next click.
void tell(core::Program& p, const std::string& what, const std::string& why) {
  ui::Label& label = core::infoLabel(p);
  label.setText(what + "\r\n" + why);
  label.setWidth(std::max(label.width(), p.main()->width()));
  label.setHeight(40);
  label.setVisible(true);
}

}  // namespace

void captureRegion(core::Program& p) {
  if (!p.main()) return;
  core::GlobalState& g = p.g();
  ui::ScreenShot shot = p.backend().grabScreen();
  if (!shot.bmp || shot.bmp->empty()) {
    // No screen at all, or a window system that keeps the screen from
    // programs (Wayland without XWayland).
    tell(p, "无法截取屏幕", "没有屏幕，或窗口系统不让程序读取屏幕");
    return;
  }
  g.screenSnapshot = std::move(shot.bmp);
  g.screenPixelRatio = shot.pixelRatio > 0.0 ? shot.pixelRatio : 1.0;

  const std::optional<Region> outline = selectRegion(p);
  if (!p.main()) return;
  if (outline) {
    // On the desktop, where the board began, so the picture opens over
    // the region on whichever monitor it was.
    const ui::Monitor desktop = core::desktopBounds(p.backend().monitors());
    g.captureOrigin.x = desktop.left + outline->left;
    g.captureOrigin.y = desktop.top + outline->top;
    const image::Bitmap picture = cutOut(g, *outline);
    const Saved saved = saveCapture(p, picture);
    if (saved.path.empty()) {
      tell(p, "无法保存截图", saved.problem);
    } else {
      core::showPictureFile(p, saved.path);
    }
  }
  if (p.main()) p.main()->setFocus();
}

}  // namespace quillet::capture
