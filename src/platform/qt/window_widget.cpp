#include "platform/qt/window_widget.h"

#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QCloseEvent>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtGui/QFocusEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>

#include <utility>

#include "platform/qt/host_face.h"
#include "platform/qt/key_map.h"

namespace quillet::qtui {

namespace {

int wheelDistance(const QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int distance = delta.y() != 0 ? delta.y() : delta.x();
  // Some systems reverse the reported direction; the model wants the wheel's own.
  return event->inverted() ? -distance : distance;
}

bool isPress(const QEvent* event) {
  return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
}

bool isInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return false;
  }
}

}  // namespace

WindowWidget::Busy::Busy(WindowWidget& widget) : widget_(&widget) { ++widget.busy_; }

WindowWidget::Busy::~Busy() {
  if (!widget_) return;
  if (--widget_->busy_ == 0 && widget_->orphaned_) widget_->deleteLater();
}

WindowWidget::WindowWidget(ui::Window& window, WindowWidget* owner)
    : QWidget(owner, Qt::Window),
      window_(&window),
      mirror_(*this, window, [this] { tracker_.stop(); }),
      tracker_(*this, [this](QPoint topLeft) { placeForUser(topLeft); }),
      heldRelease_([this](const HeldRelease::Release& release) { deliverHeldRelease(release); }) {
  setAttribute(Qt::WA_QuitOnClose, false);
  setMinimumSize(0, 0);
  setMouseTracking(true);
  // Files from a file manager; taken only when the model wants them.
  setAcceptDrops(true);
  mirror_.initialise();
  face_ = window.face();
  colour_ = window.colour();
}

WindowWidget::~WindowWidget() = default;

void WindowWidget::runForModel(const std::function<void()>& work) {
  if (!window_) return;
  Busy busy(*this);
  work();
}

ControlAdapter* WindowWidget::adapterOf(const ui::Control* control) const {
  for (const auto& adapter : controls_) {
    if (&adapter->control() == control) return adapter.get();
  }
  return nullptr;
}

ControlAdapter* WindowWidget::adapterReceiving(const QObject* object) const {
  for (const auto& adapter : controls_) {
    if (adapter->receives(object)) return adapter.get();
  }
  return nullptr;
}

QWidget* WindowWidget::controlWidget(const ui::Control& control) const {
  ControlAdapter* adapter = adapterOf(&control);
  return adapter ? adapter->widget() : nullptr;
}

bool WindowWidget::overControl(QPoint position) const {
  for (QWidget* child = childAt(position); child; child = child->parentWidget()) {
    if (child == this) return false;
    if (adapterReceiving(child)) return true;
  }
  return false;
}

QWidget* WindowWidget::focusedControl() const {
  // An inactive window keeps its hidden edit box as focus child; that one
  // takes no keys.
  QWidget* focus = focusWidget();
  if (focus && focus != this && focus->isVisible() && isAncestorOf(focus)) return focus;
  return nullptr;
}

bool WindowWidget::focusKeepsKeys() const {
  QWidget* focus = focusedControl();
  if (!focus) return false;
  const ControlAdapter* adapter = adapterReceiving(focus);
  return !adapter || !adapter->leavesKeysToWindow();
}

// A window the model has hidden, disabled or dropped hears no more of the
// mouse, even when the rest of a click that hid it is still on its way.
bool WindowWidget::takesMouse() const { return takesInput() && window_->visible(); }

// A disabled window takes no keys, drops or close requests either.
bool WindowWidget::takesInput() const { return window_ && window_->enabled(); }

// ---- the model ----

void WindowWidget::mirror(ui::Change what) {
  if (!window_) return;
  if (what == ui::Change::Appearance) {
    face_ = window_->face();
    colour_ = window_->colour();
    update();
    return;
  }
  if (what == ui::Change::Picture) {
    showBackground();
    return;
  }
  if (what == ui::Change::Enabled) {
    applyEnabled();
    return;
  }
  mirror_.apply(what);
}

