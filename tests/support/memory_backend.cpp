#include "support/memory_backend.h"

namespace quillet::testing {

namespace {

class NullPeer : public ui::WindowPeer {
 public:
  void windowChanged(ui::Change) override {}
  void controlChanged(ui::Control&, ui::Change) override {}
  void controlAdded(ui::Control&) override {}
};

}  // namespace

std::unique_ptr<ui::WindowPeer> MemoryBackend::createPeer(ui::Window&) {
  return std::make_unique<NullPeer>();
}

ui::FileDialogResult MemoryBackend::openFileDialog(ui::Window*, const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& preset) {
  dialogs.push_back({title, filter, preset});
  if (dialogAnswers.empty()) return {};
  auto answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

void MemoryBackend::messageBox(ui::Window*, const std::string& text, const std::string& caption) {
  messages.push_back({text, caption});
}

const ui::MenuItem* MemoryBackend::popupMenu(ui::Window&, const ui::Menu& menu) {
  menusShown.push_back(menu.title);
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
