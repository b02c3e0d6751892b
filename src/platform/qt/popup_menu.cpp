#include "platform/qt/popup_menu.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QMenu>

#include <unordered_map>
#include <utility>
#include <vector>

namespace quillet::qtui {

namespace {

// The items of a menu tree that do something, by the QAction showing each.
struct Choices {
  std::unordered_map<const QAction*, const ui::MenuItem*> items;
  // A submenu's own item that was clicked; QMenu never chooses those itself.
  const ui::MenuItem* openerChosen = nullptr;
};

// A menu in which an item that opens a submenu can also be chosen, when it has
// an action of its own: hovering it opens the submenu, clicking it (or Return)
// runs the action. The outermost menu may carry a banner running down its
// left side.
class ChoosingMenu : public QMenu {
 public:
  ChoosingMenu(Choices& choices, QWidget* parent, QPixmap banner = {})
      : QMenu(parent), choices_(choices), banner_(std::move(banner)) {
    if (!banner_.isNull()) setContentsMargins(banner_.width(), 0, 0, 0);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    pressed_ = actionAt(event->position().toPoint());
    QMenu::mousePressEvent(event);
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    QAction* under = actionAt(event->position().toPoint());
    const bool clicked = under && under == std::exchange(pressed_, nullptr);
    if (clicked && chooseOpener(under)) return;
    QMenu::mouseReleaseEvent(event);
  }

  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && chooseOpener(activeAction())) return;
    QMenu::keyPressEvent(event);
  }

  void paintEvent(QPaintEvent* event) override {
    QMenu::paintEvent(event);
    if (banner_.isNull()) return;
    QPainter p(this);
    // Anchored at the bottom, as the text reads upwards from there; a taller
    // menu continues the banner's top colour.
    const int h = height();
    const int top = h - banner_.height();
    if (top > 0) {
      p.fillRect(QRect(0, 0, banner_.width(), top), banner_.toImage().pixelColor(0, 0));
    }
    p.drawPixmap(0, top, banner_);
  }

 private:
  bool chooseOpener(QAction* action) {
    if (!action || !action->menu()) return false;
    auto it = choices_.items.find(action);
    if (it == choices_.items.end()) return false;
    choices_.openerChosen = it->second;
    // Closing the outermost menu ends its exec(); the open submenu goes first.
    action->menu()->close();
    for (QWidget* w = this; w; w = w->parentWidget()) {
      if (auto* menu = qobject_cast<QMenu*>(w)) menu->close();
    }
    return true;
  }

  Choices& choices_;
  QPixmap banner_;
  QAction* pressed_ = nullptr;
};

void fill(QMenu& target, const std::vector<ui::MenuItem>& items, const IconProvider& icons,
          Choices& choices) {
  for (const auto& item : items) {
    if (item.separator) {
      target.addSeparator();
      continue;
    }
    const QString caption = QString::fromStdString(item.caption);
    const QIcon icon = icons && item.icon != 0 ? icons(item.icon) : QIcon();
    if (!item.children.empty()) {
      auto* sub = new ChoosingMenu(choices, &target);
      sub->setTitle(caption);
      sub->setIcon(icon);
      QAction* opener = target.addMenu(sub);
      if (item.action) choices.items.emplace(opener, &item);
      fill(*sub, item.children, icons, choices);
      continue;
    }
    QAction* action = target.addAction(icon, caption);
    choices.items.emplace(action, &item);
  }
}

}  // namespace

const ui::MenuItem* runPopupMenu(const ui::Menu& menu, QPoint at, const IconProvider& icons,
                                 const BannerProvider& banners) {
  // No parent: the window the menu belongs to may be destroyed while it is open.
  Choices choices;
  ChoosingMenu popup(choices, nullptr,
                     !menu.banner.empty() && banners ? banners(menu.banner) : QPixmap());
  if (!menu.title.empty()) popup.setTitle(QString::fromStdString(menu.title));
  fill(popup, menu.items, icons, choices);
  if (choices.items.empty()) return nullptr;
  const QAction* chosen = popup.exec(at);
  if (choices.openerChosen) return choices.openerChosen;
  auto it = choices.items.find(chosen);
  return it == choices.items.end() ? nullptr : it->second;
}

}  // namespace quillet::qtui