// Without Q_OBJECT the class is unknown to qobject_cast and findChildren.
std::vector<WindowWidget*> WindowWidget::ownedWidgets() const {
  std::vector<WindowWidget*> owned;
  for (QObject* child : children()) {
    if (auto* window = dynamic_cast<WindowWidget*>(child)) owned.push_back(window);
  }
  return owned;
}

// Qt would grey an owned window with its owner; the model enables each
// window on its own.
void WindowWidget::applyEnabled() {
  if (!window_) return;
  setEnabled(window_->enabled());
  for (WindowWidget* owned : ownedWidgets()) owned->applyEnabled();
}

void WindowWidget::showBackground() {
  const ui::PictureBytes& bytes = window_->backgroundPicture();
  if (background_ && background_->bytes == bytes) return;
  background_ = bytes ? decodeWhole(bytes).picture : nullptr;
  // The picture is painted edge to edge, with the window's own colour beyond it.
  setAttribute(Qt::WA_OpaquePaintEvent, background_ != nullptr);
  update();
}

void WindowWidget::addControl(ui::Control& control) {
  if (!window_) return;
  QWidget* container = this;
  if (ControlAdapter* parent = adapterOf(control.parent())) container = parent->widget();
  auto adapter = makeControlAdapter(control, container, *this);
  if (!adapter) return;
  adapter->routeInputTo(this);
  controls_.push_back(std::move(adapter));
  controls_.back()->mirrorAll();
}

void WindowWidget::mirrorControl(ui::Control& control, ui::Change what) {
  if (ControlAdapter* adapter = adapterOf(&control)) adapter->mirror(what);
}

void WindowWidget::detach() {
  window_ = nullptr;
  for (auto& [context, notice] : std::exchange(detachNotices_, {})) {
    if (context) notice();
  }
  heldRelease_.drop();
  controls_.clear();
  mirror_.detach();
  tracker_.stop();
  // Owned windows go with their owner, as native owned windows do; one whose
  // handler is running leaves the owner first, so that the owner's going
  // does not delete it under that handler.
  for (WindowWidget* owned : ownedWidgets()) {
    if (owned->busy_ > 0) owned->setParent(nullptr, owned->windowFlags());
    owned->detach();
  }
  hide();
  if (busy_ == 0) {
    delete this;
  } else {
    orphaned_ = true;
  }
}

void WindowWidget::whenDetached(QObject* context, std::function<void()> notice) {
  std::erase_if(detachNotices_, [](const auto& entry) { return entry.first.isNull(); });
  detachNotices_.emplace_back(context, std::move(notice));
}

// ---- modal runs ----

void WindowWidget::beginModal() {
  if (!window_ || modalDepth_++ > 0) return;
  // Qt takes a window's modality into account when it is shown.
  hide();
  setWindowModality(Qt::ApplicationModal);
  mirror_.setModal(true);
}

void WindowWidget::comeForward() {
  if (!window_ || !window_->visible()) return;
  if (!isVisible()) mirror_.apply(ui::Change::Visible);
  raise();
  activateWindow();
}

void WindowWidget::endModal() {
  if (modalDepth_ == 0 || --modalDepth_ > 0) return;
  // A window still shown keeps blocking the others until it is shown again
  // without its modality. The behaviour usually drops the window right after
  // its run, so that waits until the handler has returned.
  QTimer::singleShot(0, this, [this] { settleAfterModal(); });
}

void WindowWidget::settleAfterModal() {
  if (!window_ || modalDepth_ > 0 || windowModality() == Qt::NonModal) return;
  const bool shown = isVisible();
  if (shown) hide();
  setWindowModality(Qt::NonModal);
  mirror_.setModal(false);
  if (shown) mirror_.apply(ui::Change::Visible);
}

// ---- moving by hand ----

void WindowWidget::startMove() {
  if (window_) tracker_.request();
}

