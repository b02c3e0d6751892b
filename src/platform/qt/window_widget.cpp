#include "platform/qt/window_widget.h"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include <utility>

#include "platform/qt/edit_widget.h"
#include "platform/qt/host_face.h"
#include "platform/qt/key_map.h"
#include "platform/qt/picture_widget.h"
#include "platform/qt/window_style.h"

namespace quillet::qtui {

namespace {

QColor fromModelColour(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

QString labelText(const std::string& text) {
  return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Handlers are copied before they run: a handler may rebind or destroy the
// very object that holds it.
template <class Handler, class... Args>
void run(const Handler& handler, Args... args) {
  if (!handler) return;
  Handler copy = handler;
  copy(args...);
}

int wheelDistance(const QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int distance = delta.y() != 0 ? delta.y() : delta.x();
  // Some systems reverse the reported direction; the model wants the wheel's own.
  return event->inverted() ? -distance : distance;
}

}  // namespace

// Marks geometry and flag changes made on the model's behalf, so that the
// events they cause synchronously are not reported back as the user's.
class WindowWidget::Applying {
 public:
  explicit Applying(WindowWidget& widget) : widget_(widget) { ++widget_.applying_; }
  ~Applying() { --widget_.applying_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  WindowWidget& widget_;
};

WindowWidget::Busy::Busy(WindowWidget& widget) : widget_(&widget) { ++widget.busy_; }

WindowWidget::Busy::~Busy() {
  if (!widget_) return;
  if (--widget_->busy_ == 0 && widget_->orphaned_) widget_->deleteLater();
}

WindowWidget::WindowWidget(ui::Window& window) : QWidget(nullptr), window_(&window) {
  setAttribute(Qt::WA_QuitOnClose, false);
  setMinimumSize(0, 0);
  setMouseTracking(true);
  {
    Applying applying(*this);
    setWindowFlags(windowFlagsFor(window));
  }
  applyGeometry(true);
  applyOpacity();
  setWindowTitle(QString::fromStdString(window.title()));
  face_ = window.face();
}

WindowWidget::~WindowWidget() = default;

QWidget* WindowWidget::controlWidget(const ui::Control& control) const {
  for (const auto& view : controls_) {
    if (view.control == &control) return view.widget;
  }
  return nullptr;
}

const WindowWidget::ControlView* WindowWidget::viewOf(const QObject* object) const {
  for (const auto& view : controls_) {
    if (view.widget == object) return &view;
    if (auto* edit = dynamic_cast<EditWidget*>(view.widget); edit && edit->viewport() == object) {
      return &view;
    }
  }
  return nullptr;
}

bool WindowWidget::overControl(QPoint position) const {
  for (QWidget* child = childAt(position); child; child = child->parentWidget()) {
    if (child == this) return false;
    if (viewOf(child)) return true;
  }
  return false;
}

bool WindowWidget::editHasFocus() const {
  // An inactive window keeps its hidden edit box as focus child; that one
  // takes no keys.
  QWidget* focus = focusWidget();
  return focus && focus != this && focus->isVisible() && isAncestorOf(focus);
}

// ---- mirroring the model ----

void WindowWidget::mirror(ui::Change what) {
  if (!window_) return;
  switch (what) {
    case ui::Change::Geometry:
      applyGeometry(false);
      break;
    case ui::Change::Visible:
      applyVisible();
      break;
    case ui::Change::Title:
      setWindowTitle(QString::fromStdString(window_->title()));
      break;
    case ui::Change::Style:
      applyStyle();
      break;
    case ui::Change::Alpha:
      applyOpacity();
      break;
    case ui::Change::Focus:
      if (isVisible()) activateWindow();
      setFocus(Qt::OtherFocusReason);
      break;
    case ui::Change::Appearance:
      face_ = window_->face();
      update();
      break;
    case ui::Change::Picture:
    case ui::Change::Text:
      break;
  }
}

void WindowWidget::applyGeometry(bool force) {
  const QPoint position(window_->left(), window_->top());
  const QSize size(window_->width(), window_->height());
  Applying applying(*this);
  if (force || pos() != position) {
    positions_.remember(position);
    move(position);
  }
  if (force || this->size() != size) {
    sizes_.remember(size);
    resize(size);
  }
}

void WindowWidget::applyVisible() {
  if (window_->visible()) {
    applyPendingStyle();
    applyGeometry(false);
    show();
  } else {
    hide();
  }
}

// A shown window is re-created by a flag change, so a run of style setters is
// gathered and applied once when the running handler has returned.
void WindowWidget::applyStyle() {
  if (windowFlagsFor(*window_) == windowFlags()) {
    applyOpacity();
    return;
  }
  if (!isVisible()) {
    recreate(windowFlagsFor(*window_));
    return;
  }
  if (styleScheduled_) return;
  styleScheduled_ = true;
  QTimer::singleShot(0, this, [this] { applyPendingStyle(); });
}

void WindowWidget::applyPendingStyle() {
  if (!styleScheduled_) return;
  styleScheduled_ = false;
  if (!window_) return;
  const Qt::WindowFlags wanted = windowFlagsFor(*window_);
  if (wanted != windowFlags()) recreate(wanted);
  applyOpacity();
}

void WindowWidget::recreate(Qt::WindowFlags flags) {
  if (manualMove_) endManualMove();
  {
    Applying applying(*this);
    // A window manager that framed the old native window unmaps it again while
    // letting go of it, which would hide a window re-shown in place as an
    // unmanaged one; a fresh native window is never touched by that.
    const bool managementChanges = (flags ^ windowFlags()).testFlag(Qt::X11BypassWindowManagerHint);
    if (managementChanges && windowHandle()) {
      hide();
      windowHandle()->destroy();
    }
    setWindowFlags(flags);
  }
  // The new native window starts hidden and may come back at 0,0.
  applyGeometry(true);
  applyOpacity();
  if (window_->visible()) show();
}

void WindowWidget::applyOpacity() { setWindowOpacity(windowOpacityFor(*window_)); }

void WindowWidget::addControl(ui::Control& control) {
  QWidget* widget = nullptr;
  QWidget* container = this;
  for (const auto& view : controls_) {
    if (view.control == control.parent()) container = view.widget;
  }
  switch (control.kind()) {
    case ui::Control::Kind::PictureBox:
      widget = new PictureWidget(container);
      break;
    case ui::Control::Kind::Button: {
      auto* button = new QPushButton(container);
      auto* model = static_cast<ui::Button*>(&control);
      button->setFocusPolicy(Qt::NoFocus);
      connect(button, &QPushButton::clicked, this, [this, model] {
        if (!window_) return;
        Busy busy(*this);
        model->click();
      });
      widget = button;
      break;
    }
    case ui::Control::Kind::GroupBox:
      widget = new QGroupBox(container);
      break;
    case ui::Control::Kind::EditBox: {
      auto* edit = new EditWidget(container);
      auto* box = static_cast<ui::EditBox*>(&control);
      edit->onUserEdit = [this, box](std::string text) {
        if (!window_) return;
        Busy busy(*this);
        box->userEdited(std::move(text));
      };
      edit->viewport()->installEventFilter(this);
      widget = edit;
      break;
    }
    case ui::Control::Kind::Label: {
      auto* label = new QLabel(container);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setMouseTracking(true);
      widget = label;
      break;
    }
  }
  widget->installEventFilter(this);
  controls_.push_back({&control, widget});
  for (auto what : {ui::Change::Geometry, ui::Change::Picture, ui::Change::Text,
                    ui::Change::Appearance, ui::Change::Visible}) {
    mirrorControlContent(controls_.back(), what);
  }
}

void WindowWidget::mirrorControl(ui::Control& control, ui::Change what) {
  for (const auto& view : controls_) {
    if (view.control == &control) {
      mirrorControlContent(view, what);
      return;
    }
  }
}

void WindowWidget::mirrorControlContent(const ControlView& view, ui::Change what) {
  ui::Control& control = *view.control;
  switch (what) {
    case ui::Change::Geometry:
      view.widget->setGeometry(control.left(), control.top(), control.width(), control.height());
      return;
    case ui::Change::Visible:
      view.widget->setVisible(control.visible());
      return;
    default:
      break;
  }
  if (auto* picture = dynamic_cast<PictureWidget*>(view.widget)) {
    const auto& box = static_cast<const ui::PictureBox&>(control);
    if (what == ui::Change::Picture) {
      picture->showPicture(box.picture(), QString::fromStdString(box.origin()),
                           QString::fromStdString(box.problem()));
    } else if (what == ui::Change::Appearance) {
      picture->setLook(fromModelColour(box.background()), box.border());
    }
  } else if (auto* edit = dynamic_cast<EditWidget*>(view.widget)) {
    if (what == ui::Change::Text) edit->showText(static_cast<const ui::EditBox&>(control).text());
    if (what == ui::Change::Appearance) {
      edit->setReadOnly(static_cast<const ui::EditBox&>(control).readOnly());
    }
  } else if (auto* label = dynamic_cast<QLabel*>(view.widget)) {
    if (what == ui::Change::Text) {
      label->setText(labelText(static_cast<const ui::Label&>(control).text()));
    }
  } else if (auto* button = dynamic_cast<QPushButton*>(view.widget)) {
    if (what == ui::Change::Text) {
      button->setText(QString::fromStdString(static_cast<const ui::Button&>(control).caption()));
    }
  } else if (auto* group = dynamic_cast<QGroupBox*>(view.widget)) {
    if (what == ui::Change::Text) {
      group->setTitle(QString::fromStdString(static_cast<const ui::GroupBox&>(control).caption()));
    }
  }
}

void WindowWidget::detach() {
  window_ = nullptr;
  for (const auto& view : controls_) {
    if (auto* edit = dynamic_cast<EditWidget*>(view.widget)) edit->onUserEdit = nullptr;
  }
  controls_.clear();
  styleScheduled_ = false;
  if (manualMove_) endManualMove();
  hide();
  if (busy_ == 0) {
    delete this;
  } else {
    orphaned_ = true;
  }
}

// ---- moving by hand ----

// The move begins once the pointer has travelled with the button held. Asked
// for on the press itself, a quick click could reach the window manager after
// its release and leave the manager dragging the window until the next click.
void WindowWidget::startMove() {
  if (!window_ || !leftHeld_ || moveStarted_) return;
  movePending_ = true;
}

void WindowWidget::continuePendingMove(QPoint global) {
  if (!movePending_ || !leftHeld_) return;
  if ((global - pressGlobal_).manhattanLength() < QApplication::startDragDistance()) return;
  movePending_ = false;
  beginMove();
  if (manualMove_) followPointer(global);
}

void WindowWidget::beginMove() {
  if (!window_ || moveStarted_) return;
  moveStarted_ = true;
  // The window manager ignores move requests for windows it does not manage.
  const bool unmanaged = windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
  if (QWindow* handle = windowHandle(); handle && !unmanaged && handle->startSystemMove()) return;
  beginManualMove();
}

void WindowWidget::beginManualMove() {
  manualMove_ = true;
  grabOffset_ = pressGlobal_ - pos();
  if (isVisible()) grabMouse();
}

void WindowWidget::followPointer(QPoint global) {
  const QPoint target = global - grabOffset_;
  if (!window_ || target == pos()) return;
  {
    Applying applying(*this);
    positions_.remember(target);
    move(target);
  }
  Busy busy(*this);
  window_->systemMoved(target.x(), target.y());
}

void WindowWidget::endManualMove() {
  manualMove_ = false;
  leftHeld_ = false;
  if (QWidget::mouseGrabber() == this) releaseMouse();
}

// ---- input ----

bool WindowWidget::event(QEvent* event) {
  // Tab is a key like any other for the model; Qt would spend it on focus.
  if (event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

bool WindowWidget::focusNextPrevChild(bool) { return false; }

void WindowWidget::keyPressEvent(QKeyEvent* event) {
  // A key the edit box left alone bubbles up here; it is the box's, not the window's.
  if (!window_ || editHasFocus()) return;
  const int code = virtualKey(describeKey(*event));
  if (code == 0) return;
  Busy busy(*this);
  run(window_->onKeyDown, code, modifierSum(event->modifiers()));
}

void WindowWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!window_ || event->isAutoRepeat() || editHasFocus()) return;
  const int code = virtualKey(describeKey(*event));
  if (code == 0) return;
  Busy busy(*this);
  run(window_->onKeyUp, code, modifierSum(event->modifiers()));
}

void WindowWidget::notePress(const QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  leftHeld_ = true;
  moveStarted_ = false;
  pressGlobal_ = event->globalPosition().toPoint();
}

// Pressing anywhere in a free-moving window drags it, unless the handler of
// the press already started a move.
void WindowWidget::afterLeftDown() {
  if (window_ && window_->freeMove() && !moveStarted_) startMove();
}

void WindowWidget::mousePressEvent(QMouseEvent* event) { windowPress(event, false); }

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) { windowPress(event, true); }

// A press on the window's own area; the double click stands in for the second
// press, as it does over controls.
void WindowWidget::windowPress(QMouseEvent* event, bool doubleClick) {
  const QPoint at = event->position().toPoint();
  if (!window_ || overControl(at)) return;
  notePress(event);
  Busy busy(*this);
  const int modifiers = modifierSum(event->modifiers());
  if (event->button() == Qt::LeftButton) {
    run(doubleClick ? window_->onDoubleClick : window_->onLeftDown, at.x(), at.y(), modifiers);
    if (!doubleClick) afterLeftDown();
  } else if (event->button() == Qt::RightButton) {
    run(window_->onRightDown, at.x(), at.y(), modifiers);
  }
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (manualMove_) endManualMove();
  leftHeld_ = false;
  movePending_ = false;
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
  if (manualMove_) followPointer(event->globalPosition().toPoint());
  continuePendingMove(event->globalPosition().toPoint());
}

void WindowWidget::deliverWheel(const ui::WheelHandler& handler, QWheelEvent* event) {
  const int distance = wheelDistance(event);
  if (distance == 0) return;
  Busy busy(*this);
  run(handler, distance, modifierSum(event->modifiers()));
}

void WindowWidget::wheelEvent(QWheelEvent* event) {
  // A wheel over a control was dealt with by the filter; an edit box's
  // leftover turns must not reach the window as well.
  if (!window_ || overControl(event->position().toPoint())) return;
  deliverWheel(window_->onWheel, event);
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
  const ControlView* view = window_ ? viewOf(watched) : nullptr;
  if (!view) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return controlMouse(*view, watched, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
      return controlWheel(*view, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
      if (view->control->kind() == ui::Control::Kind::EditBox && watched == view->widget) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = virtualKey(describeKey(*key));
        if (code != 0) {
          Busy busy(*this);
          run(static_cast<ui::EditBox*>(view->control)->onKeyDown, code,
              modifierSum(key->modifiers()));
        }
      }
      return false;
    default:
      return false;
  }
}

bool WindowWidget::controlMouse(const ControlView& view, QObject* watched, QMouseEvent* event) {
  // A push button reports through its clicked signal.
  if (view.control->kind() == ui::Control::Kind::Button) return false;
  const bool isEdit = view.control->kind() == ui::Control::Kind::EditBox;
  if (manualMove_) {
    if (event->type() == QEvent::MouseMove) {
      followPointer(event->globalPosition().toPoint());
    } else if (event->type() == QEvent::MouseButtonRelease && event->button() == Qt::LeftButton) {
      endManualMove();
    }
    return true;
  }
  QPoint at = event->position().toPoint();
  if (watched != view.widget) at = static_cast<QWidget*>(watched)->mapTo(view.widget, at);
  const int modifiers = modifierSum(event->modifiers());
  ui::Control* control = view.control;
  Busy busy(*this);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      notePress(event);
      if (event->button() == Qt::LeftButton) {
        run(control->onLeftDown, at.x(), at.y(), modifiers);
        if (!isEdit) afterLeftDown();
      } else if (event->button() == Qt::RightButton) {
        run(control->onRightDown, at.x(), at.y(), modifiers);
      }
      break;
    // Qt sends press, release, double click, release: the double click stands
    // in for the second press, as it does on Windows.
    case QEvent::MouseButtonDblClick:
      notePress(event);
      if (event->button() == Qt::LeftButton) {
        run(control->onDoubleClick, at.x(), at.y(), modifiers);
      } else if (event->button() == Qt::RightButton) {
        run(control->onRightDown, at.x(), at.y(), modifiers);
      }
      break;
    case QEvent::MouseButtonRelease:
      if (event->button() == Qt::LeftButton) {
        leftHeld_ = false;
        movePending_ = false;
        run(control->onLeftUp, at.x(), at.y(), modifiers);
      }
      break;
    case QEvent::MouseMove:
      run(control->onMouseMove, at.x(), at.y(), modifiers);
      continuePendingMove(event->globalPosition().toPoint());
      break;
    default:
      break;
  }
  // The edit box still needs its clicks to place the cursor and select.
  return !isEdit;
}

// Over a control the wheel goes to the control's own handler if it has one,
// else to the window's; an edit box without a handler scrolls its text.
bool WindowWidget::controlWheel(const ControlView& view, QWheelEvent* event) {
  if (view.control->onWheel) {
    deliverWheel(view.control->onWheel, event);
    return true;
  }
  if (view.control->kind() == ui::Control::Kind::EditBox) return false;
  deliverWheel(window_->onWheel, event);
  return true;
}

// ---- changes made by the window system or the user ----

void WindowWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!window_ || applying_ || manualMove_ || !isVisible()) return;
  const QPoint now = pos();
  if (now == QPoint(window_->left(), window_->top()) || positions_.contains(now)) return;
  Busy busy(*this);
  window_->systemMoved(now.x(), now.y());
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!window_ || applying_ || !isVisible()) return;
  const QSize now = size();
  if (now == QSize(window_->width(), window_->height()) || sizes_.contains(now)) return;
  Busy busy(*this);
  window_->systemResized(now.width(), now.height());
}

