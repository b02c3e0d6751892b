#pragma once

#include <QtCore/QPoint>
#include <QtGui/QIcon>

#include <functional>

#include "platform/ui/menu.h"

namespace quillet::qtui {

// The program's own icon for an icon number; a null icon for none.
using IconProvider = std::function<QIcon(int number)>;

// Shows `menu` at `at` and blocks until it closes; returns the chosen leaf,
// or nullptr when the menu was dismissed.
const ui::MenuItem* runPopupMenu(const ui::Menu& menu, QPoint at, const IconProvider& icons);

}  // namespace quillet::qtui
