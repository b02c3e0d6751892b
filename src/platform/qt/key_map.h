#pragma once

#include <QtCore/qnamespace.h>

class QKeyEvent;

namespace quillet::qtui {

// What a key event says about the key, reduced to what the translation needs,
// so the translation can be exercised without a window system.
struct KeyPress {
  int qtKey = 0;
  Qt::KeyboardModifiers modifiers;
  // The X keycode of the physical key under xcb; 0 when the platform gives none.
  quint32 scanCode = 0;
  bool x11Keycodes = false;
  // For a symbol key under xcb: the Qt key of what the same physical key gives
  // without Shift on the layout in use ('+' for a German Shift+'+', which
  // reads '*'); 0 when unknown.
  int unshiftedKey = 0;
};

KeyPress describeKey(const QKeyEvent& event);

// The Windows virtual-key code of the key; 0 for keys that have none.
int virtualKey(const KeyPress& key);

// Ctrl 1 + Shift 2 + Alt 4, as every model handler receives it.
int modifierSum(Qt::KeyboardModifiers modifiers);

}  // namespace quillet::qtui