void WindowWidget::closeEvent(QCloseEvent* event) {
  // Closing is the behaviour's decision; the window stays until the model drops it.
  event->ignore();
  if (!window_) return;
  Busy busy(*this);
  run(window_->onCloseRequest);
}

void WindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && window_) {
    window_->systemFocused(isActiveWindow());
  }
}

void WindowWidget::paintEvent(QPaintEvent* event) {
  if (face_ == kHostDotFace) {
    QPainter painter(this);
    paintHostDot(painter);
    return;
  }
  QWidget::paintEvent(event);
}

// ---- the peer ----

QtWindowPeer::QtWindowPeer(ui::Window& window) : widget_(new WindowWidget(window)) {}

QtWindowPeer::~QtWindowPeer() {
  if (widget_) widget_->detach();
}

void QtWindowPeer::windowChanged(ui::Change what) {
  if (widget_) widget_->mirror(what);
}

void QtWindowPeer::controlChanged(ui::Control& control, ui::Change what) {
  if (widget_) widget_->mirrorControl(control, what);
}

void QtWindowPeer::controlAdded(ui::Control& control) {
  if (widget_) widget_->addControl(control);
}

WindowWidget* widgetOf(const ui::Window& window) {
  auto* peer = dynamic_cast<QtWindowPeer*>(window.peer());
  return peer ? peer->widget() : nullptr;
}

}  // namespace quillet::qtui
