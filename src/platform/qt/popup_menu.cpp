#include "platform/qt/popup_menu.h"

#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
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

// A menu with a picture running down its left side.
class BannerMenu : public QMenu {
 public:
  explicit BannerMenu(QPixmap banner) : banner_(std::move(banner)) {
    if (!banner_.isNull()) setContentsMargins(banner_.width(), 0, 0, 0);
  }

 protected:
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
  QPixmap banner_;
};

}  // namespace

const ui::MenuItem* runPopupMenu(const ui::Menu& menu, QPoint at, const IconProvider& icons,
                                 const BannerProvider& banners) {
  // No parent: the window the menu belongs to may be destroyed while it is open.
  BannerMenu popup(!menu.banner.empty() && banners ? banners(menu.banner) : QPixmap());
  if (!menu.title.empty()) popup.setTitle(QString::fromStdString(menu.title));
  Leaves leaves;
  fill(popup, menu.items, icons, leaves);
  if (leaves.empty()) return nullptr;
  const QAction* chosen = popup.exec(at);
  auto it = leaves.find(chosen);
  return it == leaves.end() ? nullptr : it->second;
}

}  // namespace quillet::qtui
