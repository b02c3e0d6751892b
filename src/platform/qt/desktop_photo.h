#pragma once

#include <QtGui/QImage>
#include <QtGui/QScreen>

#include <vector>

namespace quillet::qtui {

// One monitor's photograph and where it lies on the desktop, in the
// windows' geometry.
struct MonitorPhoto {
  QRect geometry;
  QImage pixels;  // device pixels
};

// The monitors' photographs put together into one picture of the whole
// desktop, with its top-left corner at `origin` and `ratio` device pixels to
// one pixel of the windows' geometry: the finest ratio among the monitors,
// so no monitor loses pixels. Area that no monitor shows is black. A null
// image when there is nothing to put together.
struct DesktopPhoto {
  QImage pixels;
  QPoint origin;
  double ratio = 1.0;
};
DesktopPhoto composeDesktop(const std::vector<MonitorPhoto>& monitors);

// Photographs every monitor now.
std::vector<MonitorPhoto> photographMonitors();

}  // namespace quillet::qtui
