#include <QtWidgets/QPushButton>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

class ButtonAdapter : public AdapterFor<ui::Button, QPushButton> {
 public:
  ButtonAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new QPushButton(container)) {
    view()->setFocusPolicy(Qt::NoFocus);
    ui::Button& button = model();
    QObject::connect(view(), &QPushButton::clicked, view(),
                     [&host, &button] { host.runForModel([&button] { button.click(); }); });
  }

  // A push button reports through its clicked signal.
  bool reportsMouse() const override { return false; }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Text) view()->setText(QString::fromStdString(model().caption()));
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeButtonAdapter(ui::Control& control, QWidget* container,
                                                  ControlHost& host) {
  return std::make_unique<ButtonAdapter>(control, container, host);
}

}  // namespace quillet::qtui
