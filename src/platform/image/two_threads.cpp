#include "platform/image/two_threads.h"

#include <system_error>
#include <thread>

namespace quillet::image::detail {

void inTwo(const std::function<void(int half)>& work) {
  std::thread second;
  try {
    second = std::thread(work, 1);
  } catch (const std::system_error&) {
    work(0);
    work(1);
    return;
  }
  work(0);
  second.join();
}

}  // namespace quillet::image::detail
