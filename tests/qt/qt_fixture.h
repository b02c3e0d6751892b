#pragma once

#include <gtest/gtest.h>
#include <QtCore/QCoreApplication>
#include <QtGui/QImage>

#include <memory>
#include <string>

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/ui/widgets.h"

namespace quillet::qttest {

// Model windows on the real Qt backend, under the offscreen platform.
class QtFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    windows_.clear();
    settle();
  }

  // A shown frameless window at `left`, `top` of `width` x `height`.
  ui::Window& makeWindow(int left = 100, int top = 80, int width = 200, int height = 150) {
    windows_.push_back(std::make_unique<ui::Window>(backend, "窗口"));
    ui::Window& window = *windows_.back();
    window.move(left, top);
    window.setWidth(width);
    window.setHeight(height);
    window.setVisible(true);
    settle();
    return window;
  }

  qtui::WindowWidget& widget(const ui::Window& window) {
    auto* found = qtui::widgetOf(window);
    EXPECT_NE(found, nullptr);
    return *found;
  }

  void destroy(ui::Window& window) {
    for (auto& w : windows_) {
      if (w.get() == &window) w.reset();
    }
  }

  static void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  qtui::QtBackend backend;
  std::vector<std::unique_ptr<ui::Window>> windows_;
};

}  // namespace quillet::qttest
