#pragma once

#include <QtCore/qnamespace.h>
#include <QtCore/QPoint>
#include <QtCore/QSize>

#include <chrono>
#include <deque>
#include <functional>

#include "platform/ui/widgets.h"

class QWidget;

namespace quillet::qtui {

// Geometries this program asked for lately. The window system answers each
// request with an event that may arrive after a newer request; such a late
// answer is an echo, not a change made by the user.
template <class T>
class RecentRequests {
 public:
  void remember(const T& value) {
    forgetOld();
    entries_.push_back({value, Clock::now()});
    if (entries_.size() > kKeep) entries_.pop_front();
  }
  bool contains(const T& value) {
    forgetOld();
    for (const auto& e : entries_) {
      if (e.value == value) return true;
    }
    return false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kKeep = 16;
  static constexpr auto kLifetime = std::chrono::seconds(2);
  struct Entry {
    T value;
    Clock::time_point when;
  };
  void forgetOld() {
    const auto now = Clock::now();
    while (!entries_.empty() && now - entries_.front().when > kLifetime) entries_.pop_front();
  }
  std::deque<Entry> entries_;
};

// Mirrors a model window's place, visibility, title, style and opacity onto
// its top-level widget, and tells the events this causes from the user's.
class WindowMirror {
 public:
  // `beforeRecreate` is called when the native window is about to be replaced.
  WindowMirror(QWidget& widget, ui::Window& model, std::function<void()> beforeRecreate);

  // Called once from the widget's constructor.
  void initialise();
  // Called after a window property of the model changed.
  void apply(ui::Change what);
  // Moves the window where the user took it; its echo is not the user's again.
  void placeForUser(QPoint topLeft);
  // Whether the widget's new place or size is a change the model has not made.
  bool movedByOthers(QPoint now);
  bool resizedByOthers(QSize now);
  // Called when a modal run of the window begins and when it ends: while it
  // runs the window stays above all others, the program's always-on-top
  // windows included.
  void setModal(bool modal);
  // Called when the model window is destroyed.
  void detach();

 private:
  class Applying;

  Qt::WindowFlags wantedFlags() const;
  void applyGeometry(bool force);
  void applyVisible();
  void applyStyle();
  void applyPendingStyle();
  void applyFlags(Qt::WindowFlags wanted);
  void changeStaysOnTop(Qt::WindowFlags wanted);
  void recreate(Qt::WindowFlags flags);
  void applyOpacity();

  QWidget& widget_;
  ui::Window* model_;
  std::function<void()> beforeRecreate_;
  int applying_ = 0;
  bool styleScheduled_ = false;
  bool modal_ = false;
  RecentRequests<QPoint> positions_;
  RecentRequests<QSize> sizes_;
};

}  // namespace quillet::qtui
