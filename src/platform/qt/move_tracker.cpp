#include "platform/qt/move_tracker.h"

#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <utility>

namespace quillet::qtui {

MoveTracker::MoveTracker(QWidget& window, std::function<void(QPoint)> place)
    : window_(window), place_(std::move(place)) {}

void MoveTracker::pressed(QPoint global) {
  held_ = true;
  requested_ = false;
  started_ = false;
  pressGlobal_ = global;
}

// The move begins once the pointer has travelled with the button held. Asked
// for on the press itself, a quick click could reach the window manager after
// its release and leave the manager dragging the window until the next click.
void MoveTracker::request() {
  if (!held_ || started_) return;
  requested_ = true;
  pending_ = true;
}

void MoveTracker::travelled(QPoint global) {
  if (following_) {
    follow(global);
    return;
  }
  if (!pending_ || !held_) return;
  if ((global - pressGlobal_).manhattanLength() < QApplication::startDragDistance()) return;
  pending_ = false;
  begin();
  if (following_) follow(global);
}

bool MoveTracker::released() {
  stop();
  held_ = false;
  pending_ = false;
  return started_;
}

void MoveTracker::stop() {
  if (!following_) return;
  following_ = false;
  held_ = false;
  if (QWidget::mouseGrabber() == &window_) window_.releaseMouse();
}

void MoveTracker::begin() {
  if (started_) return;
  started_ = true;
  // The window manager ignores move requests for windows it does not manage.
  const bool unmanaged = window_.windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
  if (QWindow* handle = window_.windowHandle(); handle && !unmanaged && handle->startSystemMove()) {
    return;
  }
  following_ = true;
  grabOffset_ = pressGlobal_ - window_.pos();
  if (window_.isVisible()) window_.grabMouse();
}

void MoveTracker::follow(QPoint global) {
  const QPoint target = global - grabOffset_;
  if (target != window_.pos()) place_(target);
}

}  // namespace quillet::qtui
