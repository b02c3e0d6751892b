#pragma once

#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtCore/QSize>
#include <QtWidgets/QWidget>

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/widgets.h"

namespace quillet::qtui {

// Geometries this program asked for lately. The window system answers each
// request with an event that may arrive after a newer request; such a late
// answer is an echo, not a change made by the user.
template <class T>
class RecentRequests {
 public:
  void remember(const T& value) {
    forgetOld();
    entries_.push_back({value, Clock::now()});
    if (entries_.size() > kKeep) entries_.pop_front();
  }
  bool contains(const T& value) {
    forgetOld();
    for (const auto& e : entries_) {
      if (e.value == value) return true;
    }
    return false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kKeep = 16;
  static constexpr auto kLifetime = std::chrono::seconds(2);
  struct Entry {
    T value;
    Clock::time_point when;
  };
  void forgetOld() {
    const auto now = Clock::now();
    while (!entries_.empty() && now - entries_.front().when > kLifetime) entries_.pop_front();
  }
  std::deque<Entry> entries_;
};

// The top-level widget of one model window, with a child widget per control.
// It mirrors the model onto itself and turns input into model events. It
// outlives its model window while one of its own handlers is still running,
// so a handler that destroys its window returns safely.
class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(ui::Window& window);
  ~WindowWidget() override;

  // Keeps the widget alive while a handler or a dialog runs on its behalf.
  class Busy {
   public:
    explicit Busy(WindowWidget& widget);
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    QPointer<WindowWidget> widget_;
  };

  // The model window; nullptr once it has been destroyed.
  ui::Window* model() const { return window_; }
  QWidget* controlWidget(const ui::Control& control) const;

  // Called by the peer after the model changed.
  void mirror(ui::Change what);
  void mirrorControl(ui::Control& control, ui::Change what);
  void addControl(ui::Control& control);
  // Called when the model window is destroyed; deletes the widget now or,
  // when one of its handlers is running, as soon as that returns.
  void detach();

  // Makes the window follow the pointer while the left button stays down,
  // from the moment the pointer starts travelling.
  void startMove();
  bool followingPointer() const { return manualMove_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct ControlView {
    ui::Control* control;
    QWidget* widget;
  };
  class Applying;

  const ControlView* viewOf(const QObject* object) const;
  bool overControl(QPoint position) const;
  bool editHasFocus() const;
  bool controlMouse(const ControlView& view, QObject* watched, QMouseEvent* event);
  bool controlWheel(const ControlView& view, QWheelEvent* event);
  void notePress(const QMouseEvent* event);
  void afterLeftDown();
  void deliverWheel(const ui::WheelHandler& handler, QWheelEvent* event);

  void applyGeometry(bool force);
  void applyVisible();
  void applyStyle();
  void applyPendingStyle();
  void recreate(Qt::WindowFlags flags);
  void applyOpacity();
  void mirrorControlContent(const ControlView& view, ui::Change what);

  void windowPress(QMouseEvent* event, bool doubleClick);
  void continuePendingMove(QPoint global);
  void beginMove();
  void beginManualMove();
  void followPointer(QPoint global);
  void endManualMove();

  ui::Window* window_;
  std::vector<ControlView> controls_;
  std::string face_;
  int busy_ = 0;
  bool orphaned_ = false;
  int applying_ = 0;
  bool styleScheduled_ = false;
  RecentRequests<QPoint> positions_;
  RecentRequests<QSize> sizes_;

  bool leftHeld_ = false;
  bool moveStarted_ = false;
  bool movePending_ = false;
  bool manualMove_ = false;
  QPoint pressGlobal_;
  QPoint grabOffset_;
};

// The model's view of a WindowWidget.
class QtWindowPeer : public ui::WindowPeer {
 public:
  explicit QtWindowPeer(ui::Window& window);
  ~QtWindowPeer() override;
  QtWindowPeer(const QtWindowPeer&) = delete;
  QtWindowPeer& operator=(const QtWindowPeer&) = delete;

  void windowChanged(ui::Change what) override;
  void controlChanged(ui::Control& control, ui::Change what) override;
  void controlAdded(ui::Control& control) override;

  WindowWidget* widget() const { return widget_; }

 private:
  QPointer<WindowWidget> widget_;
};

// The widget showing `window`; nullptr when another backend made its peer.
WindowWidget* widgetOf(const ui::Window& window);

}  // namespace quillet::qtui
