#pragma once

#include <QtCore/QPoint>
#include <QtCore/QTimer>

#include <functional>
#include <optional>

#include "platform/ui/widgets.h"

namespace quillet::qtui {

// The release of a click whose press asked to move the window. A window
// manager's move loop takes the button from the press on and swallows its
// release; when the pointer never travelled the release is handed on, but
// only once no double click can follow, so that a double click reaches the
// behaviour as press, double click, release.
class HeldRelease {
 public:
  struct Release {
    ui::Control* control;  // nullptr: the window's own area
    QPoint at;
    int modifiers;
  };

  // `deliver` is called with a release that is due.
  explicit HeldRelease(std::function<void(const Release&)> deliver);

  // Keeps `release` back for the double-click interval.
  void hold(const Release& release);
  // Called when a double click arrives: the click it completes lost its release.
  void drop();
  // Called when any other press arrives: the release came before it.
  void flush();

 private:
  std::function<void(const Release&)> deliver_;
  std::optional<Release> held_;
  QTimer timer_;
};

}  // namespace quillet::qtui
