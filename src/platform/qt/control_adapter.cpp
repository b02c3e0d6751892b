#include "platform/qt/control_adapter.h"

#include <QtGui/QColor>
#include <QtWidgets/QWidget>

namespace quillet::qtui {

QColor fromModelColour(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

void ControlAdapter::mirror(ui::Change what) {
  switch (what) {
    case ui::Change::Geometry:
      widget_->setGeometry(control_.left(), control_.top(), control_.width(), control_.height());
      return;
    case ui::Change::Visible:
      widget_->setVisible(control_.visible());
      return;
    case ui::Change::Focus:
      takeFocus();
      return;
    case ui::Change::Enabled:
      widget_->setEnabled(control_.enabled());
      return;
    default:
      mirrorContent(what);
      return;
  }
}

// Focus is an act, not a state to show; visibility comes last, so that the
// widget appears with everything else in place.
void ControlAdapter::mirrorAll() {
  for (auto what : ui::kChanges) {
    if (what != ui::Change::Focus && what != ui::Change::Visible) mirror(what);
  }
  mirror(ui::Change::Visible);
}

// A control that takes no keys of its own (a picture box, a frame) would swallow
// them as focus widget; its window takes the focus instead, so that the keys
// still reach the window's handlers.
void ControlAdapter::takeFocus() {
  QWidget* window = widget_->window();
  if (window->isVisible()) {
    window->raise();
    window->activateWindow();
  }
  QWidget* target = widget_->focusPolicy() == Qt::NoFocus ? window : widget_;
  target->setFocus(Qt::OtherFocusReason);
}

void ControlAdapter::routeInputTo(QObject* filter) { widget_->installEventFilter(filter); }

bool ControlAdapter::receives(const QObject* object) const { return object == widget_; }

void ControlAdapter::keyPressed(const QKeyEvent&) {}

}  // namespace quillet::qtui
