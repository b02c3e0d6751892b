#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet::ui {

// A pop-up menu declared as data. An item with children is a submenu; a
// separator has no caption. Icon numbers index the program's own icon set
// (0 = no icon); modes show their state by switching the number.
struct MenuItem {
  std::string caption;
  int icon = 0;
  bool separator = false;
  std::vector<MenuItem> children;
  std::function<void()> action;

  static MenuItem separatorLine() {
    MenuItem item;
    item.separator = true;
    return item;
  }
};

struct Menu {
  std::string title;
  std::vector<MenuItem> items;
  // Name of the picture drawn as a vertical banner along the menu's side;
  // empty for none. Resolved by the backend against the program's own pictures.
  std::string banner;

  // Depth-first search by caption; nullptr when absent.
  MenuItem* find(const std::string& caption);
  const MenuItem* find(const std::string& caption) const;
};

}  // namespace quillet::ui
