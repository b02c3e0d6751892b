#include <QtWidgets/QLabel>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

class LabelAdapter : public AdapterFor<ui::Label, QLabel> {
 public:
  LabelAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new QLabel(container)) {
    view()->setTextFormat(Qt::PlainText);
    view()->setWordWrap(true);
    view()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view()->setMouseTracking(true);
  }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what != ui::Change::Text) return;
    view()->setText(
        QString::fromStdString(model().text()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeLabelAdapter(ui::Control& control, QWidget* container,
                                                 ControlHost&) {
  return std::make_unique<LabelAdapter>(control, container);
}

}  // namespace quillet::qtui
