#include "slideshow/options_window.h"

#include <functional>
#include <utility>

#include "core/program.h"
#include "platform/ui/widgets.h"
#include "slideshow/slideshow.h"

namespace quillet::slideshow {

namespace {

// The bar's pop-up menu 操作.
ui::Menu barMenu(core::Program& p) {
  auto item = [](const char* caption, std::function<void()> action) {
    ui::MenuItem it;
    it.caption = caption;
    it.action = std::move(action);
    return it;
  };
  ui::Menu menu;
  menu.title = "操作";
  menu.items = {item("还原窗口", [&p] { restoreSlideshowWindow(p); }),
                item("开始浏览", [&p] { restartSlideshow(p); }),
                item("停止浏览", [&p] { stopSlideshow(p); })};
  return menu;
}

}  // namespace

void buildOptionsWindow(core::Program& p, ui::Window& w) {
  w.setTitle("自动浏览选项");
  w.setBorder(ui::Window::Border::None);
  // Over the always-on-top picture, or the strip would lie beneath it.
  w.setTopmost(true);
  w.setColour(0xECECEC);
  w.move(50, 50);
  w.setWidth(167);
  w.setHeight(117);

  auto& close = w.add<ui::Button>("关闭按钮");
  close.setGeometry(148, 81, 15, 15);
  close.setCaption("×");
  close.onClick = [&p] { closeSlideshowWindow(p); };

  auto& bar = w.add<ui::ProgressBar>(kBar);
  bar.setGeometry(0, 0, 168, 8);
  bar.setMinimum(0);
  bar.setPosition(0);
  bar.onRightUp = [&p](int, int, int) {
    if (ui::Window* self = p.secondary(kWindowKey)) self->popupMenu(barMenu(p));
  };

  auto& clock = w.add<ui::Timer>(kClock);
  clock.onTick = [&p] { slideshowTick(p); };

  auto& stop = w.add<ui::Button>("停止按钮");
  stop.setGeometry(53, 79, 43, 32);
  stop.setCaption("停止");
  stop.setVisible(false);
  stop.onClick = [&p] { stopSlideshow(p); };

  auto& start = w.add<ui::Button>("开始按钮");
  start.setGeometry(5, 79, 139, 32);
  start.setCaption("开始");
  start.onClick = [&p] { startSlideshow(p); };

  auto& direction = w.add<ui::GroupBox>("分组框1");
  direction.setGeometry(5, 14, 91, 63);
  direction.setCaption("方向");
  auto& backward = w.add<ui::RadioButton>(kBackward, &direction);
  backward.setGeometry(7, 12, 76, 24);
  backward.setCaption("向上切换");
  auto& forward = w.add<ui::RadioButton>("向后单选框", &direction);
  forward.setGeometry(7, 37, 76, 24);
  forward.setCaption("向下切换");
  forward.setChecked(true);

  auto& interval = w.add<ui::GroupBox>("分组框2");
  interval.setGeometry(96, 14, 67, 63);
  interval.setCaption("间隔");
  auto& box = w.add<ui::ComboBox>(kIntervalBox, &interval);
  box.setGeometry(6, 16, 53, 20);
  box.setItems({"1",   "2",   "3",   "4",   "5",   "6",   "7",    "8",   "9",
                "10",  "15",  "20",  "30",  "40",  "50",  "60",   "90",  "120",
                "150", "240", "300", "360", "420", "720", "1800", "3600"});
  box.setText("30");
  box.onChoose = [&p] { chooseSlideshowInterval(p); };
  auto& unit = w.add<ui::Label>("标签2", &interval);
  unit.setGeometry(11, 40, 45, 16);
  unit.setText("秒");
  // Lies past the group box's edge, so it is never seen.
  auto& stray = w.add<ui::Label>("标签1", &interval);
  stray.setGeometry(168, 13, 18, 24);
  stray.setText("秒");

  w.onDestroying = [&p] { onOptionsDestroyed(p); };
  w.onCloseRequest = [&p] { closeSlideshowWindow(p); };
}

}  // namespace quillet::slideshow