void WindowWidget::placeForUser(QPoint topLeft) {
  if (!window_) return;
  mirror_.placeForUser(topLeft);
  Busy busy(*this);
  window_->systemMoved(topLeft.x(), topLeft.y());
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
  // A key a text box left alone bubbles up here; it is the box's, not the
  // window's. A slider's or a swatch's leftovers are the window's.
  if (!takesInput() || focusKeepsKeys()) return;
  // With the window itself focused, a canvas in it takes the keys in its stead.
  if (!focusedControl()) {
    for (const auto& adapter : controls_) {
      if (!adapter->takesWindowKeys() || !adapter->widget()->isVisible() ||
          !adapter->widget()->isEnabled()) {
        continue;
      }
      adapter->keyPressed(*event);
      return;
    }
  }
  const int code = virtualKey(describeKey(*event));
  if (code == 0) return;
  Busy busy(*this);
  callHandler(window_->onKeyDown, code, modifierSum(event->modifiers()));
}

void WindowWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!takesInput() || event->isAutoRepeat() || focusKeepsKeys()) return;
  const int code = virtualKey(describeKey(*event));
  if (code == 0) return;
  Busy busy(*this);
  callHandler(window_->onKeyUp, code, modifierSum(event->modifiers()));
}

void WindowWidget::notePress(const QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressAskedMove_ = false;
  leftDownHere_ = false;
  tracker_.pressed(event->globalPosition().toPoint());
}

// Pressing anywhere in a free-moving window drags it, unless the handler of
// the press already started a move.
void WindowWidget::afterLeftDown() {
  if (window_ && window_->freeMove()) tracker_.request();
}

// A double click completes the click whose release is held; any other press
// comes after that release.
void WindowWidget::settleHeldRelease(const QMouseEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && event->button() == Qt::LeftButton) {
    heldRelease_.drop();
  } else {
    heldRelease_.flush();
  }
}

void WindowWidget::deliverHeldRelease(const HeldRelease::Release& release) {
  if (!takesMouse()) return;
  ControlAdapter* adapter = adapterOf(release.control);
  if (release.control && !adapter) return;
  Busy busy(*this);
  callHandler(adapter ? adapter->control().onLeftUp : window_->onLeftUp, release.at.x(),
              release.at.y(), release.modifiers);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) { windowPress(event, false); }

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) { windowPress(event, true); }

// A press on the window's own area; the double click stands in for the second
// press, as it does over controls.
// A click beside an edit box gives the keys back to the window, so that its
// shortcuts work again; typing needs a click into the box.
void WindowWidget::takeKeysBack() {
  if (focusedControl()) setFocus(Qt::MouseFocusReason);
}

void WindowWidget::windowPress(QMouseEvent* event, bool doubleClick) {
  const QPoint at = event->position().toPoint();
  if (!window_ || overControl(at)) return;
  settleHeldRelease(event);
  if (!takesMouse()) return;
  takeKeysBack();
  notePress(event);
  Busy busy(*this);
  const int modifiers = modifierSum(event->modifiers());
  if (event->button() == Qt::LeftButton) {
    leftDownHere_ = true;
    callHandler(doubleClick ? window_->onDoubleClick : window_->onLeftDown, at.x(), at.y(),
                modifiers);
    if (!doubleClick) {
      pressAskedMove_ = tracker_.requested();
      afterLeftDown();
    }
  } else if (event->button() == Qt::RightButton) {
    callHandler(window_->onRightDown, at.x(), at.y(), modifiers);
  }
}

// The release of a press on the window's own area, wherever the pointer is
// now; a release the window manager's move loop would have swallowed is
// handled as over a control.
void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool following = tracker_.following();
  const bool moved = tracker_.released();
  const bool askedMove = std::exchange(pressAskedMove_, false);
  if (!std::exchange(leftDownHere_, false) || following || !takesMouse()) return;
  const QPoint at = event->position().toPoint();
  const int modifiers = modifierSum(event->modifiers());
  if (askedMove) {
    if (!moved) heldRelease_.hold({nullptr, at, modifiers});
    return;
  }
  Busy busy(*this);
  callHandler(window_->onLeftUp, at.x(), at.y(), modifiers);
}

