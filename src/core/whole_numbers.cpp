#include "core/whole_numbers.h"

#include <limits>
#include <string_view>

namespace quillet::core {

namespace {

struct Typed {
  bool negative = false;
  std::string_view digits;
  std::string_view rest;  // what follows the digits
};

bool blank(char c) { return c == ' ' || c == '\t'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

Typed split(const std::string& text) {
  std::string_view rest(text);
  while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
  Typed typed;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    typed.negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::size_t n = 0;
  while (n < rest.size() && digit(rest[n])) ++n;
  typed.digits = rest.substr(0, n);
  typed.rest = rest.substr(n);
  return typed;
}

// The typed text as a whole number and nothing else.
std::optional<Typed> whole(const std::string& text) {
  Typed typed = split(text);
  while (!typed.rest.empty() && blank(typed.rest.front())) typed.rest.remove_prefix(1);
  if (typed.digits.empty() || !typed.rest.empty()) return std::nullopt;
  return typed;
}

int clamped(const Typed& typed) {
  constexpr long long kCap = std::numeric_limits<int>::max() + 1LL;
  long long value = 0;
  for (char c : typed.digits) {
    value = value * 10 + (c - '0');
    if (value >= kCap) {
      value = kCap;
      break;
    }
  }
  if (typed.negative) return static_cast<int>(-value);
  return static_cast<int>(value >= kCap ? kCap - 1 : value);
}

}  // namespace

std::optional<int> readWholeNumber(const std::string& text) {
  const auto typed = whole(text);
  if (!typed) return std::nullopt;
  return clamped(*typed);
}

std::optional<int> readDegrees(const std::string& text) {
  const auto typed = whole(text);
  if (!typed) return std::nullopt;
  int value = 0;
  for (char c : typed->digits) value = (value * 10 + (c - '0')) % 360;
  return typed->negative ? -value : value;
}

int leadingWholeNumber(const std::string& text) { return clamped(split(text)); }

}  // namespace quillet::core
