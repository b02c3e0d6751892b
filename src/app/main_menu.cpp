#include "app/main_menu.h"

#include "app/main_window.h"
#include "app/program.h"
#include "ops/keyboard.h"
#include "platform/ui/input.h"
#include "viewer/picture_loading.h"

namespace quillet::app {

namespace {

using Action = std::function<void()>;

ui::MenuItem entry(const char* caption, Action action = nullptr,
                   std::vector<ui::MenuItem> children = {}) {
  ui::MenuItem item;
  item.caption = caption;
  item.action = std::move(action);
  item.children = std::move(children);
  return item;
}

ui::MenuItem sep() { return ui::MenuItem::separatorLine(); }

}  // namespace

ui::Menu mainMenu(Program& p) {
  auto key = [&p](int code) { return [&p, code] { ops::onMainKeyDown(p, code, 0); }; };
  ui::Menu menu;
  menu.title = "操作";
  menu.banner = "banner";
  menu.items = {
      entry("打开图片", [&p] { viewer::openPicture(p); }),
      entry("隐藏图片"),
      entry("截取图片"),
      sep(),
      entry("上一幅图", key(ui::key::kPageUp)),
      entry("下一幅图", key(ui::key::kPageDown)),
      entry("自动浏览"),
      sep(),
      entry("恢复原图"),
      entry("取消透明"),
      sep(),
      entry("镜像翻转", nullptr, {entry("水平"), entry("纵向"), entry("对角")}),
      entry("角度旋转", nullptr, {entry("直角"), entry("自定")}),
      entry("灰度去色", nullptr,
            {entry("值为2"), entry("值为4"), entry("值为8"), entry("值为16"), entry("值为32"),
             entry("值为64"), entry("值为128"), entry("自定义"), entry("还原")}),
      entry("改变比例"),
      sep(),
      entry("涂鸦工具"),
      sep(),
      entry("鼠标穿透"),
      entry("图片避让"),
      entry("前置后置"),
      sep(),
      entry("文本便签"),
      entry("帮助信息"),
      entry("关闭程序", [&p] { closeProgram(p); }),
  };
  return menu;
}

}  // namespace quillet::app
