#pragma once

#include <QtCore/QObject>

#include <functional>
#include <memory>

namespace quillet::qtui {

// Carries the system's termination signals to the event loop for as long as
// it exists; destroying it restores the previous signal handling.
class SignalRoute {
 public:
  virtual ~SignalRoute() = default;
};

// Installs the route on systems that have signals; nullptr elsewhere.
std::unique_ptr<SignalRoute> routeTerminationSignals(QObject& context,
                                                     std::function<void()> onSignal);

// Turns the ways the system asks a program to end (SIGTERM, SIGINT and SIGHUP
// where there are signals) into one call on the event loop, so the program
// ends through its ordinary shutdown and saves its state. A session that is
// about to end first asks the program to save (`onSaveRequest`); the logout
// may still be cancelled, so that alone does not end the program.
class TerminationWatcher : public QObject {
 public:
  TerminationWatcher(std::function<void()> onRequest, std::function<void()> onSaveRequest);
  ~TerminationWatcher() override;
  TerminationWatcher(const TerminationWatcher&) = delete;
  TerminationWatcher& operator=(const TerminationWatcher&) = delete;

 private:
  void requested();

  std::function<void()> onRequest_;
  std::function<void()> onSaveRequest_;
  std::unique_ptr<SignalRoute> signals_;
};

}  // namespace quillet::qtui
