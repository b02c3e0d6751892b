#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "core/whole_numbers.h"

namespace quillet::testing {
namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

// An input box's answer is a number or nothing; a box read on every tick
// takes what its text starts with. Both keep to the int range.
TEST(WholeNumbers, AnswersAreWholeOrNothing_TickedBoxesTakeTheirLeadingNumber) {
  struct Case {
    const char* typed;
    std::optional<int> answer;
    std::optional<int> degrees;
    int leading;
  };
  const Case cases[] = {
      {"30", 30, 30, 30},
      {"  -7\t", -7, -7, -7},
      {"+12", 12, 12, 12},
      {"12s", std::nullopt, std::nullopt, 12},
      {"3.5", std::nullopt, std::nullopt, 3},
      {"abc", std::nullopt, std::nullopt, 0},
      {"", std::nullopt, std::nullopt, 0},
      {"-", std::nullopt, std::nullopt, 0},
      {"- 5", std::nullopt, std::nullopt, 0},
      {"725", 725, 5, 725},
      {"-1080", -1080, 0, -1080},
      {"99999999999999", kMax, 99999999999999 % 360, kMax},
      {"-99999999999999", kMin, -(99999999999999 % 360), kMin},
      {"2147483648", kMax, 2147483648 % 360, kMax},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::readWholeNumber(c.typed), c.answer) << '"' << c.typed << '"';
    EXPECT_EQ(core::readDegrees(c.typed), c.degrees) << '"' << c.typed << '"';
    EXPECT_EQ(core::leadingWholeNumber(c.typed), c.leading) << '"' << c.typed << '"';
  }
}

}  // namespace
}  // namespace quillet::testing
