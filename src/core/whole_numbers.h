#pragma once

#include <optional>
#include <string>

// Whole numbers in what the user typed. Each reader skips leading blanks and
// takes an optional sign; values beyond the int range come back as its
// nearest end, so that a count clamped afterwards keeps the sense of what
// was typed.
namespace quillet::core {

// An input box's answer: blanks, an optional sign and at least one digit,
// then optional blanks; anything else (an empty box, "3.5", "abc") is no
// number at all.
std::optional<int> readWholeNumber(const std::string& text);

// An input box's angle, reduced modulo 360 (sign kept), exact for any number
// of digits; no number as readWholeNumber says.
std::optional<int> readDegrees(const std::string& text);

// An editable box that is read on every tick: the number its text starts
// with, whatever follows ("12s" is 12); a text without digits is 0.
int leadingWholeNumber(const std::string& text);

}  // namespace quillet::core
