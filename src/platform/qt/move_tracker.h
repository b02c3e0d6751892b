#pragma once

#include <QtCore/QPoint>

#include <functional>

class QWidget;

namespace quillet::qtui {

// Moves a top-level window with the pointer while the left button stays down,
// once the model has asked for it: through the window manager when it can,
// else by following the pointer itself.
class MoveTracker {
 public:
  // `place` puts the window's top-left corner at a new spot on the user's behalf.
  MoveTracker(QWidget& window, std::function<void(QPoint topLeft)> place);

  // Called for every left press in the window, a double click included.
  void pressed(QPoint global);
  // Called when the model asks for a move; only a held button can move the window.
  void request();
  // Whether a move was asked for since the last press.
  bool requested() const { return requested_; }
  // Called whenever the pointer travels over the window or while it is grabbed.
  void travelled(QPoint global);
  // Called when the left button comes up; whether the window had begun moving.
  bool released();
  // Ends following the pointer: the native window is about to go.
  void stop();
  bool following() const { return following_; }

 private:
  void begin();
  void follow(QPoint global);

  QWidget& window_;
  std::function<void(QPoint)> place_;
  bool held_ = false;
  bool requested_ = false;
  bool pending_ = false;
  bool started_ = false;
  bool following_ = false;
  QPoint pressGlobal_;
  QPoint grabOffset_;
};

}  // namespace quillet::qtui
