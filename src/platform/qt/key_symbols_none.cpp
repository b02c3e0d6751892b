#include "platform/qt/key_symbols.h"

namespace quillet::qtui {

// Without X keycodes only the produced symbol tells the key.
int unshiftedKeyOf(quint32 /*keycode*/, quint32 /*state*/) { return 0; }

}  // namespace quillet::qtui
