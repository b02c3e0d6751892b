#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include "platform/qt/control_adapter.h"

namespace quillet::qtui {

namespace {

// A timer has nothing to show; its widget only gives it a place among the
// window's controls.
class TimerAdapter : public AdapterFor<ui::Timer, QWidget> {
 public:
  TimerAdapter(ui::Control& control, QWidget* container, ControlHost& host)
      : AdapterFor(control, new QWidget(container)), clock_(new QTimer(view())) {
    view()->setAttribute(Qt::WA_TransparentForMouseEvents);
    view()->setFocusPolicy(Qt::NoFocus);
    ui::Timer& timer = model();
    QObject::connect(clock_, &QTimer::timeout, clock_,
                     [&host, &timer] { host.runForModel([&timer] { timer.tick(); }); });
  }

  // The window may be dropped by the timer's own tick, so the clock is not
  // deleted here, under its running signal, but stopped for good; it goes
  // with the window's widget.
  ~TimerAdapter() override {
    clock_->stop();
    QObject::disconnect(clock_, nullptr, nullptr, nullptr);
  }

 protected:
  void mirrorContent(ui::Change what) override {
    if (what != ui::Change::Timing) return;
    const int interval = model().interval();
    if (interval > 0) {
      clock_->start(interval);
    } else {
      clock_->stop();
    }
  }

 private:
  QTimer* clock_;
};

}  // namespace

std::unique_ptr<ControlAdapter> makeTimerAdapter(ui::Control& control, QWidget* container,
                                                 ControlHost& host) {
  return std::make_unique<TimerAdapter>(control, container, host);
}

}  // namespace quillet::qtui
