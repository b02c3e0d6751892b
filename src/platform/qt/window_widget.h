#pragma once

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/control_adapter.h"
#include "platform/qt/held_release.h"
#include "platform/qt/move_tracker.h"
#include "platform/qt/whole_picture.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/widgets.h"

class QFocusEvent;

namespace quillet::qtui {

// The top-level widget of one model window, with a child widget per control.
// It mirrors the model onto itself and turns input into model events. It
// outlives its model window while one of its own handlers is still running,
// so a handler that destroys its window returns safely.
class WindowWidget : public QWidget, private ControlHost {
 public:
  // `owner` is the widget of the model window's owner, or nullptr.
  WindowWidget(ui::Window& window, WindowWidget* owner);
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
  bool followingPointer() const { return tracker_.following(); }

  // Called when a modal run of the window begins, before it is shown: the
  // window will take all the program's input and stay above its other windows.
  void beginModal();
  // Shows the running window above the others, with the keyboard.
  void comeForward();
  // Called when a modal run of the window ends; runs of one window may nest.
  void endModal();
  // Calls `notice` when the model window goes, unless `context` went first.
  void whenDetached(QObject* context, std::function<void()> notice);

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
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void runForModel(const std::function<void()>& work) override;

  ControlAdapter* adapterOf(const ui::Control* control) const;
  ControlAdapter* adapterReceiving(const QObject* object) const;
  bool overControl(QPoint position) const;
  // The visible control widget that has the window's keyboard, or nullptr.
  QWidget* focusedControl() const;
  // Whether the keys the focused control leaves alone stay its own.
  bool focusKeepsKeys() const;
  bool takesInput() const;
  void applyEnabled();
  // The widgets of the windows this one owns.
  std::vector<WindowWidget*> ownedWidgets() const;
  void controlFocus(ControlAdapter& adapter, const QFocusEvent* event);
  void takeKeysBack();
  bool takesMouse() const;
  void settleHeldRelease(const QMouseEvent* event);
  bool controlMouse(ControlAdapter& adapter, QObject* watched, QMouseEvent* event);
  bool controlWheel(ControlAdapter& adapter, QWheelEvent* event);
  void notePress(const QMouseEvent* event);
  void afterLeftDown();
  void deliverWheel(const ui::WheelHandler& handler, QWheelEvent* event);
  void deliverHeldRelease(const HeldRelease::Release& release);
  void windowPress(QMouseEvent* event, bool doubleClick);
  void placeForUser(QPoint topLeft);
  void showBackground();
  // What the window's own area is filled with where nothing else is drawn.
  QColor ground() const;
  void settleAfterModal();

  ui::Window* window_;
  std::vector<std::unique_ptr<ControlAdapter>> controls_;
  std::string face_;
  // The model's colour for the window's own area; -1 for the system's.
  std::int64_t colour_ = -1;
  int busy_ = 0;
  bool orphaned_ = false;
  // The left press now down asked for a move in its handler.
  bool pressAskedMove_ = false;
  // The left press now down fell on the window's own area: the window has the
  // mouse until its release, over its controls too.
  bool leftDownHere_ = false;
  int modalDepth_ = 0;
  std::shared_ptr<const WholePicture> background_;
  std::vector<std::pair<QPointer<QObject>, std::function<void()>>> detachNotices_;
  WindowMirror mirror_;
  MoveTracker tracker_;
  HeldRelease heldRelease_;
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
