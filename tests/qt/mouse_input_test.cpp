#include <QtGui/QWheelEvent>
#include <QtTest/QTest>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QScrollBar>

#include <string>
#include <vector>

#include "platform/ui/input.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

class MouseInput : public QtFixture {
 protected:
  void SetUp() override {
    window = &makeWindow(100, 80, 200, 150);
    box = &window->add<ui::PictureBox>("图片框1");
    box->setGeometry(10, 20, 100, 80);
    auto record = [this](std::string who) {
      return [this, who](int x, int y, int m) {
        log.push_back(who + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(m));
      };
    };
    window->onLeftDown = record("window down");
    window->onRightDown = record("window right");
    window->onDoubleClick = record("window double");
    box->onLeftDown = record("box down");
    box->onLeftUp = record("box up");
    box->onRightDown = record("box right");
    box->onMouseMove = record("box move");
    box->onDoubleClick = record("box double");
    window->onWheel = [this](int d, int m) {
      log.push_back("window wheel " + std::to_string(d) + " " + std::to_string(m));
    };
  }

  QWidget* boxWidget() { return widget(*window).controlWidget(*box); }

  void wheel(QWidget* target, QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
  }

  ui::Window* window = nullptr;
  ui::PictureBox* box = nullptr;
  std::vector<std::string> log;
};

TEST_F(MouseInput, ButtonsReachTheControlUnderThePointerInItsOwnCoordinates) {
  QTest::mousePress(boxWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
  QTest::mouseRelease(boxWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
  QTest::mousePress(boxWidget(), Qt::RightButton, Qt::ControlModifier, QPoint(30, 40));
  QTest::mouseMove(boxWidget(), QPoint(50, 60));
  QTest::mousePress(&widget(*window), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 120));
  QTest::mousePress(&widget(*window), Qt::RightButton, Qt::AltModifier, QPoint(190, 140));
  EXPECT_EQ(log, (std::vector<std::string>{"box down 5,7 0", "box up 5,7 0", "box right 30,40 1",
                                           "box move 50,60 0", "window down 150,120 2",
                                           "window right 190,140 4"}));
}

TEST_F(MouseInput, DoubleClickIsOneDoubleClickNotASecondPress) {
  // The order in which X11 reports a double click.
  for (QWidget* target : {boxWidget(), static_cast<QWidget*>(&widget(*window))}) {
    const QPoint at = target == boxWidget() ? QPoint(8, 9) : QPoint(150, 130);
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dbl);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"box down 8,9 0", "box up 8,9 0", "box double 8,9 0",
                                           "box up 8,9 0", "window down 150,130 0",
                                           "window double 150,130 0"}));
}

TEST_F(MouseInput, WheelAwayFromTheUserIsPositiveOverWindowAndControls) {
  struct Case {
    QPoint angle;
    Qt::KeyboardModifiers modifiers;
    const char* expected;
  };
  const Case cases[] = {
      {{0, 120}, Qt::NoModifier, "window wheel 120 0"},
      {{0, -120}, Qt::ControlModifier, "window wheel -120 1"},
      {{0, -240}, Qt::AltModifier, "window wheel -240 4"},
      {{120, 0}, Qt::NoModifier, "window wheel 120 0"},  // a horizontal-only wheel
  };
  for (const auto& c : cases) {
    for (QWidget* target : {boxWidget(), static_cast<QWidget*>(&widget(*window))}) {
      log.clear();
      const QPoint at = target == boxWidget() ? QPoint(20, 20) : QPoint(150, 130);
      wheel(target, at, c.angle, c.modifiers);
      EXPECT_EQ(log, std::vector<std::string>{c.expected}) << (target == boxWidget());
    }
  }
}

TEST_F(MouseInput, EditBoxScrollsWithTheWheelUnlessItHasAHandler) {
  auto& edit = window->add<ui::EditBox>("便签");
  edit.setGeometry(120, 0, 80, 60);
  edit.setText(std::string(100, '\n'));
  auto* view = static_cast<QPlainTextEdit*>(widget(*window).controlWidget(edit));
  for (int turn = 0; turn < 60; ++turn) wheel(view->viewport(), QPoint(10, 10), {0, -120});
  EXPECT_TRUE(log.empty()) << "the window got the edit box's wheel";
  EXPECT_GT(view->verticalScrollBar()->value(), 0);

  edit.onWheel = [&](int d, int) { log.push_back("edit wheel " + std::to_string(d)); };
  wheel(view->viewport(), QPoint(10, 10), {0, 120});
  EXPECT_EQ(log, std::vector<std::string>{"edit wheel 120"});
}

}  // namespace
}  // namespace quillet::qttest
