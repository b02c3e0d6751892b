#include "platform/qt/desktop_photo.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>

#include <algorithm>
#include <cmath>

namespace quillet::qtui {

DesktopPhoto composeDesktop(const std::vector<MonitorPhoto>& monitors) {
  QRect bounds;
  double ratio = 0.0;
  for (const MonitorPhoto& m : monitors) {
    if (m.geometry.isEmpty() || m.pixels.isNull()) continue;
    bounds = bounds.united(m.geometry);
    ratio = std::max(ratio, m.pixels.width() / static_cast<double>(m.geometry.width()));
  }
  if (bounds.isEmpty() || ratio <= 0.0) return {};
  // One monitor, the usual desktop: its photograph as it is, no copy.
  if (monitors.size() == 1) return {monitors[0].pixels, bounds.topLeft(), ratio};

  const auto device = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
  QImage desktop(device(bounds.width()), device(bounds.height()), QImage::Format_RGB32);
  if (desktop.isNull()) return {};
  desktop.fill(Qt::black);
  QPainter painter(&desktop);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (const MonitorPhoto& m : monitors) {
    if (m.geometry.isEmpty() || m.pixels.isNull()) continue;
    const QRect target(device(m.geometry.x() - bounds.x()), device(m.geometry.y() - bounds.y()),
                       device(m.geometry.width()), device(m.geometry.height()));
    painter.drawImage(target, m.pixels);
  }
  painter.end();
  return {desktop, bounds.topLeft(), ratio};
}

std::vector<MonitorPhoto> photographMonitors() {
  std::vector<MonitorPhoto> photos;
  for (QScreen* screen : QGuiApplication::screens()) {
    QImage pixels = screen->grabWindow(0).toImage();
    if (pixels.isNull()) continue;
    pixels.setDevicePixelRatio(1.0);
    photos.push_back({screen->geometry(), std::move(pixels)});
  }
  return photos;
}

}  // namespace quillet::qtui
