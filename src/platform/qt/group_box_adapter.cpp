#include <QtWidgets/QGroupBox>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

class GroupBoxAdapter : public AdapterFor<ui::GroupBox, QGroupBox> {
 public:
  GroupBoxAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new QGroupBox(container)) {}

 protected:
  void mirrorContent(ui::Change what) override {
    if (what == ui::Change::Text) view()->setTitle(QString::fromStdString(model().caption()));
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makeGroupBoxAdapter(ui::Control& control, QWidget* container,
                                                    ControlHost&) {
  return std::make_unique<GroupBoxAdapter>(control, container);
}

}  // namespace quillet::qtui
