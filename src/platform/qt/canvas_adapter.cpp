#include <QtGui/QImage>
#include <QtGui/QKeyEvent>
#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QWidget>

#include "platform/qt/control_adapter.h"
#include "platform/qt/key_map.h"

namespace quillet::qtui {

namespace {

// Shows the model's raster from its top-left corner, white beyond it. The
// rows are wrapped, not copied: a stroke repaints a few pixels on every move
// of the pointer over a screen-sized canvas.
class CanvasWidget : public QWidget {
 public:
  CanvasWidget(QWidget* parent, const image::Canvas& canvas) : QWidget(parent), canvas_(&canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A click gives it the keyboard; the keys then are the canvas's.
    setFocusPolicy(Qt::ClickFocus);
  }

  // Called when the model canvas goes; nothing is painted from it afterwards.
  void forget() { canvas_ = nullptr; }

  // Called with what the model says changed, in raster pixels.
  void damaged(image::Rect area) {
    if (!canvas_) return;
    const QSize size(canvas_->width(), canvas_->height());
    if (size != shownSize_ || canvas_->scale() != shownScale_) {
      shownSize_ = size;
      shownScale_ = canvas_->scale();
      update();
    } else if (!area.empty()) {
      update(toWidget(QRectF(area.left, area.top, area.width, area.height)));
    }
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    QRect raster;
    if (canvas_ && canvas_->width() > 0 && canvas_->height() > 0) {
      const QImage shown(reinterpret_cast<const uchar*>(canvas_->pixels()), canvas_->width(),
                         canvas_->height(), canvas_->width() * 4, QImage::Format_RGB32);
      // On a dense screen the raster holds device pixels: each widget pixel
      // takes `scale` of them, copied one to one onto the screen.
      const double scale = canvas_->scale();
      raster = toWidget(QRectF(shown.rect()));
      for (const QRect& part : event->region()) {
        const QRect inside = part & raster;
        if (inside.isEmpty()) continue;
        const QRectF source(inside.x() * scale, inside.y() * scale, inside.width() * scale,
                            inside.height() * scale);
        painter.drawImage(QRectF(inside), shown, source);
      }
    }
    for (const QRect& part : event->region().subtracted(raster)) {
      painter.fillRect(part, Qt::white);
    }
  }

  // The widget pixels that show the raster pixels of `area`, rounded outwards.
  QRect toWidget(const QRectF& area) const {
    const double scale = canvas_ ? canvas_->scale() : 1.0;
    const QRectF shown(area.x() / scale, area.y() / scale, area.width() / scale,
                       area.height() / scale);
    return shown.toAlignedRect();
  }

  // Every key was the canvas's: none goes on to the window.
  void keyPressEvent(QKeyEvent* event) override { event->accept(); }

 private:
  const image::Canvas* canvas_;
  QSize shownSize_;
  double shownScale_ = 1.0;
};

class CanvasAdapter : public AdapterFor<ui::CanvasBox, CanvasWidget> {
 public:
  CanvasAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control,
                   new CanvasWidget(container, dynamic_cast<ui::CanvasBox&>(control).canvas())),
        host_(host) {}
  // The widget outlives the adapter until its window's widget goes.
  ~CanvasAdapter() override { view()->forget(); }

  // A press on the canvas starts a stroke, never a window drag.
  bool keepsInput() const override { return true; }
  bool usesWheel() const override { return false; }
  bool takesWindowKeys() const override { return true; }

  void keyPressed(const QKeyEvent& event) override {
    const int code = virtualKey(describeKey(event));
    if (code == 0) return;
    const int modifiers = modifierSum(event.modifiers());
    ui::CanvasBox& canvas = model();
    host_.runForModel([&] { callHandler(canvas.onKeyDown, code, modifiers); });
  }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Damage) view()->damaged(model().takeDamage());
  }

 private:
  ControlHost& host_;
};

}  // namespace

std::unique_ptr<ControlAdapter> makeCanvasAdapter(ui::Control& control, QWidget* container,
                                                  ControlHost& host) {
  return std::make_unique<CanvasAdapter>(control, container, host);
}

}  // namespace quillet::qtui
