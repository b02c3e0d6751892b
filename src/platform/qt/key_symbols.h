#pragma once

#include <QtCore/QtGlobal>

namespace quillet::qtui {

// The Qt key of the symbol that the physical key `keycode` gives without
// Shift, in the keyboard group that the event's native `state` names, on the
// layout the window system uses now; 0 when the window system cannot say or
// the symbol is not printable ASCII.
int unshiftedKeyOf(quint32 keycode, quint32 state);

}  // namespace quillet::qtui
