#include <QtWidgets/QRadioButton>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// A radio button that leaves its state to the model: a click only reports,
// and the model checks it and unchecks its siblings. Qt's own exclusivity
// would refuse the model's unchecking the checked one.
class ModelRadio : public QRadioButton {
 public:
  explicit ModelRadio(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

 protected:
  void nextCheckState() override {}
};

class RadioButtonAdapter : public AdapterFor<ui::RadioButton, ModelRadio> {
 public:
  RadioButtonAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new ModelRadio(container)) {
    // Focused, it would take the keys the window's shortcuts need.
    view()->setFocusPolicy(Qt::NoFocus);
    ui::RadioButton& radio = model();
    QObject::connect(view(), &QAbstractButton::clicked, view(),
                     [&host, &radio] { host.runForModel([&radio] { radio.userChecked(); }); });
  }

  // It reports through its clicked signal.
  bool reportsMouse() const override { return false; }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Text) view()->setText(QString::fromStdString(model().caption()));
    if (what == ui::Change::Value) view()->setChecked(model().checked());
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeRadioButtonAdapter(ui::Control& control, QWidget* container,
                                                       ControlHost& host) {
  return std::make_unique<RadioButtonAdapter>(control, container, host);
}

}  // namespace quillet::qtui
