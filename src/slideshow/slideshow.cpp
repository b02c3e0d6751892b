#include "slideshow/slideshow.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "core/program.h"
#include "core/program_end.h"
#include "core/whole_numbers.h"
#include "platform/ui/input.h"
#include "slideshow/options_window.h"

namespace quillet::slideshow {

namespace {

constexpr int kTickMilliseconds = 1000;
constexpr int kFlattest = 19;

ui::Window* optionsWindow(core::Program& p) { return p.secondary(kWindowKey); }

template <class T>
T& control(ui::Window& w, const char* name) {
  return w.get<T>(name);
}

int clampToInt(long long v) {
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int boxValue(ui::Window& w) {
  return core::leadingWholeNumber(control<ui::ComboBox>(w, kIntervalBox).text());
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

}  // namespace

void toggleSlideshow(core::Program& p) {
  core::GlobalState& g = p.g();
  if (g.slideshowOn == 0) {
    ui::Window& w =
        p.openSecondary(kWindowKey, std::make_unique<ui::Window>(p.backend(), "自动浏览选项"));
    buildOptionsWindow(p, w);
    onOptionsCreated(p, w);
    w.setVisible(true);
    return;
  }
  closeSlideshowWindow(p);
  g.slideshowStarted = 0;
  g.slideshowOn = 0;
}

void onOptionsDestroyed(core::Program& p) {
  core::GlobalState& g = p.g();
  g.slideshowWindowOpen = 0;
  g.slideshowOn = 0;
  g.slideshowStarted = 0;
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
