#include "ops/number_input.h"

#include <limits>
#include <string_view>

namespace quillet::ops {

namespace {

struct Typed {
  bool negative = false;
  std::string_view digits;
};

bool blank(char c) { return c == ' ' || c == '\t'; }

std::optional<Typed> split(const std::string& text) {
  std::string_view rest(text);
  while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && blank(rest.back())) rest.remove_suffix(1);
  Typed typed;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    typed.negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty()) return std::nullopt;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  typed.digits = rest;
  return typed;
}

}  // namespace

std::optional<int> readWholeNumber(const std::string& text) {
  const auto typed = split(text);
  if (!typed) return std::nullopt;
  constexpr long long kCap = std::numeric_limits<int>::max() + 1LL;
  long long value = 0;
  for (char c : typed->digits) {
    value = value * 10 + (c - '0');
    if (value >= kCap) {
      value = kCap;
      break;
    }
  }
  if (typed->negative) return static_cast<int>(-value);
  return static_cast<int>(value >= kCap ? kCap - 1 : value);
}

std::optional<int> readDegrees(const std::string& text) {
  const auto typed = split(text);
  if (!typed) return std::nullopt;
  int value = 0;
  for (char c : typed->digits) value = (value * 10 + (c - '0')) % 360;
  return typed->negative ? -value : value;
}

}  // namespace quillet::ops
