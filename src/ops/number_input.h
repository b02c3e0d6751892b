#pragma once

#include <optional>
#include <string>

// Whole numbers typed into the one-line input boxes. A number is optional
// blanks, an optional sign and at least one digit, then optional blanks;
// anything else (an empty box, "3.5", "abc") is no number at all.
namespace quillet::ops {

// Values beyond the int range come back as its nearest end, so that a
// count clamped afterwards keeps the sense of what was typed.
std::optional<int> readWholeNumber(const std::string& text);

// The typed angle reduced modulo 360 (sign kept), exact for any number of digits.
std::optional<int> readDegrees(const std::string& text);

}  // namespace quillet::ops
