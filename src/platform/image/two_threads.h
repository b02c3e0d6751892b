#pragma once

#include <functional>
#include <utility>

namespace quillet::image::detail {

// Runs `work(1)` on a second thread while `work(0)` runs on this one, and
// returns when both are done; when no thread can be had, both run here.
// The machines this runs on have two cores or more, and the large
// operations split into two halves of equal cost.
void inTwo(const std::function<void(int half)>& work);

// The first or second half of [0, count).
inline std::pair<int, int> halfOf(int count, int half) {
  const int middle = count / 2;
  return half == 0 ? std::pair{0, middle} : std::pair{middle, count};
}

}  // namespace quillet::image::detail
