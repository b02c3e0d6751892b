#include "platform/qt/termination.h"

namespace quillet::qtui {

// Systems without POSIX signals end programs through the session only.
std::unique_ptr<SignalRoute> routeTerminationSignals(QObject&, std::function<void()>) {
  return nullptr;
}

}  // namespace quillet::qtui