// Moves over the window's own area, with or without a button down, and every
// move while a press on that area is down.
void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!window_) return;
  const QPoint at = event->position().toPoint();
  if (!tracker_.following() && takesMouse() && (leftDownHere_ || !overControl(at))) {
    Busy busy(*this);
    callHandler(window_->onMouseMove, at.x(), at.y(), modifierSum(event->modifiers()));
  }
  if (window_) tracker_.travelled(event->globalPosition().toPoint());
}

void WindowWidget::deliverWheel(const ui::WheelHandler& handler, QWheelEvent* event) {
  const int distance = wheelDistance(event);
  if (distance == 0) return;
  Busy busy(*this);
  callHandler(handler, distance, modifierSum(event->modifiers()));
}

void WindowWidget::wheelEvent(QWheelEvent* event) {
  // A wheel over a control was dealt with by the filter; an edit box's
  // leftover turns must not reach the window as well.
  if (!takesMouse() || overControl(event->position().toPoint())) return;
  deliverWheel(window_->onWheel, event);
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
  ControlAdapter* adapter = window_ ? adapterReceiving(watched) : nullptr;
  if (!adapter) return QWidget::eventFilter(watched, event);
  // A greyed control, or any control of a disabled window, takes no input;
  // Qt would drop it only after this filter has seen it.
  if (!adapter->widget()->isEnabled() && isInput(event)) return true;
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      controlFocus(*adapter, static_cast<QFocusEvent*>(event));
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return controlMouse(*adapter, watched, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
      return controlWheel(*adapter, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
      if (watched == adapter->widget()) adapter->keyPressed(*static_cast<QKeyEvent*>(event));
      return false;
    default:
      return false;
  }
}

// A popup (a menu, a list dropping down) borrows the keyboard and gives it
// back; the control never lost it.
void WindowWidget::controlFocus(ControlAdapter& adapter, const QFocusEvent* event) {
  if (event->reason() == Qt::PopupFocusReason) return;
  const bool in = event->type() == QEvent::FocusIn;
  if (!in && adapter.holdsFocus()) return;
  ui::Control& control = adapter.control();
  runForModel([&] { control.systemFocused(in); });
}

bool WindowWidget::controlMouse(ControlAdapter& adapter, QObject* watched, QMouseEvent* event) {
  if (isPress(event)) {
    // Delivering the held release may destroy the window, and `adapter` with it.
    settleHeldRelease(event);
    if (!window_) return true;
  }
  if (!adapter.reportsMouse()) return false;
  const bool keepsInput = adapter.keepsInput();
  if (isPress(event) && !keepsInput) takeKeysBack();
  const bool leftRelease =
      event->type() == QEvent::MouseButtonRelease && event->button() == Qt::LeftButton;
  if (tracker_.following()) {
    if (event->type() == QEvent::MouseMove) {
      tracker_.travelled(event->globalPosition().toPoint());
    } else if (leftRelease) {
      tracker_.released();
      pressAskedMove_ = false;
    }
    return true;
  }
  ui::Control* control = &adapter.control();
  bool moved = false;
  bool askedMove = false;
  if (leftRelease) {
    moved = tracker_.released();
    askedMove = std::exchange(pressAskedMove_, false);
  }
  if (!takesMouse()) return !keepsInput;
  QPoint at = event->position().toPoint();
  if (watched != adapter.widget()) at = static_cast<QWidget*>(watched)->mapTo(adapter.widget(), at);
  const int modifiers = modifierSum(event->modifiers());
  Busy busy(*this);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      notePress(event);
      if (event->button() == Qt::LeftButton) {
        callHandler(control->onLeftDown, at.x(), at.y(), modifiers);
        pressAskedMove_ = tracker_.requested();
        if (!keepsInput) afterLeftDown();
      } else if (event->button() == Qt::RightButton) {
        callHandler(control->onRightDown, at.x(), at.y(), modifiers);
      }
      break;
    // Qt sends press, release, double click, release: the double click stands
    // in for the second press, as it does on Windows.
    case QEvent::MouseButtonDblClick:
      notePress(event);
      if (event->button() == Qt::LeftButton) {
        callHandler(control->onDoubleClick, at.x(), at.y(), modifiers);
      } else if (event->button() == Qt::RightButton) {
        callHandler(control->onRightDown, at.x(), at.y(), modifiers);
      }
      break;
    case QEvent::MouseButtonRelease:
      if (event->button() == Qt::RightButton) {
        callHandler(control->onRightUp, at.x(), at.y(), modifiers);
        break;
      }
      if (!leftRelease) break;
      if (!askedMove) {
        callHandler(control->onLeftUp, at.x(), at.y(), modifiers);
      } else if (!moved) {
        heldRelease_.hold({control, at, modifiers});
      }
      break;
    case QEvent::MouseMove:
      callHandler(control->onMouseMove, at.x(), at.y(), modifiers);
      if (window_) tracker_.travelled(event->globalPosition().toPoint());
      break;
    default:
      break;
  }
  return !keepsInput;
}

