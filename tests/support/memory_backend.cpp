#include "support/memory_backend.h"

#include <algorithm>

#include "core/screens.h"
#include "platform/image/picture.h"

namespace quillet::testing {

namespace {

// Keeps the backend's clock informed of the window's timers.
class MemoryPeer : public ui::WindowPeer {
 public:
  explicit MemoryPeer(MemoryBackend& backend) : backend_(backend) { ++backend_.liveWindows; }
  ~MemoryPeer() override {
    backend_.forgetTimers(this);
    --backend_.liveWindows;
  }
  MemoryPeer(const MemoryPeer&) = delete;
  MemoryPeer& operator=(const MemoryPeer&) = delete;
  void windowChanged(ui::Change) override {}
  void controlChanged(ui::Control& control, ui::Change what) override {
    if (what == ui::Change::Timing) backend_.schedule(static_cast<ui::Timer&>(control), this);
  }
  void controlAdded(ui::Control&) override {}

 private:
  MemoryBackend& backend_;
};

}  // namespace

std::unique_ptr<ui::WindowPeer> MemoryBackend::createPeer(ui::Window&) {
  return std::make_unique<MemoryPeer>(*this);
}

void MemoryBackend::nextTurn() {
  while (!later.empty()) {
    auto work = std::move(later.front());
    later.pop_front();
    work();
  }
}

void MemoryBackend::schedule(ui::Timer& timer, const void* owner) {
  std::erase_if(timers, [&timer](const Scheduled& s) { return s.timer == &timer; });
  if (timer.interval() > 0) timers.push_back({&timer, owner, now + timer.interval()});
}

void MemoryBackend::forgetTimers(const void* owner) {
  std::erase_if(timers, [owner](const Scheduled& s) { return s.owner == owner; });
}

void MemoryBackend::advance(int milliseconds) {
  const long long until = now + milliseconds;
  for (;;) {
    auto next =
        std::min_element(timers.begin(), timers.end(),
                         [](const Scheduled& a, const Scheduled& b) { return a.due < b.due; });
    if (next == timers.end() || next->due > until) break;
    now = next->due;
    next->due += next->timer->interval();
    // The tick may stop, start or destroy timers, this one included.
    next->timer->tick();
  }
  now = std::max(now, until);  // a tick may have moved the clock on itself
}

ui::FileDialogResult MemoryBackend::saveFileDialog(ui::Window* owner, const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& defaultSuffix) {
  auto answer = openFileDialog(owner, title, filter, defaultSuffix);
  dialogs.back().save = true;
  return answer;
}

ui::FileDialogResult MemoryBackend::openFileDialog(ui::Window*, const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& preset) {
  dialogs.push_back({title, filter, preset});
  if (auto meanwhile = whileDialogOpen) meanwhile();
  if (dialogAnswers.empty()) return {};
  auto answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

void MemoryBackend::messageBox(ui::Window*, const std::string& text, const std::string& caption) {
  messages.push_back({text, caption});
}

std::optional<std::string> MemoryBackend::inputBox(ui::Window*, const std::string& prompt,
                                                   const std::string& title, const std::string&) {
  inputs.push_back({prompt, title});
  if (inputAnswers.empty()) return std::nullopt;
  auto answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer;
}

// What the window shows, as far as a model knows it: a gray picture of the
// window's size, so baking a view is observable without a renderer.
ui::PictureBytes MemoryBackend::snapshot(ui::Window& window) {
  snapshots++;
  image::Bitmap bitmap;
  bitmap.width = std::max(window.width(), 1);
  bitmap.height = std::max(window.height(), 1);
  bitmap.rgb.assign(bitmap.stride() * static_cast<std::size_t>(bitmap.height), 0x80);
  return std::make_shared<const std::vector<std::uint8_t>>(image::encodeBmp24(bitmap));
}

namespace {

struct Box {
  int left, top, width, height;
};

Box onWindow(const ui::Control& control) {
  Box box{0, 0, control.width(), control.height()};
  for (const ui::Control* c = &control; c; c = c->parent()) {
    box.left += c->left();
    box.top += c->top();
  }
  return box;
}

// Shown, and inside the control and every control it sits in.
bool hit(const ui::Control& control, int x, int y) {
  for (const ui::Control* c = &control; c; c = c->parent()) {
    const Box b = onWindow(*c);
    if (!c->visible() || x < b.left || y < b.top || x >= b.left + b.width ||
        y >= b.top + b.height) {
      return false;
    }
  }
  return true;
}

// The control under a point of the window, the last added on top; `x` and
// `y` come back in its own coordinates.
ui::Control* controlAt(ui::Window& window, int& x, int& y) {
  ui::Control* found = nullptr;
  for (const auto& control : window.controls()) {
    if (hit(*control, x, y)) found = control.get();
  }
  if (found) {
    const Box b = onWindow(*found);
    x -= b.left;
    y -= b.top;
  }
  return found;
}

}  // namespace

void MemoryBackend::runModal(ui::Window& window) {
  modalRuns.push_back(window.name());
  endedModal = nullptr;
  window.setVisible(true);
  if (modalScripts.empty()) return;
  const std::vector<ModalStep> steps = std::move(modalScripts.front());
  modalScripts.pop_front();
  // As a toolkit does: whoever took the press gets the moves and the release
  // until the button comes up; without a button held, the one under the point.
  bool held = false;
  ui::Control* grabbed = nullptr;
  for (const ModalStep& step : steps) {
    if (endedModal == &window) return;
    if (step.kind == ModalStep::Key) {
      if (auto handler = window.onKeyDown) handler(step.key, step.modifiers);
      continue;
    }
    if (step.kind == ModalStep::Look) {
      step.look(window);
      continue;
    }
    int x = step.x, y = step.y;
    ui::Control* control = nullptr;
    if (held) {
      control = grabbed;
      if (control) {
        const Box b = onWindow(*control);
        x -= b.left;
        y -= b.top;
      }
    } else {
      control = controlAt(window, x, y);
    }
    ui::MouseHandler handler;
    switch (step.kind) {
      case ModalStep::Press:
        handler = control ? control->onLeftDown : window.onLeftDown;
        held = true;
        grabbed = control;
        break;
      case ModalStep::Move:
        handler = control ? control->onMouseMove : window.onMouseMove;
        break;
      case ModalStep::Release:
        handler = control ? control->onLeftUp : window.onLeftUp;
        held = false;
        break;
      case ModalStep::Key:
      case ModalStep::Look:
        break;
    }
    if (handler) handler(x, y, step.modifiers);
  }
}

ui::ScreenShot MemoryBackend::grabScreen() {
  screenShots++;
  if (screenShot.bmp) return screenShot;
  image::Bitmap bitmap;
  const ui::Monitor desktop = core::desktopBounds(monitors());
  bitmap.width = desktop.width;
  bitmap.height = desktop.height;
  bitmap.rgb.resize(bitmap.stride() * static_cast<std::size_t>(bitmap.height));
  for (int y = 0; y < bitmap.height; ++y) {
    std::uint8_t* row = bitmap.row(y);
    for (int x = 0; x < bitmap.width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x);
      row[3 * x + 1] = static_cast<std::uint8_t>(y);
      row[3 * x + 2] = static_cast<std::uint8_t>((x >> 8) * 16 + (y >> 8));
    }
  }
  return {std::make_shared<const std::vector<std::uint8_t>>(image::encodeBmp24(bitmap)), 1.0};
}

bool MemoryBackend::printText(ui::Window*, const std::string& title, const std::string& text) {
  printed.push_back({title, text});
  return printerAnswers;
}

int MemoryBackend::randomNumber(int low, int high) {
  if (randomAnswers.empty()) return low;
  const int value = randomAnswers.front();
  randomAnswers.pop_front();
  return std::clamp(value, low, high);
}

const ui::MenuItem* MemoryBackend::popupMenu(ui::Window&, const ui::Menu& menu) {
  menusShown.push_back(menu.title);
  lastMenu = menu;
  if (menuAnswers.empty()) return nullptr;
  auto path = menuAnswers.front();
  menuAnswers.pop_front();
  const std::vector<ui::MenuItem>* level = &menu.items;
  const ui::MenuItem* found = nullptr;
  for (const auto& caption : path) {
    found = nullptr;
    for (const auto& item : *level) {
      if (!item.separator && item.caption == caption) found = &item;
    }
    if (!found) return nullptr;
    level = &found->children;
  }
  return found;
}

}  // namespace quillet::testing
