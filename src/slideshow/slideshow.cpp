#include "slideshow/slideshow.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>
#include <string>

#include "core/program.h"
#include "core/state_files.h"
#include "platform/ui/input.h"

namespace quillet::slideshow {

namespace {

constexpr const char* kWindowKey = "slideshow";
constexpr const char* kBar = "进度条1";
constexpr const char* kClock = "进度条时钟";
constexpr const char* kIntervalBox = "时间间隔组合框";
constexpr const char* kBackward = "向前单选框";
constexpr int kTickMilliseconds = 1000;
constexpr int kFlattest = 19;

ui::Window* optionsWindow(core::Program& p) { return p.secondary(kWindowKey); }

template <class T>
T& control(ui::Window& w, const char* name) {
  return w.get<T>(name);
}

// The whole number the box's text starts with: blanks, a sign, digits; what
// follows is ignored, and a text without digits is 0. Far too many digits
// give the nearest end of the int range.
int wholeNumberPrefix(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value =
        std::min<long long>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max() + 1LL);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

int clampToInt(long long v) {
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int boxValue(ui::Window& w) {
  return wholeNumberPrefix(control<ui::ComboBox>(w, kIntervalBox).text());
}

void setBoxValue(ui::Window& w, int value) {
  control<ui::ComboBox>(w, kIntervalBox).setText(std::to_string(value));
}

// The window shrinks to its bar, lying 5 pixels above the picture's top edge
// and as wide as the picture.
void placeStrip(core::Program& p, ui::Window& w) {
  const ui::Window& main = *p.main();
  ui::ProgressBar& bar = control<ui::ProgressBar>(w, kBar);
  w.setHeight(bar.height());
  w.setWidth(main.width());
  bar.setWidth(main.width());
  w.move(main.left(), main.top() - 5);
}

void onOptionsCreated(core::Program& p, ui::Window& w) {
  core::GlobalState& g = p.g();
  if (const ui::Window* main = p.main()) w.move(main->left(), main->top());
  g.slideshowWindowOpen = 1;
  g.slideshowOn = 1;
}

void onOptionsDestroyed(core::Program& p) {
  core::GlobalState& g = p.g();
  g.slideshowWindowOpen = 0;
  g.slideshowOn = 0;
  g.slideshowStarted = 0;
}

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

void build(core::Program& p, ui::Window& w) {
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
    if (ui::Window* self = optionsWindow(p)) self->popupMenu(barMenu(p));
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

}  // namespace

void toggleSlideshow(core::Program& p) {
  core::GlobalState& g = p.g();
  if (g.slideshowOn == 0) {
    ui::Window& w =
        p.openSecondary(kWindowKey, std::make_unique<ui::Window>(p.backend(), "自动浏览选项"));
    build(p, w);
    onOptionsCreated(p, w);
    w.setVisible(true);
    return;
  }
  closeSlideshowWindow(p);
  g.slideshowStarted = 0;
  g.slideshowOn = 0;
}

void closeSlideshowWindow(core::Program& p) {
  core::GlobalState& g = p.g();
  g.slideshowOn = 0;
  g.slideshowStarted = 0;
  p.closeSecondary(kWindowKey);
}

void startSlideshow(core::Program& p) {
  core::GlobalState& g = p.g();
  ui::Window* w = optionsWindow(p);
  if (!w) return;
  g.slideshowOn = 1;
  g.slideshowStarted = 1;
  control<ui::Timer>(*w, kClock).setInterval(kTickMilliseconds);
  ui::ProgressBar& bar = control<ui::ProgressBar>(*w, kBar);
  bar.setMaximum(boxValue(*w));
  g.slideshowInterval = bar.maximum();
  if (p.main()) placeStrip(p, *w);
}

void restartSlideshow(core::Program& p) {
  ui::Window* w = optionsWindow(p);
  if (!w) return;
  setBoxValue(*w, p.g().slideshowInterval);
  startSlideshow(p);
}

void stopSlideshow(core::Program& p) {
  if (ui::Window* w = optionsWindow(p)) control<ui::Timer>(*w, kClock).setInterval(0);
}

void restoreSlideshowWindow(core::Program& p) {
  ui::Window* w = optionsWindow(p);
  if (!w) return;
  w->setHeight(126);
  w->setWidth(148);
  control<ui::ProgressBar>(*w, kBar).setWidth(148);
  if (const ui::Window* main = p.main()) w->move(main->left() + main->width(), main->top());
}

void chooseSlideshowInterval(core::Program& p) {
  if (ui::Window* w = optionsWindow(p)) p.g().slideshowInterval = boxValue(*w);
}

void slideshowTick(core::Program& p) {
  core::GlobalState& g = p.g();
  // A picture that has gone opens the file dialog from inside the tick; the
  // ticks that come while it is open would each open another.
  if (g.slideshowTickRunning == 1) return;
  g.slideshowTickRunning = 1;
  struct Done {
    core::GlobalState& g;
    ~Done() { g.slideshowTickRunning = 0; }
  } done{g};
  ui::Window* w = optionsWindow(p);
  if (!w) return;
  // A closed picture window reads as no height at all.
  if (!p.main() || p.main()->height() < kFlattest) {
    core::closeProgram(p);
    return;
  }
  ui::ProgressBar& bar = control<ui::ProgressBar>(*w, kBar);
  // Whatever was typed, the arithmetic stays inside the int range.
  setBoxValue(*w, clampToInt(boxValue(*w) - 1LL));
  bar.setPosition(clampToInt(static_cast<long long>(bar.maximum()) - boxValue(*w)));
  if (boxValue(*w) >= 1) return;
  setBoxValue(*w, g.slideshowInterval);
  bar.setPosition(0);
  bar.setMaximum(g.slideshowInterval);
  const bool backward = control<ui::RadioButton>(*w, kBackward).checked();
  p.pressMainKey(backward ? ui::key::kPageUp : ui::key::kPageDown, 0);
  // Paging may have closed a squeezed picture window, or the options window.
  w = optionsWindow(p);
  if (w && p.main()) placeStrip(p, *w);
}

void dockSlideshowWindow(core::Program& p, MainChange change) {
  ui::Window* w = optionsWindow(p);
  const ui::Window* main = p.main();
  if (p.g().slideshowWindowOpen != 1 || !w || !main) return;
  ui::ProgressBar& bar = control<ui::ProgressBar>(*w, kBar);
  if (bar.position() == 0) {
    w->move(main->left(), main->top());
    return;
  }
  bar.setWidth(main->width());
  w->setWidth(bar.width());
  if (change == MainChange::Moved) w->move(main->left(), main->top() - 5);
}

}  // namespace quillet::slideshow
