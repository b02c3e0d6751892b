#include <QtGui/QKeyEvent>
#include <QtTest/QTest>

#include <vector>

#include "platform/qt/key_map.h"
#include "platform/ui/input.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

struct Key {
  int code;
  int modifiers;
  bool operator==(const Key&) const = default;
};

void PrintTo(const Key& k, std::ostream* os) {
  *os << std::hex << "0x" << k.code << std::dec << " mod " << k.modifiers;
}

class KeyInput : public QtFixture {
 protected:
  void SetUp() override {
    window = &makeWindow();
    // QTest presses and releases the modifier keys around the key, as a
    // person does; those are not what these tests look at.
    auto isModifierKey = [](int code) { return code >= ui::key::kShift && code <= ui::key::kMenu; };
    window->onKeyDown = [this, isModifierKey](int code, int modifiers) {
      if (!isModifierKey(code)) downs.push_back({code, modifiers});
    };
    window->onKeyUp = [this, isModifierKey](int code, int modifiers) {
      if (!isModifierKey(code)) ups.push_back({code, modifiers});
    };
  }
  ui::Window* window = nullptr;
  std::vector<Key> downs, ups;
};

TEST_F(KeyInput, KeysReachTheWindowAsVirtualKeyCodesAndModifierSums) {
  struct Case {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Key expected;
  };
  const Case cases[] = {
      {"Shift+3 arrives as '#'", Qt::Key_NumberSign, Qt::ShiftModifier, {0x33, ui::kShift}},
      {"Shift+1 arrives as '!'", Qt::Key_Exclam, Qt::ShiftModifier, {0x31, ui::kShift}},
      {"plain 3", Qt::Key_3, Qt::NoModifier, {0x33, 0}},
      {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, {ui::key::kAdd, 0}},
      {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, {ui::key::kSubtract, 0}},
      {"keypad 7", Qt::Key_7, Qt::KeypadModifier, {0x67, 0}},
      {"keypad period", Qt::Key_Period, Qt::KeypadModifier, {ui::key::kDecimal, 0}},
      {"main-keyboard minus", Qt::Key_Minus, Qt::NoModifier, {ui::key::kOemMinus, 0}},
      {"Shift+= arrives as '+'", Qt::Key_Plus, Qt::ShiftModifier, {ui::key::kOemPlus, ui::kShift}},
      {"comma", Qt::Key_Comma, Qt::NoModifier, {ui::key::kOemComma, 0}},
      {"Page Down", Qt::Key_PageDown, Qt::NoModifier, {ui::key::kPageDown, 0}},
      {"Ctrl+letter", Qt::Key_O, Qt::ControlModifier, {ui::key::letter('O'), ui::kCtrl}},
      {"Ctrl+Shift+letter",
       Qt::Key_Z,
       Qt::ControlModifier | Qt::ShiftModifier,
       {ui::key::letter('Z'), ui::kCtrl + ui::kShift}},
      {"Alt+F4", Qt::Key_F4, Qt::AltModifier, {0x73, ui::kAlt}},
      {"F12", Qt::Key_F12, Qt::NoModifier, {0x7B, 0}},
      {"Tab is not spent on focus", Qt::Key_Tab, Qt::NoModifier, {ui::key::kTab, 0}},
      {"Escape", Qt::Key_Escape, Qt::NoModifier, {ui::key::kEscape, 0}},
      {"Space", Qt::Key_Space, Qt::NoModifier, {ui::key::kSpace, 0}},
      {"main-keyboard '='", Qt::Key_Equal, Qt::NoModifier, {ui::key::kOemPlus, 0}},
      {"keypad '*'", Qt::Key_Asterisk, Qt::KeypadModifier, {ui::key::kMultiply, 0}},
      {"Shift+8 arrives as '*'", Qt::Key_Asterisk, Qt::ShiftModifier, {0x38, ui::kShift}},
      {"Alt+Left", Qt::Key_Left, Qt::AltModifier, {ui::key::kLeft, ui::kAlt}},
      {"Alt+Right", Qt::Key_Right, Qt::AltModifier, {ui::key::kRight, ui::kAlt}},
  };
  for (const auto& c : cases) {
    downs.clear();
    ups.clear();
    QTest::keyClick(&widget(*window), c.key, c.modifiers);
    EXPECT_EQ(downs, std::vector<Key>{c.expected}) << c.what;
    EXPECT_EQ(ups, std::vector<Key>{c.expected}) << c.what;
  }
}

