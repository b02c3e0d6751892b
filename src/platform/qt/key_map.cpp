#include "platform/qt/key_map.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/qt/key_symbols.h"
#include "platform/ui/input.h"

namespace quillet::qtui {

namespace {

using Entry = std::pair<int, int>;  // Qt key, virtual-key code

// Keys of the numeric keypad: they keep their own codes whatever Num Lock says
// about the digits, so keypad plus zooms while main-keyboard plus does not.
constexpr std::array kKeypad{
    Entry{Qt::Key_0, 0x60},     Entry{Qt::Key_1, 0x61},        Entry{Qt::Key_2, 0x62},
    Entry{Qt::Key_3, 0x63},     Entry{Qt::Key_4, 0x64},        Entry{Qt::Key_5, 0x65},
    Entry{Qt::Key_6, 0x66},     Entry{Qt::Key_7, 0x67},        Entry{Qt::Key_8, 0x68},
    Entry{Qt::Key_9, 0x69},     Entry{Qt::Key_Asterisk, 0x6A}, Entry{Qt::Key_Plus, 0x6B},
    Entry{Qt::Key_Minus, 0x6D}, Entry{Qt::Key_Period, 0x6E},   Entry{Qt::Key_Comma, 0x6E},
    Entry{Qt::Key_Slash, 0x6F}, Entry{Qt::Key_Enter, 0x0D},    Entry{Qt::Key_Clear, 0x0C},
};

// Everything else that is not a letter or a digit. The shifted symbols of a US
// layout map back to the key that produces them, for when the key's own
// unshifted symbol is unknown.
constexpr std::array kNamed{
    Entry{Qt::Key_Backspace, 0x08},    Entry{Qt::Key_Tab, 0x09},
    Entry{Qt::Key_Backtab, 0x09},      Entry{Qt::Key_Clear, 0x0C},
    Entry{Qt::Key_Return, 0x0D},       Entry{Qt::Key_Enter, 0x0D},
    Entry{Qt::Key_Shift, 0x10},        Entry{Qt::Key_Control, 0x11},
    Entry{Qt::Key_Alt, 0x12},          Entry{Qt::Key_Pause, 0x13},
    Entry{Qt::Key_CapsLock, 0x14},     Entry{Qt::Key_Escape, 0x1B},
    Entry{Qt::Key_Space, 0x20},        Entry{Qt::Key_PageUp, 0x21},
    Entry{Qt::Key_PageDown, 0x22},     Entry{Qt::Key_End, 0x23},
    Entry{Qt::Key_Home, 0x24},         Entry{Qt::Key_Left, 0x25},
    Entry{Qt::Key_Up, 0x26},           Entry{Qt::Key_Right, 0x27},
    Entry{Qt::Key_Down, 0x28},         Entry{Qt::Key_Print, 0x2C},
    Entry{Qt::Key_Insert, 0x2D},       Entry{Qt::Key_Delete, 0x2E},
    Entry{Qt::Key_Meta, 0x5B},         Entry{Qt::Key_Menu, 0x5D},
    Entry{Qt::Key_F1, 0x70},           Entry{Qt::Key_F2, 0x71},
    Entry{Qt::Key_F3, 0x72},           Entry{Qt::Key_F4, 0x73},
    Entry{Qt::Key_F5, 0x74},           Entry{Qt::Key_F6, 0x75},
    Entry{Qt::Key_F7, 0x76},           Entry{Qt::Key_F8, 0x77},
    Entry{Qt::Key_F9, 0x78},           Entry{Qt::Key_F10, 0x79},
    Entry{Qt::Key_F11, 0x7A},          Entry{Qt::Key_F12, 0x7B},
    Entry{Qt::Key_NumLock, 0x90},      Entry{Qt::Key_ScrollLock, 0x91},
    Entry{Qt::Key_Semicolon, 0xBA},    Entry{Qt::Key_Colon, 0xBA},
    Entry{Qt::Key_Equal, 0xBB},        Entry{Qt::Key_Plus, 0xBB},
    Entry{Qt::Key_Comma, 0xBC},        Entry{Qt::Key_Less, 0xBC},
    Entry{Qt::Key_Minus, 0xBD},        Entry{Qt::Key_Underscore, 0xBD},
    Entry{Qt::Key_Period, 0xBE},       Entry{Qt::Key_Greater, 0xBE},
    Entry{Qt::Key_Slash, 0xBF},        Entry{Qt::Key_Question, 0xBF},
    Entry{Qt::Key_QuoteLeft, 0xC0},    Entry{Qt::Key_AsciiTilde, 0xC0},
    Entry{Qt::Key_BracketLeft, 0xDB},  Entry{Qt::Key_BraceLeft, 0xDB},
    Entry{Qt::Key_Backslash, 0xDC},    Entry{Qt::Key_Bar, 0xDC},
    Entry{Qt::Key_BracketRight, 0xDD}, Entry{Qt::Key_BraceRight, 0xDD},
    Entry{Qt::Key_Apostrophe, 0xDE},   Entry{Qt::Key_QuoteDbl, 0xDE},
};

// The US layout's Shift+digit symbols, so that a handler bound to "3" also
// sees Shift+3 where nothing but the produced symbol tells the key. Under
// xcb the digit row is known by position instead, and these symbols come
// from other keys on other layouts: "!" is a key of its own in French, "*"
// is Shift+"+" in German.
constexpr std::array kUsShiftedDigits{
    Entry{Qt::Key_ParenRight, 0x30},  Entry{Qt::Key_Exclam, 0x31},    Entry{Qt::Key_At, 0x32},
    Entry{Qt::Key_NumberSign, 0x33},  Entry{Qt::Key_Dollar, 0x34},    Entry{Qt::Key_Percent, 0x35},
    Entry{Qt::Key_AsciiCircum, 0x36}, Entry{Qt::Key_Ampersand, 0x37}, Entry{Qt::Key_Asterisk, 0x38},
    Entry{Qt::Key_ParenLeft, 0x39},
};

// X keycodes of the main block (the same in the evdev and the older xfree86
// sets). The digit row decides digits by position, as Windows does on every
// layout; the letter rows are only a last resort for layouts without Latin
// letters, where Qt reports a Cyrillic or Greek key.
constexpr int kX11DigitRowFirst = 10;  // "1" .. "9", then "0" at 19
constexpr std::array<std::pair<int, const char*>, 3> kX11LetterRows{{
    {24, "QWERTYUIOP"},
    {38, "ASDFGHJKL"},
    {52, "ZXCVBNM"},
}};

template <std::size_t N>
int lookUp(const std::array<Entry, N>& table, int qtKey) {
  auto it = std::find_if(table.begin(), table.end(),
                         [qtKey](const Entry& e) { return e.first == qtKey; });
  return it == table.end() ? 0 : it->second;
}

int x11DigitRow(quint32 scanCode) {
  const int index = static_cast<int>(scanCode) - kX11DigitRowFirst;
  if (index < 0 || index > 9) return 0;
  return index == 9 ? ui::key::k0 : ui::key::k0 + 1 + index;
}

bool isLetter(int qtKey) { return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z; }
bool isDigit(int qtKey) { return qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9; }

// Keys that give a printable symbol other than a Latin letter or a digit.
bool isSymbol(int qtKey) {
  return qtKey > Qt::Key_Space && qtKey <= Qt::Key_ydiaeresis && !isLetter(qtKey) &&
         !isDigit(qtKey);
}

int x11LetterRows(quint32 scanCode) {
  for (const auto& [first, letters] : kX11LetterRows) {
    const int index = static_cast<int>(scanCode) - first;
    const int length = static_cast<int>(std::char_traits<char>::length(letters));
    if (index >= 0 && index < length) return ui::key::letter(letters[index]);
  }
  return 0;
}

}  // namespace

KeyPress describeKey(const QKeyEvent& event) {
  KeyPress key;
  key.qtKey = event.key();
  key.modifiers = event.modifiers();
  key.scanCode = event.nativeScanCode();
  key.x11Keycodes = QGuiApplication::platformName() == QLatin1String("xcb");
  if (key.x11Keycodes && isSymbol(key.qtKey) && !key.modifiers.testFlag(Qt::KeypadModifier)) {
    key.unshiftedKey = unshiftedKeyOf(key.scanCode, event.nativeModifiers());
  }
  return key;
}

int virtualKey(const KeyPress& key) {
  if (key.modifiers.testFlag(Qt::KeypadModifier)) {
    if (int code = lookUp(kKeypad, key.qtKey)) return code;
  }
  if (key.x11Keycodes) {
    if (int code = x11DigitRow(key.scanCode)) return code;
  }
  if (isLetter(key.qtKey)) return ui::key::kA + (key.qtKey - Qt::Key_A);
  if (isDigit(key.qtKey)) return ui::key::k0 + (key.qtKey - Qt::Key_0);
  // A symbol key is the key of its unshifted symbol, as Windows names keys.
  if (key.unshiftedKey != 0) {
    if (isLetter(key.unshiftedKey)) return ui::key::kA + (key.unshiftedKey - Qt::Key_A);
    return lookUp(kNamed, key.unshiftedKey);
  }
  if (int code = lookUp(kNamed, key.qtKey)) return code;
  if (key.x11Keycodes) return x11LetterRows(key.scanCode);
  return lookUp(kUsShiftedDigits, key.qtKey);
}

int modifierSum(Qt::KeyboardModifiers modifiers) {
  int sum = 0;
  if (modifiers.testFlag(Qt::ControlModifier)) sum += ui::kCtrl;
  if (modifiers.testFlag(Qt::ShiftModifier)) sum += ui::kShift;
  if (modifiers.testFlag(Qt::AltModifier)) sum += ui::kAlt;
  return sum;
}

}  // namespace quillet::qtui
