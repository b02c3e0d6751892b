#include "viewer/mouse.h"

#include "app/program.h"

namespace quillet::viewer {

void bindPictureMouse(app::Program& p, ui::Window& window, ui::PictureBox& box) {
  box.onLeftDown = [&p](int, int, int) {
    if (p.main()) p.backend().startSystemMove(*p.main());
  };
  box.onRightDown = [&p](int, int, int) {
    if (p.main()) p.main()->popupMenu(p.main()->menu());
  };
  window.onRightDown = box.onRightDown;
}

}  // namespace quillet::viewer
