#include "core/program.h"

#include "core/names.h"
#include "platform/files.h"

#include <algorithm>
#include <utility>

namespace quillet::core {

namespace {

std::unique_ptr<GlobalState> initGlobals() { return std::make_unique<GlobalState>(); }

// A window on its way out keeps its object a little longer, but none of its
// timers may tick into handlers that are done with.
void stopTimers(ui::Window& window) {
  for (const auto& control : window.controls()) {
    if (control->kind() == ui::Control::Kind::Timer) {
      static_cast<ui::Timer&>(*control).setInterval(0);
    }
  }
}

void releaseGlobals(std::unique_ptr<GlobalState>& globals) { globals.reset(); }

}  // namespace

Program::Program(ui::Backend& backend, Environment env)
    : backend_(backend), env_(std::move(env)), globals_(initGlobals()) {}

Program::~Program() = default;

void Program::start() { createHostWindow(); }

std::string Program::programPath(const std::string& relative) const {
  std::string folder = env_.programFolder;
  if (!folder.empty() && folder.back() != files::kSeparator) folder += files::kSeparator;
  return folder + relative;
}

std::string Program::defaultPicturePath() const {
  return env_.defaultPicture.empty() ? programPath(kDefaultPicture) : env_.defaultPicture;
}

std::string Program::takeStartPicture() { return std::exchange(env_.startPicture, {}); }

ui::Window& Program::installHost(std::unique_ptr<ui::Window> host) {
  host_ = std::move(host);
  return *host_;
}

void Program::createMainWindow() {
  main_ = std::make_unique<ui::Window>(backend_, "主窗口");
  buildMainWindow(*main_);
  mainWindowCreated();
  if (main_ && !backend_.quitRequested()) main_->setVisible(true);
}

void Program::destroyMainWindow() {
  if (!main_) return;
  if (main_->onDestroying) main_->onDestroying();
  std::unique_ptr<ui::Window> w = std::move(main_);
  stopTimers(*w);
  w->setVisible(false);
  retire(std::move(w));
}

void Program::pressMainKey(int key, int modifiers) {
  if (!main_ || !main_->onKeyDown) return;
  // The handler may destroy the window that holds it.
  auto handler = main_->onKeyDown;
  handler(key, modifiers);
}

ui::Window* Program::secondary(const std::string& key) const {
  for (const auto& [name, window] : secondary_) {
    if (name == key) return window.get();
  }
  return nullptr;
}

ui::Window& Program::openSecondary(const std::string& key, std::unique_ptr<ui::Window> window) {
  closeSecondary(key);
  secondary_.emplace_back(key, std::move(window));
  return *secondary_.back().second;
}

void Program::closeSecondary(const std::string& key) {
  for (auto it = secondary_.begin(); it != secondary_.end(); ++it) {
    if (it->first != key) continue;
    std::unique_ptr<ui::Window> w = std::move(it->second);
    secondary_.erase(it);
    if (w->onDestroying) w->onDestroying();
    stopTimers(*w);
    w->setVisible(false);
    retire(std::move(w));
    return;
  }
}

// A handler of the window may be the caller, or have called it; its closures
// and the window they refer to must outlive it, but no longer: a capture
// board holds a photograph of the whole screen, decoded, and a window of the
// screen's size.
void Program::retire(std::unique_ptr<ui::Window> window) {
  const ui::Window* retired = window.get();
  retired_.push_back(std::move(window));
  backend_.runLater([alive = std::weak_ptr<const bool>(alive_), this, retired] {
    if (alive.expired()) return;
    auto it = std::find_if(retired_.begin(), retired_.end(),
                           [retired](const auto& w) { return w.get() == retired; });
    if (it == retired_.end()) return;
    // Out of the list before it goes, whatever its going sets off.
    std::unique_ptr<ui::Window> freed = std::move(*it);
    retired_.erase(it);
  });
}

void Program::endProcess(int code) { backend_.quit(code); }

void Program::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  while (!secondary_.empty()) closeSecondary(secondary_.back().first);
  destroyMainWindow();
  if (host_) {
    if (host_->onDestroying) host_->onDestroying();
    host_->setVisible(false);
  }
  retired_.clear();
  host_.reset();
  releaseGlobals(globals_);
}

void Program::saveState() {
  if (shutDown_ || !globals_) return;
  writeStateFiles();
}

}  // namespace quillet::core
