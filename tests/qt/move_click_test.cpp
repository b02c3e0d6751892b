#include <QtCore/QElapsedTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <string>
#include <vector>

#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

// A picture box that drags its window from a press, as the main picture does:
// the press hands the button to a window move that starts once the pointer
// travels.
class MoveClick : public QtFixture {
 protected:
  ui::PictureBox& movingBox(ui::Window& window) {
    auto& box = window.add<ui::PictureBox>("图片框1");
    box.setGeometry(10, 20, 100, 80);
    auto record = [this](std::string what) {
      return [this, what](int x, int y, int m) {
        log.push_back(what + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(m));
      };
    };
    box.onLeftDown = [this, &window, down = record("down")](int x, int y, int m) {
      down(x, y, m);
      backend.startSystemMove(window);
    };
    box.onLeftUp = record("up");
    box.onDoubleClick = [this, &window, dbl = record("double")](int x, int y, int m) {
      dbl(x, y, m);
      if (hideOnDoubleClick) window.setVisible(false);
    };
    return box;
  }
  QWidget* shown(ui::Window& window, ui::PictureBox& box) {
    return widget(window).controlWidget(box);
  }
  // Lets the double-click interval pass, and a little more.
  static void outwaitDoubleClick() { QTest::qWait(QApplication::doubleClickInterval() + 150); }

  bool hideOnDoubleClick = false;
  std::vector<std::string> log;
};

TEST_F(MoveClick, AltDoubleClickReachesTheBehaviourAndTheFirstReleaseNeverDoes) {
  const QPoint at(5, 7);
  for (bool hides : {false, true}) {
    ui::Window& window = makeWindow();
    QWidget* target = shown(window, movingBox(window));
    hideOnDoubleClick = hides;
    log.clear();
    // The order in which Qt reports a double click.
    QTest::mousePress(target, Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseDClick(target, Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::AltModifier, at);
    outwaitDoubleClick();
    std::vector<std::string> expected{"down 5,7 4", "double 5,7 4"};
    // A window the double click hid hears nothing of the release after it.
    if (!hides) expected.push_back("up 5,7 4");
    EXPECT_EQ(log, expected) << (hides ? "hiding" : "staying");
  }
}

TEST_F(MoveClick, ClickReleaseArrivesOnceNoDoubleClickCanFollowAndBeforeTheNextPress) {
  ui::Window& window = makeWindow();
  QWidget* target = shown(window, movingBox(window));
  QTest::mousePress(target, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 7));
  QElapsedTimer clock;
  clock.start();
  QTest::mouseRelease(target, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 7));
  EXPECT_EQ(log, std::vector<std::string>{"down 5,7 2"});
  while (log.size() < 2 && clock.elapsed() < 3000) QTest::qWait(10);
  EXPECT_EQ(log, (std::vector<std::string>{"down 5,7 2", "up 5,7 2"}));
  EXPECT_GE(clock.elapsed(), QApplication::doubleClickInterval());

  // A press elsewhere is no double click: the release goes before it.
  log.clear();
  QTest::mousePress(target, Qt::LeftButton, {}, QPoint(5, 7));
  QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(5, 7));
  QTest::mousePress(target, Qt::RightButton, {}, QPoint(60, 50));
  EXPECT_EQ(log, (std::vector<std::string>{"down 5,7 0", "up 5,7 0"}));
}

TEST_F(MoveClick, HeldReleaseIsDroppedWhenItsWindowHidesOrGoes) {
  for (bool destroyed : {false, true}) {
    ui::Window& window = makeWindow();
    QWidget* target = shown(window, movingBox(window));
    log.clear();
    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(5, 7));
    if (destroyed) {
      destroy(window);
    } else {
      window.setVisible(false);
    }
    outwaitDoubleClick();
    EXPECT_EQ(log, std::vector<std::string>{"down 5,7 0"}) << (destroyed ? "destroyed" : "hidden");
  }
}

}  // namespace
}  // namespace quillet::qttest
