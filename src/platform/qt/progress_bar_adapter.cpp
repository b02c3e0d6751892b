#include <QtWidgets/QProgressBar>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

class ProgressBarAdapter : public AdapterFor<ui::ProgressBar, QProgressBar> {
 public:
  ProgressBarAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new QProgressBar(container)) {
    // A few pixels high, the bar has no room for a percentage.
    view()->setTextVisible(false);
    view()->setMouseTracking(true);
  }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what != ui::Change::Value) return;
    const ui::ProgressBar& bar = model();
    view()->setRange(bar.minimum(), bar.maximum());
    view()->setValue(bar.position());
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeProgressBarAdapter(ui::Control& control, QWidget* container,
                                                       ControlHost&) {
  return std::make_unique<ProgressBarAdapter>(control, container);
}

}  // namespace quillet::qtui
