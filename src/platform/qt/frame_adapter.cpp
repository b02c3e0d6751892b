#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QWidget>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// One colour, edge to edge. Declared opaque, so that what lies under it is
// not painted first: a selection outline moves over a screen-sized picture on
// every step of the mouse.
class FrameWidget : public QWidget {
 public:
  explicit FrameWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }

  void setColour(QColor colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    for (const QRect& part : event->region()) painter.fillRect(part, colour_);
  }

 private:
  QColor colour_ = Qt::white;
};

class FrameAdapter : public AdapterFor<ui::Frame, FrameWidget> {
 public:
  FrameAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new FrameWidget(container)) {}

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Appearance) view()->setColour(fromModelColour(model().colour()));
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeFrameAdapter(ui::Control& control, QWidget* container,
                                                 ControlHost&) {
  return std::make_unique<FrameAdapter>(control, container);
}

}  // namespace quillet::qtui
