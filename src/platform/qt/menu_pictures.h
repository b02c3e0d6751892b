#pragma once

#include <QtGui/QIcon>
#include <QtGui/QPixmap>

namespace quillet::qtui {

// The program's own menu icons, drawn at run time; a null icon for numbers
// the set does not have.
QIcon menuIcon(int number);

// The picture that runs down the side of a menu with a banner.
QPixmap menuBanner();

}  // namespace quillet::qtui