// Over a control the wheel goes to the control's own handler if it has one,
// else to the window's; an edit box without a handler scrolls its text, a slider moves.
bool WindowWidget::controlWheel(ControlAdapter& adapter, QWheelEvent* event) {
  const ui::Control& control = adapter.control();
  if (!takesMouse()) return !adapter.keepsInput();
  if (control.onWheel) {
    deliverWheel(control.onWheel, event);
    return true;
  }
  if (adapter.usesWheel()) return false;
  deliverWheel(window_->onWheel, event);
  return true;
}

// ---- changes made by the window system or the user ----

void WindowWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!window_ || tracker_.following() || !mirror_.movedByOthers(pos())) return;
  Busy busy(*this);
  window_->systemMoved(pos().x(), pos().y());
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!window_ || !mirror_.resizedByOthers(size())) return;
  Busy busy(*this);
  window_->systemResized(size().width(), size().height());
}

namespace {

std::vector<std::string> localFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  return paths;
}

}  // namespace

void WindowWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (takesInput() && window_->onFilesDropped && !localFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void WindowWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (window_ && window_->onFilesDropped) event->acceptProposedAction();
}

void WindowWidget::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = localFiles(event->mimeData());
  if (!window_ || !window_->onFilesDropped || paths.empty()) return;
  event->acceptProposedAction();
  Busy busy(*this);
  callHandler(window_->onFilesDropped, paths);
}

void WindowWidget::closeEvent(QCloseEvent* event) {
  // Closing is the behaviour's decision; the window stays until the model drops it.
  event->ignore();
  if (!takesInput()) return;
  Busy busy(*this);
  callHandler(window_->onCloseRequest);
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
  if (background_) {
    QPainter painter(this);
    paintUnscaled(painter, devicePixelRatioF(), background_->image, QPoint(0, 0), event->region(),
                  ground());
    return;
  }
  if (colour_ >= 0) {
    QPainter painter(this);
    for (const QRect& part : event->region()) painter.fillRect(part, ground());
    return;
  }
  QWidget::paintEvent(event);
}

QColor WindowWidget::ground() const {
  if (colour_ < 0) return palette().color(QPalette::Window);
  return fromModelColour(static_cast<std::uint32_t>(colour_));
}

// ---- the peer ----

// An owned window is a Qt child window of its owner's: the window manager
// keeps it above the owner, and Qt lets it take input while the owner runs
// modally.
QtWindowPeer::QtWindowPeer(ui::Window& window)
    : widget_(new WindowWidget(window, window.owner() ? widgetOf(*window.owner()) : nullptr)) {}

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
