#include "core/screens.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/program.h"

namespace quillet::core {
namespace {

std::int64_t overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
  return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// How far a point of the rectangle's span lies outside the monitor's span.
std::int64_t gap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
  if (a1 <= b0) return b0 - a1;
  if (b1 <= a0) return a0 - b1;
  return 0;
}

}  // namespace

ui::Monitor monitorHolding(const std::vector<ui::Monitor>& monitors, int left, int top, int width,
                           int height) {
  if (monitors.empty()) return {};
  // 64 bits: window sizes come from files and scripts and may be extreme.
  const std::int64_t l = left, t = top;
  const std::int64_t r = l + std::max(width, 1), b = t + std::max(height, 1);
  const ui::Monitor* best = nullptr;
  std::int64_t bestArea = 0;
  for (const ui::Monitor& m : monitors) {
    const std::int64_t area = overlap(l, r, m.left, std::int64_t{m.left} + m.width) *
                              overlap(t, b, m.top, std::int64_t{m.top} + m.height);
    // Ties go to the primary monitor, then to the first listed.
    if (area > bestArea || (area == bestArea && area > 0 && m.primary)) {
      best = &m;
      bestArea = area;
    }
  }
  if (best) return *best;
  std::int64_t bestGap = std::numeric_limits<std::int64_t>::max();
  for (const ui::Monitor& m : monitors) {
    const std::int64_t dx = gap(l, r, m.left, std::int64_t{m.left} + m.width);
    const std::int64_t dy = gap(t, b, m.top, std::int64_t{m.top} + m.height);
    const std::int64_t d = dx * dx + dy * dy;
    if (d < bestGap) {
      best = &m;
      bestGap = d;
    }
  }
  return *best;
}

ui::Monitor screenOf(Program& p, const ui::Window& window) {
  return monitorHolding(p.backend().monitors(), window.left(), window.top(), window.width(),
                        window.height());
}

ui::Monitor monitorsUnder(const std::vector<ui::Monitor>& monitors, const ui::Window& window) {
  const std::int64_t l = window.left(), t = window.top();
  const std::int64_t r = l + std::max(window.width(), 1), b = t + std::max(window.height(), 1);
  std::vector<ui::Monitor> under;
  for (const ui::Monitor& m : monitors) {
    if (overlap(l, r, m.left, std::int64_t{m.left} + m.width) > 0 &&
        overlap(t, b, m.top, std::int64_t{m.top} + m.height) > 0)
      under.push_back(m);
  }
  if (under.empty())
    return monitorHolding(monitors, window.left(), window.top(), window.width(), window.height());
  return desktopBounds(under);
}

ui::Monitor desktopBounds(const std::vector<ui::Monitor>& monitors) {
  if (monitors.empty()) return {};
  int left = monitors[0].left, top = monitors[0].top;
  int right = left + monitors[0].width, bottom = top + monitors[0].height;
  double ratio = monitors[0].pixelRatio;
  for (const ui::Monitor& m : monitors) {
    left = std::min(left, m.left);
    top = std::min(top, m.top);
    right = std::max(right, m.left + m.width);
    bottom = std::max(bottom, m.top + m.height);
    if (m.primary) ratio = m.pixelRatio;
  }
  return {left, top, right - left, bottom - top, ratio, true};
}

}  // namespace quillet::core
