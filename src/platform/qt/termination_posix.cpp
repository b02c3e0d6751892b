#include <QtCore/QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <utility>

#include "platform/qt/termination.h"

namespace quillet::qtui {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
// Where the signal handler writes; it may make async-signal-safe calls only.
volatile std::sig_atomic_t writeEnd = -1;

extern "C" void onTerminationSignal(int) {
  const int saved = errno;
  const int fd = writeEnd;
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(fd, &byte, 1);
  }
  errno = saved;
}

class PosixSignalRoute : public SignalRoute {
 public:
  PosixSignalRoute(QObject& context, std::function<void()> onSignal)
      : onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_.data()) != 0) {
      fds_ = {-1, -1};
      return;
    }
    writeEnd = fds_[0];
    notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context, [this] {
      drain();
      if (onSignal_) onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
      ::sigaction(kSignals[i], &action, &previous_[i]);
    }
  }

  ~PosixSignalRoute() override {
    if (fds_[0] < 0) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
      ::sigaction(kSignals[i], &previous_[i], nullptr);
    }
    writeEnd = -1;
    notifier_.reset();
    ::close(fds_[0]);
    ::close(fds_[1]);
  }

  PosixSignalRoute(const PosixSignalRoute&) = delete;
  PosixSignalRoute& operator=(const PosixSignalRoute&) = delete;

 private:
  void drain() {
    std::array<char, 64> buffer{};
    while (::read(fds_[1], buffer.data(), buffer.size()) > 0) {
    }
  }

  std::function<void()> onSignal_;
  std::array<int, 2> fds_{-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace

std::unique_ptr<SignalRoute> routeTerminationSignals(QObject& context,
                                                     std::function<void()> onSignal) {
  return std::make_unique<PosixSignalRoute>(context, std::move(onSignal));
}

}  // namespace quillet::qtui
