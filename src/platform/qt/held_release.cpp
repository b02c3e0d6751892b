#include "platform/qt/held_release.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QStyleHints>

#include <utility>

namespace quillet::qtui {

HeldRelease::HeldRelease(std::function<void(const Release&)> deliver)
    : deliver_(std::move(deliver)) {
  timer_.setSingleShot(true);
  // A coarse timer may fire early, while a double click could still come.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { flush(); });
}

void HeldRelease::hold(const Release& release) {
  flush();
  held_ = release;
  timer_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void HeldRelease::drop() {
  timer_.stop();
  held_.reset();
}

void HeldRelease::flush() {
  timer_.stop();
  if (auto release = std::exchange(held_, std::nullopt)) deliver_(*release);
}

}  // namespace quillet::qtui