// Without a scan code only the produced character tells the key; the digit
// row must still arrive as digits, and the keypad's digits as its own.
TEST_F(KeyInput, DigitsKeepTheirCodesWhetherShiftedOrOnTheKeypad) {
  const Qt::Key shiftedUs[10] = {Qt::Key_ParenRight,  Qt::Key_Exclam,    Qt::Key_At,
                                 Qt::Key_NumberSign,  Qt::Key_Dollar,    Qt::Key_Percent,
                                 Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,
                                 Qt::Key_ParenLeft};
  for (int digit = 0; digit <= 9; ++digit) {
    const auto plain = static_cast<Qt::Key>(Qt::Key_0 + digit);
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      Key expected;
    } cases[] = {
        {plain, Qt::NoModifier, {ui::key::k0 + digit, 0}},
        {shiftedUs[digit], Qt::ShiftModifier, {ui::key::k0 + digit, ui::kShift}},
        {plain, Qt::KeypadModifier, {ui::key::kNumpad0 + digit, 0}},
    };
    for (const auto& c : cases) {
      downs.clear();
      QTest::keyClick(&widget(*window), c.key, c.modifiers);
      EXPECT_EQ(downs, std::vector<Key>{c.expected}) << "digit " << digit;
    }
  }
}

TEST_F(KeyInput, AutoRepeatRepeatsKeyDownsButNotKeyUps) {
  auto& w = widget(*window);
  for (bool repeat : {false, true, true}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
    QCoreApplication::sendEvent(&w, &press);
    if (repeat) {
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
      QCoreApplication::sendEvent(&w, &release);
    }
  }
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &release);
  EXPECT_EQ(downs.size(), 3u);
  EXPECT_EQ(ups, (std::vector<Key>{{ui::key::kRight, 0}}));
}

// Under X11 the digit row is known by position, whatever the layout puts on
// it, and any other key by what it gives without Shift.
TEST(KeyTranslation, X11KeycodesDecideDigitsAndRescueNonLatinLetters) {
  struct Case {
    const char* what;
    qtui::KeyPress key;
    int expected;
  };
  const Case cases[] = {
      {"AZERTY '&' key is 1", {Qt::Key_Ampersand, {}, 10, true}, 0x31},
      {"US Shift+3", {Qt::Key_NumberSign, Qt::ShiftModifier, 12, true}, 0x33},
      {"key 0 ends the row", {Qt::Key_ParenRight, Qt::ShiftModifier, 19, true}, 0x30},
      {"Cyrillic ef on the A key", {0x0424, {}, 38, true}, ui::key::letter('A')},
      {"keypad keeps its code", {Qt::Key_1, Qt::KeypadModifier, 87, true}, 0x61},
      {"keycodes ignored off X11", {Qt::Key_Ampersand, {}, 10, false}, 0x37},
      {"German Shift+'+' gives '*'",
       {Qt::Key_Asterisk, Qt::ShiftModifier, 35, true, Qt::Key_Plus},
       ui::key::kOemPlus},
      {"German Shift+',' gives ';'",
       {Qt::Key_Semicolon, Qt::ShiftModifier, 59, true, Qt::Key_Comma},
       ui::key::kOemComma},
      {"German AltGr+Q gives '@'",
       {Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, 24, true, Qt::Key_Q},
       ui::key::letter('Q')},
      {"French '!' is a key of its own", {Qt::Key_Exclam, {}, 61, true, Qt::Key_Exclam}, 0},
      {"French '*' is a key of its own", {Qt::Key_Asterisk, {}, 51, true, Qt::Key_Asterisk}, 0},
      {"no US digit for a shifted symbol under X11",
       {Qt::Key_Asterisk, Qt::ShiftModifier, 35, true},
       0},
      {"US Shift+'=' when the map cannot say",
       {Qt::Key_Plus, Qt::ShiftModifier, 21, true},
       ui::key::kOemPlus},
      {"unknown key has no code", {Qt::Key_Launch0, {}, 0, false}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(qtui::virtualKey(c.key), c.expected) << c.what;
}

}  // namespace
}  // namespace quillet::qttest
