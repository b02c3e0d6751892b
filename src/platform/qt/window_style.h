#pragma once

#include <QtCore/qnamespace.h>

#include "platform/ui/widgets.h"

namespace quillet::qtui {

// The top-level flags that carry a model window's border, topmost state and
// extended style.
Qt::WindowFlags windowFlagsFor(const ui::Window& window);

// The window opacity: the layered alpha when the layered bit is set, else opaque.
double windowOpacityFor(const ui::Window& window);

}  // namespace quillet::qtui
