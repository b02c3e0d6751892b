#include "app/main_menu.h"

#include "app/main_window.h"
#include "app/program.h"
#include "doodle/doodle_window.h"
#include "help/help_window.h"
#include "ops/gray_levels.h"
#include "ops/keyboard.h"
#include "ops/mirror_rotate.h"
#include "ops/window_modes.h"
#include "platform/ui/input.h"
#include "viewer/picture_loading.h"

namespace quillet::app {

namespace {

using Action = std::function<void()>;

ui::MenuItem entry(const char* caption, Action action = nullptr,
                   std::vector<ui::MenuItem> children = {}, int icon = 0) {
  ui::MenuItem item;
  item.caption = caption;
  item.icon = icon;
  item.action = std::move(action);
  item.children = std::move(children);
  return item;
}

ui::MenuItem sep() { return ui::MenuItem::separatorLine(); }

}  // namespace

ui::Menu mainMenu(Program& p) {
  auto key = [&p](int code) { return [&p, code] { ops::onMainKeyDown(p, code, 0); }; };
  auto op = [&p](void (*operation)(Program&)) { return [&p, operation] { operation(p); }; };
  ui::Menu menu;
  menu.title = "操作";
  menu.banner = "banner";
  menu.items = {
      entry("打开图片", op(viewer::openPicture), {}, 1),
      entry("隐藏图片", op(ops::hidePicture), {}, 2),
      entry("截取图片", nullptr, {}, 3),
      sep(),
      entry("上一幅图", key(ui::key::kPageUp), {}, 4),
      entry("下一幅图", key(ui::key::kPageDown), {}, 6),
      entry("自动浏览", nullptr, {}, 5),
      sep(),
      entry("恢复原图", op(ops::restorePicture), {}, 8),
      entry("取消透明", op(ops::toggleTransparency), {}, ops::icon::kTranslucent),
      sep(),
      entry("镜像翻转", nullptr,
            {entry("水平", op(ops::mirrorHorizontal)), entry("纵向", op(ops::mirrorVertical)),
             entry("对角", op(ops::mirrorDiagonal))},
            9),
      entry("角度旋转", nullptr,
            {entry("直角", op(ops::rotateRightAngle)), entry("自定", op(ops::rotateByAngle))}, 10),
      entry("灰度去色", nullptr,
            {entry("值为2", [&p] { ops::reduceGrayLevels(p, 2); }),
             entry("值为4", [&p] { ops::reduceGrayLevels(p, 4); }),
             entry("值为8", [&p] { ops::reduceGrayLevels(p, 8); }),
             entry("值为16", [&p] { ops::reduceGrayLevels(p, 16); }),
             entry("值为32", [&p] { ops::reduceGrayLevels(p, 32); }),
             entry("值为64", [&p] { ops::reduceGrayLevels(p, 64); }),
             entry("值为128", [&p] { ops::reduceGrayLevels(p, 128); }),
             entry("自定义", op(ops::askGrayLevels)), entry("还原", op(ops::restoreColours))},
            13),
      entry("改变比例", op(ops::toggleRatioMode), {}, 14),
      sep(),
      entry(
          "涂鸦工具", [&p] { doodle::openDoodleWindow(p, true); }, {}, 15),
      sep(),
      entry("鼠标穿透", op(ops::startClickThrough), {}, 16),
      entry("图片避让", op(ops::toggleAvoidance), {}, ops::icon::kAvoidanceOff),
      entry("前置后置", op(ops::toggleTopmost), {}, ops::icon::kTopmost),
      sep(),
      entry("文本便签", nullptr, {}, 17),
      entry("帮助信息", op(help::showHelpWindow), {}, 18),
      entry("关闭程序", op(closeProgram), {}, 21),
  };
  return menu;
}

}  // namespace quillet::app
