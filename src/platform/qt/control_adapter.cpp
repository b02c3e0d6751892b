#include "platform/qt/control_adapter.h"

#include <QtWidgets/QWidget>

namespace quillet::qtui {

void ControlAdapter::mirror(ui::Change what) {
  switch (what) {
    case ui::Change::Geometry:
      widget_->setGeometry(control_.left(), control_.top(), control_.width(), control_.height());
      return;
    case ui::Change::Visible:
      widget_->setVisible(control_.visible());
      return;
    default:
      mirrorContent(what);
      return;
  }
}

void ControlAdapter::mirrorAll() {
  for (auto what : {ui::Change::Geometry, ui::Change::Picture, ui::Change::Text,
                    ui::Change::Appearance, ui::Change::Visible}) {
    mirror(what);
  }
}

void ControlAdapter::routeInputTo(QObject* filter) { widget_->installEventFilter(filter); }

bool ControlAdapter::receives(const QObject* object) const { return object == widget_; }

void ControlAdapter::keyPressed(const QKeyEvent&) {}

}  // namespace quillet::qtui
