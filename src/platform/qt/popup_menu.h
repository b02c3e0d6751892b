#pragma once

#include <QtCore/QPoint>
#include <QtGui/QIcon>
#include <QtGui/QPixmap>

#include <functional>
#include <string>

#include "platform/ui/menu.h"

namespace quillet::qtui {

// The program's own icon for an icon number; a null icon for none.
using IconProvider = std::function<QIcon(int number)>;
// The picture of a banner by its name; a null pixmap for none.
using BannerProvider = std::function<QPixmap(const std::string& name)>;

// Shows `menu` at `at` and blocks until it closes; returns the chosen item (a
// leaf, or an item with both a submenu and an action that was clicked), or
// nullptr when the menu was dismissed.
const ui::MenuItem* runPopupMenu(const ui::Menu& menu, QPoint at, const IconProvider& icons,
                                 const BannerProvider& banners = {});

}  // namespace quillet::qtui
