#include "support/memory_backend.h"

#include <algorithm>

#include "platform/image/picture.h"

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
