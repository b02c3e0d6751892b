#include "platform/qt/popup_menu.h"

#include <QtWidgets/QMenu>

#include <unordered_map>
#include <vector>

namespace quillet::qtui {

namespace {

using Leaves = std::unordered_map<const QAction*, const ui::MenuItem*>;

void fill(QMenu& target, const std::vector<ui::MenuItem>& items, const IconProvider& icons,
          Leaves& leaves) {
  for (const auto& item : items) {
    if (item.separator) {
      target.addSeparator();
      continue;
    }
    const QString caption = QString::fromStdString(item.caption);
    const QIcon icon = icons && item.icon != 0 ? icons(item.icon) : QIcon();
    if (!item.children.empty()) {
      QMenu* sub = target.addMenu(icon, caption);
      fill(*sub, item.children, icons, leaves);
      continue;
    }
    QAction* action = target.addAction(icon, caption);
    leaves.emplace(action, &item);
  }
}

}  // namespace

const ui::MenuItem* runPopupMenu(const ui::Menu& menu, QPoint at, const IconProvider& icons) {
  // No parent: the window the menu belongs to may be destroyed while it is open.
  QMenu popup;
  if (!menu.title.empty()) popup.setTitle(QString::fromStdString(menu.title));
  Leaves leaves;
  fill(popup, menu.items, icons, leaves);
  if (leaves.empty()) return nullptr;
  const QAction* chosen = popup.exec(at);
  auto it = leaves.find(chosen);
  return it == leaves.end() ? nullptr : it->second;
}

}  // namespace quillet::qtui
