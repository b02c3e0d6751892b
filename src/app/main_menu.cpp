#include "app/main_menu.h"

#include <optional>

#include "app/actions.h"

namespace quillet::app {

namespace {

struct Entry {
  ActionId id;
  std::vector<Entry> children;
};

// The menu's layout; what each entry does and shows comes from the table.
// A default-constructed optional stands for a separator line.
const std::vector<std::optional<Entry>>& layout() {
  using A = ActionId;
  static const std::vector<std::optional<Entry>> entries = {
      Entry{A::OpenPicture, {}},
      Entry{A::HidePicture, {}},
      Entry{A::CaptureRegion, {}},
      std::nullopt,
      Entry{A::PreviousPicture, {}},
      Entry{A::NextPicture, {}},
      Entry{A::Slideshow, {}},
      std::nullopt,
      Entry{A::RestorePicture, {}},
      Entry{A::Transparency, {}},
      std::nullopt,
      Entry{A::Mirror,
            {{A::MirrorHorizontal, {}}, {A::MirrorVertical, {}}, {A::MirrorDiagonal, {}}}},
      Entry{A::Rotate, {{A::RotateRightAngle, {}}, {A::RotateByAngle, {}}}},
      Entry{A::GrayFromKey,
            {{A::Gray2, {}},
             {A::Gray4, {}},
             {A::Gray8, {}},
             {A::Gray16, {}},
             {A::Gray32, {}},
             {A::Gray64, {}},
             {A::Gray128, {}},
             {A::GrayCustom, {}},
             {A::GrayRestore, {}}}},
      Entry{A::RatioMode, {}},
      std::nullopt,
      Entry{A::Doodle, {}},
      std::nullopt,
      Entry{A::ClickThrough, {}},
      Entry{A::Avoidance, {}},
      Entry{A::Topmost, {}},
      std::nullopt,
      Entry{A::TextNote, {}},
      Entry{A::Help, {}},
      Entry{A::CloseProgram, {}},
  };
  return entries;
}

ui::MenuItem item(core::Program& p, const Entry& entry) {
  const Action& a = action(entry.id);
  ui::MenuItem it;
  it.caption = a.caption;
  it.icon = a.icon.shown(p);
  if (a.run) {
    const ActionId id = entry.id;
    it.action = [&p, id] { runFromMenu(p, id); };
  }
  for (const Entry& child : entry.children) it.children.push_back(item(p, child));
  return it;
}

bool findPath(const Entry& entry, ActionId id, std::vector<ActionId>& path) {
  path.push_back(entry.id);
  if (entry.id == id) return true;
  for (const Entry& child : entry.children) {
    if (findPath(child, id, path)) return true;
  }
  path.pop_back();
  return false;
}

}  // namespace

std::vector<ActionId> menuPath(ActionId id) {
  std::vector<ActionId> path;
  for (const auto& entry : layout()) {
    if (entry && findPath(*entry, id, path)) break;
  }
  return path;
}

ui::Menu mainMenu(core::Program& p) {
  ui::Menu menu;
  menu.title = "操作";
  menu.banner = "banner";
  for (const auto& entry : layout()) {
    menu.items.push_back(entry ? item(p, *entry) : ui::MenuItem::separatorLine());
  }
  return menu;
}

void popupMainMenu(core::Program& p) {
  ui::Window* w = p.main();
  if (!w) return;
  w->menu() = mainMenu(p);
  w->popupMenu(w->menu());
}

}  // namespace quillet::app
