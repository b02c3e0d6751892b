#include "app/host_window.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/names.h"
#include "platform/ui/input.h"

namespace quillet::app {

namespace {

constexpr int kHostSide = 15;

void apologiseAndEnd(Program& p) {
  p.backend().messageBox(p.host(), "很抱歉程序遇到问题需要退出，如有需要请重新运行！", "提示");
  p.endProcess(0);
}

// What the red dot does: its 操作 menu, entry by entry, and its keys.
struct HostAction {
  // The menu entry; nullptr for keys alone.
  const char* caption;
  std::vector<int> keys;
  // nullptr: the entry is there and does nothing.
  void (*run)(Program& p);
};

const std::vector<HostAction>& hostActions() {
  namespace key = ui::key;
  static const std::vector<HostAction> table = {
      {"Display", {key::kSpace}, showMainWindow},
      {"Penetrate", {}, nullptr},
      {"Don't Penetrate", {key::letter('C')}, recreateMainWindow},
      {"Exit Quillet", {}, exitProgram},
      {nullptr, {key::kPageUp, key::kPageDown}, apologiseAndEnd},
  };
  return table;
}

ui::Menu hostMenu(Program& p) {
  ui::Menu menu;
  menu.title = "操作";
  for (const HostAction& a : hostActions()) {
    if (!a.caption) continue;
    ui::MenuItem it;
    it.caption = a.caption;
    if (a.run) it.action = [&p, run = a.run] { run(p); };
    menu.items.push_back(std::move(it));
  }
  return menu;
}

}  // namespace

void createHostWindow(Program& p) {
  ui::Window& host = p.installHost(std::make_unique<ui::Window>(p.backend(), "宿主窗口"));
  host.setTitle(core::kHostTitle);
  host.setFace(core::kHostFace);
  host.setBorder(ui::Window::Border::None);
  // Above everything, so the way back is never buried under other programs.
  host.setTopmost(true);
  host.move(50, 50);
  host.setWidth(kHostSide);
  host.setHeight(kHostSide);
  host.menu() = hostMenu(p);
  host.onKeyDown = [&p](int key, int modifiers) { onHostKeyDown(p, key, modifiers); };
  host.onMoved = [&p] { onHostMoved(p); };
  host.onDoubleClick = [&p](int, int, int) { onHostDoubleClick(p); };
  host.onLeftDown = [&p](int, int, int) {
    if (p.host()) p.backend().startSystemMove(*p.host());
  };
  host.onRightDown = [&p](int, int, int) {
    if (p.host()) p.host()->popupMenu(p.host()->menu());
  };
  host.onDestroying = [&p] { onHostDestroying(p); };
  // Closing the dot from the window manager would strand a hidden picture.
  host.onCloseRequest = [] {};
  host.setVisible(true);
  onHostCreated(p);
}

void onHostCreated(Program& p) {
  p.g().currentPicturePath.clear();
  p.createMainWindow();
}

void showMainWindow(Program& p) {
  core::GlobalState& g = p.g();
  if (g.mainWindowClosed == 1 || !p.main()) {
    p.createMainWindow();
    return;
  }
  // Key C lets clicks through without the menu's flag; the dot must stay
  // there too, or nothing on the screen would take a click.
  if (g.clickThrough == 1 || (p.main()->exStyle() & ui::Window::kTransparentBit) != 0) {
    p.main()->setVisible(!p.main()->visible());
    return;
  }
  p.main()->setVisible(true);
  if (p.host()) p.host()->setVisible(false);
}

void recreateMainWindow(Program& p) {
  core::GlobalState& g = p.g();
  if (g.mainWindowClosed == 1 || !p.main()) {
    showMainWindow(p);
    return;
  }
  ui::Window& w = *p.main();
  g.savedMainLeft = w.left();
  g.savedMainTop = w.top();
  g.savedMainWidth = w.width();
  g.savedMainHeight = w.height();
  p.destroyMainWindow();
  p.createMainWindow();
}

void onHostKeyDown(Program& p, int key, int /*modifiers*/) {
  for (const HostAction& a : hostActions()) {
    if (a.run && std::find(a.keys.begin(), a.keys.end(), key) != a.keys.end()) {
      a.run(p);
      return;
    }
  }
}

void onHostMoved(Program& p) {
  ui::Window* host = p.host();
  if (!host) return;
  if (host->hasFocus() && p.main()) p.main()->move(host->left() + 15, host->top() + 15);
  if (host->left() < 0) host->setLeft(0);
  if (host->top() < 0) host->setTop(0);
}

void onHostDoubleClick(Program& p) { showMainWindow(p); }

void exitProgram(Program& p) { p.endProcess(0); }

void onHostDestroying(Program& p) {
  core::GlobalState& g = p.g();
  if (g.restartRequested == 1 && !g.programFileName.empty()) {
    const std::string& folder = p.env().executableFolder;
    p.backend().startProcess(folder.empty() ? p.programPath(g.programFileName)
                                            : folder + "/" + g.programFileName);
  }
}

}  // namespace quillet::app
