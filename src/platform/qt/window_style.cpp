#include "platform/qt/window_style.h"

namespace quillet::qtui {

Qt::WindowFlags windowFlagsFor(const ui::Window& window) {
  Qt::WindowFlags flags = Qt::Window;
  if (window.border() == ui::Window::Border::None) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
             Qt::WindowCloseButtonHint;
  }
  if (window.topmost()) flags |= Qt::WindowStaysOnTopHint;
  if (window.exStyle() & ui::Window::kTransparentBit) {
    // On X11 an input-transparent window that the window manager still frames
    // swallows the click in the frame; only an unmanaged one lets it through.
    flags |= Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint;
  }
  return flags;
}

double windowOpacityFor(const ui::Window& window) {
  if (!(window.exStyle() & ui::Window::kLayeredBit)) return 1.0;
  return window.alpha() / 255.0;
}

}  // namespace quillet::qtui
