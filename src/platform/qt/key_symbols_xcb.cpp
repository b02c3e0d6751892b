#include "platform/qt/key_symbols.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QtGui/QGuiApplication>

#include <cstdlib>
#include <memory>

namespace quillet::qtui {

int unshiftedKeyOf(quint32 keycode, quint32 state) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || keycode < 8 || keycode > 255) return 0;
  xcb_connection_t* connection = x11->connection();
  if (!connection) return 0;
  // Asked at every symbol key rather than kept: a layout switched while the
  // program runs (setxkbmap, a layout key) holds from the next key on, and
  // the question is one short round trip.
  const auto code = static_cast<xcb_keycode_t>(keycode);
  std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
      xcb_get_keyboard_mapping_reply(connection, xcb_get_keyboard_mapping(connection, code, 1),
                                     nullptr),
      &std::free);
  if (!reply) return 0;
  const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply.get());
  const int count = xcb_get_keyboard_mapping_keysyms_length(reply.get());
  // The core map holds two levels for each of the first two groups; the
  // group of the event is in bits 13 and 14 of its state.
  const int group = static_cast<int>((state >> 13) & 3);
  xcb_keysym_t symbol = 2 * group < count ? symbols[2 * group] : 0;
  if (symbol == 0 && count > 0) symbol = symbols[0];
  // Printable ASCII keysyms are their characters, and Qt names a letter's
  // key by its capital.
  if (symbol <= 0x20 || symbol >= 0x7F) return 0;
  if (symbol >= 'a' && symbol <= 'z') return static_cast<int>(symbol - 'a' + 'A');
  return static_cast<int>(symbol);
}

}  // namespace quillet::qtui
