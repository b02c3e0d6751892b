#include <QtGui/QColor>

#include "platform/qt/control_adapter.h"
#include "platform/qt/picture_widget.h"

namespace quillet::qtui {

namespace {

class PictureBoxAdapter : public AdapterFor<ui::PictureBox, PictureWidget> {
 public:
  PictureBoxAdapter(ui::Control& control, QWidget* container)
      : AdapterFor(control, new PictureWidget(container)) {}

 protected:
  void mirrorContent(ui::Change what) override {
    const ui::PictureBox& box = model();
    if (what == ui::Change::Picture) {
      view()->showPicture(box.picture(), QString::fromStdString(box.origin()),
                          QString::fromStdString(box.problem()));
    } else if (what == ui::Change::Appearance) {
      view()->setLook(fromModelColour(box.background()), box.border(), box.displayMode() == 0);
    }
  }
};

}  // namespace

std::unique_ptr<ControlAdapter> makePictureBoxAdapter(ui::Control& control, QWidget* container,
                                                      ControlHost&) {
  return std::make_unique<PictureBoxAdapter>(control, container);
}

}  // namespace quillet::qtui
