#include <QtGui/QMouseEvent>
#include <QtWidgets/QSlider>

#include <functional>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// A slider that tells of a left press before the press moves the handle, so
// the model hears the press first and the move after it.
class ModelSlider : public QSlider {
 public:
  explicit ModelSlider(QWidget* parent) : QSlider(parent) {}

  std::function<void()> onLeftPress;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && onLeftPress) onLeftPress();
    QSlider::mousePressEvent(event);
  }
};

class SliderAdapter : public AdapterFor<ui::Slider, ModelSlider> {
 public:
  SliderAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new ModelSlider(container)) {
    ui::Slider& slider = model();
    view()->onLeftPress = [&host, &slider] {
      host.runForModel([&slider] { slider.userPressed(); });
    };
    // Every value the slider takes while its signals are not blocked is the
    // user's: a drag, a key, a click in the groove or the wheel.
    QObject::connect(view(), &QAbstractSlider::valueChanged, view(), [&host, &slider](int value) {
      host.runForModel([&slider, value] { slider.userMoved(value); });
    });
  }

  // Dragging the handle, clicking in the groove and the wheel are the slider's.
  bool keepsInput() const override { return true; }
  // It uses the arrow keys and Page Up/Down only.
  bool leavesKeysToWindow() const override { return true; }

 protected:
  void mirrorContent(ui::Change what) override {
    const ui::Slider& slider = model();
    const QSignalBlocker quiet(view());
    if (what == ui::Change::Appearance) {
      const bool vertical = slider.orientation() == ui::Slider::Orientation::Vertical;
      view()->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
      // A vertical slider has its minimum at the top, and the keys and the
      // wheel move the handle the way it looks: Up goes towards the top.
      view()->setInvertedAppearance(vertical);
      view()->setInvertedControls(vertical);
    } else if (what == ui::Change::Value) {
      view()->setRange(slider.minimum(), slider.maximum());
      view()->setValue(slider.position());
      view()->setSingleStep(slider.lineStep());
      view()->setPageStep(slider.pageStep());
    }
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeSliderAdapter(ui::Control& control, QWidget* container,
                                                  ControlHost& host) {
  return std::make_unique<SliderAdapter>(control, container, host);
}

}  // namespace quillet::qtui
