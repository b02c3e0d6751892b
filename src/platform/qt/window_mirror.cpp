#include "platform/qt/window_mirror.h"

#include <QtCore/QTimer>
#include <QtGui/QWindow>
#include <QtWidgets/QWidget>

#include <utility>

#include "platform/qt/window_style.h"

namespace quillet::qtui {

// Marks geometry and flag changes made on the model's behalf, so that the
// events they cause synchronously are not reported back as the user's.
class WindowMirror::Applying {
 public:
  explicit Applying(WindowMirror& mirror) : mirror_(mirror) { ++mirror_.applying_; }
  ~Applying() { --mirror_.applying_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  WindowMirror& mirror_;
};

WindowMirror::WindowMirror(QWidget& widget, ui::Window& model, std::function<void()> beforeRecreate)
    : widget_(widget), model_(&model), beforeRecreate_(std::move(beforeRecreate)) {}

void WindowMirror::initialise() {
  {
    Applying applying(*this);
    widget_.setWindowFlags(wantedFlags());
  }
  applyGeometry(true);
  applyOpacity();
  widget_.setWindowTitle(QString::fromStdString(model_->title()));
}

void WindowMirror::apply(ui::Change what) {
  if (!model_) return;
  switch (what) {
    case ui::Change::Geometry:
      applyGeometry(false);
      break;
    case ui::Change::Visible:
      applyVisible();
      break;
    case ui::Change::Title:
      widget_.setWindowTitle(QString::fromStdString(model_->title()));
      break;
    case ui::Change::Style:
      applyStyle();
      break;
    case ui::Change::Alpha:
      applyOpacity();
      break;
    case ui::Change::Focus:
      if (widget_.isVisible()) widget_.activateWindow();
      widget_.setFocus(Qt::OtherFocusReason);
      break;
    default:
      break;
  }
}

void WindowMirror::placeForUser(QPoint topLeft) {
  Applying applying(*this);
  positions_.remember(topLeft);
  widget_.move(topLeft);
}

bool WindowMirror::movedByOthers(QPoint now) {
  if (!model_ || applying_ || !widget_.isVisible()) return false;
  return now != QPoint(model_->left(), model_->top()) && !positions_.contains(now);
}

bool WindowMirror::resizedByOthers(QSize now) {
  if (!model_ || applying_ || !widget_.isVisible()) return false;
  return now != QSize(model_->width(), model_->height()) && !sizes_.contains(now);
}

void WindowMirror::setModal(bool modal) {
  if (!model_ || modal == modal_) return;
  modal_ = modal;
  applyFlags(wantedFlags());
}

Qt::WindowFlags WindowMirror::wantedFlags() const {
  Qt::WindowFlags flags = windowFlagsFor(*model_);
  if (modal_) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

void WindowMirror::detach() {
  model_ = nullptr;
  styleScheduled_ = false;
}

void WindowMirror::applyGeometry(bool force) {
  const QPoint position(model_->left(), model_->top());
  const QSize size(model_->width(), model_->height());
  Applying applying(*this);
  if (force || widget_.pos() != position) {
    positions_.remember(position);
    widget_.move(position);
  }
  if (force || widget_.size() != size) {
    sizes_.remember(size);
    widget_.resize(size);
  }
}

void WindowMirror::applyVisible() {
  if (model_->visible()) {
    applyPendingStyle();
    applyGeometry(false);
    widget_.show();
  } else {
    widget_.hide();
  }
}

// Re-creating a shown window hides it for a moment, so a run of style setters
// is gathered and applied once when the running handler has returned.
void WindowMirror::applyStyle() {
  const Qt::WindowFlags wanted = wantedFlags();
  const Qt::WindowFlags differing = wanted ^ widget_.windowFlags();
  if (differing == Qt::WindowStaysOnTopHint) changeStaysOnTop(wanted);
  if (differing == Qt::WindowStaysOnTopHint || !differing) {
    applyOpacity();
    return;
  }
  if (!widget_.isVisible()) {
    recreate(wanted);
    return;
  }
  if (styleScheduled_) return;
  styleScheduled_ = true;
  QTimer::singleShot(0, &widget_, [this] { applyPendingStyle(); });
}

void WindowMirror::applyPendingStyle() {
  if (!styleScheduled_) return;
  styleScheduled_ = false;
  if (!model_) return;
  applyFlags(wantedFlags());
  applyOpacity();
}

void WindowMirror::applyFlags(Qt::WindowFlags wanted) {
  const Qt::WindowFlags differing = wanted ^ widget_.windowFlags();
  if (differing == Qt::WindowStaysOnTopHint) {
    changeStaysOnTop(wanted);
  } else if (differing) {
    recreate(wanted);
  }
}

// The stacking hint alone can change on the native window as it is; the
// widget is told without passing it on, which would hide and re-show it.
void WindowMirror::changeStaysOnTop(Qt::WindowFlags wanted) {
  widget_.overrideWindowFlags(wanted);
  QWindow* handle = widget_.windowHandle();
  if (!handle) return;
  Qt::WindowFlags flags = handle->flags();
  flags.setFlag(Qt::WindowStaysOnTopHint, wanted.testFlag(Qt::WindowStaysOnTopHint));
  handle->setFlags(flags);
}

void WindowMirror::recreate(Qt::WindowFlags flags) {
  beforeRecreate_();
  {
    Applying applying(*this);
    // A window manager that framed the old native window unmaps it again while
    // letting go of it, which would hide a window re-shown in place as an
    // unmanaged one; a fresh native window is never touched by that.
    const bool managementChanges =
        (flags ^ widget_.windowFlags()).testFlag(Qt::X11BypassWindowManagerHint);
    if (managementChanges && widget_.windowHandle()) {
      widget_.hide();
      widget_.windowHandle()->destroy();
    }
    widget_.setWindowFlags(flags);
  }
  // The new native window starts hidden and may come back at 0,0.
  applyGeometry(true);
  applyOpacity();
  if (model_->visible()) widget_.show();
}

void WindowMirror::applyOpacity() { widget_.setWindowOpacity(windowOpacityFor(*model_)); }

}  // namespace quillet::qtui
