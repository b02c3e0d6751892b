#include <QtCore/QElapsedTimer>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QRadioButton>

#include <functional>
#include <string>
#include <vector>

#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

class SlideshowControls : public QtFixture {
 protected:
  // Runs the event loop until `done` holds, for at most three seconds.
  static bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 3000) QTest::qWait(5);
    return done();
  }

  template <class View>
  View* shown(ui::Window& window, const ui::Control& control) {
    return qobject_cast<View*>(widget(window).controlWidget(control));
  }
};

TEST_F(SlideshowControls, TimerTicksAtItsIntervalStopsAtZeroAndStartsAgainWhenSet) {
  auto& timer = makeWindow().add<ui::Timer>("计时器1");
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  QElapsedTimer clock;
  clock.start();
  timer.setInterval(20);
  ASSERT_TRUE(waitFor([&] { return ticks >= 3; }));
  EXPECT_GE(clock.elapsed(), 50) << "three ticks of 20 ms came too soon";

  timer.setInterval(0);
  const int stoppedAt = ticks;
  QTest::qWait(120);
  EXPECT_EQ(ticks, stoppedAt);

  // The same interval set again counts from now.
  ticks = 0;
  timer.setInterval(400);
  QTest::qWait(250);
  timer.setInterval(400);
  QTest::qWait(250);
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(waitFor([&] { return ticks == 1; }));
}

TEST_F(SlideshowControls, TimerOfADestroyedWindowNeverTicksAgain) {
  for (bool byItsOwnTick : {true, false}) {
    ui::Window& window = makeWindow();
    auto& timer = window.add<ui::Timer>("计时器1");
    int ticks = 0;
    timer.onTick = [&] {
      if (++ticks == 1 && byItsOwnTick) destroy(window);
    };
    timer.setInterval(10);
    if (byItsOwnTick) {
      ASSERT_TRUE(waitFor([&] { return ticks == 1; }));
    } else {
      destroy(window);
    }
    const int before = ticks;
    QTest::qWait(80);
    EXPECT_EQ(ticks, before) << "destroyed by its own tick: " << byItsOwnTick;
  }
}

TEST_F(SlideshowControls, ProgressBarShowsTheModelsRangeAndHearsTheRightButtonInItsOwnPlace) {
  ui::Window& window = makeWindow();
  auto& group = window.add<ui::GroupBox>("分组框1");
  group.setGeometry(10, 30, 190, 60);
  auto& bar = window.add<ui::ProgressBar>("进度条1", &group);
  bar.setGeometry(6, 12, 168, 8);
  auto* view = shown<QProgressBar>(window, bar);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->value(), 0) << "a new bar shows the model's position, not an empty one";
  bar.setMinimum(10);
  bar.setMaximum(30);
  bar.setPosition(15);
  EXPECT_EQ(std::vector({view->minimum(), view->maximum(), view->value()}),
            std::vector({10, 30, 15}));

  std::vector<std::string> log;
  auto record = [&log](std::string what) {
    return [&log, what](int x, int y, int m) {
      log.push_back(what + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(m));
    };
  };
  bar.onRightDown = record("down");
  bar.onRightUp = record("up");
  bar.onLeftUp = record("left up");
  QTest::mousePress(view, Qt::RightButton, Qt::ControlModifier, QPoint(20, 4));
  QTest::mouseRelease(view, Qt::RightButton, Qt::ControlModifier, QPoint(30, 5));
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(40, 3));
  EXPECT_EQ(log, (std::vector<std::string>{"down 20,4 1", "up 30,5 1", "left up 40,3 0"}));
}

class ComboBox : public SlideshowControls {
 protected:
  void SetUp() override {
    window = &makeWindow();
    combo = &window->add<ui::ComboBox>("组合框1");
    combo->setGeometry(10, 10, 80, 22);
    combo->setText("30");
    combo->setItems({"1", "2", "5", "10", "15", "20", "30", "60"});
    combo->onChoose = [this] { chosen.push_back(combo->text()); };
    view = shown<QComboBox>(*window, *combo);
    ASSERT_NE(view, nullptr);
  }

  ui::Window* window = nullptr;
  ui::ComboBox* combo = nullptr;
  QComboBox* view = nullptr;
  std::vector<std::string> chosen;
};

TEST_F(ComboBox, TypingIsTheBoxsAloneAndTheProgramsTextNeitherEchoesNorMovesTheCursor) {
  QLineEdit& edit = *view->lineEdit();
  EXPECT_EQ(edit.text(), QStringLiteral("30")) << "filling the list replaced the text";
  EXPECT_EQ(combo->text(), "30");

  std::vector<int> windowKeys;
  window->onKeyDown = [&](int key, int) { windowKeys.push_back(key); };
  combo->setText("");
  view->setFocus();
  QTest::keyClick(view, '6');
  EXPECT_EQ(edit.text(), QStringLiteral("6")) << "an entry was completed into the typing";
  QTest::keyClick(view, 'T', Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_F5);
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_EQ(combo->text(), "6T");
  EXPECT_TRUE(windowKeys.empty());
  EXPECT_EQ(view->count(), 8) << "Return added the typed text to the list";

  combo->setText("1234");
  edit.setCursorPosition(2);
  combo->setText("5678");
  EXPECT_EQ(edit.text(), QStringLiteral("5678"));
  EXPECT_EQ(edit.cursorPosition(), 2);
  EXPECT_TRUE(chosen.empty());
}

TEST_F(ComboBox, ChoosingAnEntryFromTheOpenListChoosesItOnce) {
  view->showPopup();
  QAbstractItemView* list = view->view();
  ASSERT_TRUE(waitFor([&] { return list->isVisible(); }));
  combo->setText("17");
  EXPECT_EQ(view->lineEdit()->text(), QStringLiteral("17")) << "the countdown stopped showing";

  const QRect entry = list->visualRect(list->model()->index(4, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, entry.center());
  EXPECT_EQ(chosen, std::vector<std::string>{"15"});
}

TEST_F(SlideshowControls, RadioButtonsFollowTheModelWhichKeepsOneChecked) {
  ui::Window& window = makeWindow();
  auto& group = window.add<ui::GroupBox>("分组框2");
  group.setGeometry(5, 5, 190, 110);
  auto& up = window.add<ui::RadioButton>("单选框1", &group);
  auto& down = window.add<ui::RadioButton>("单选框2", &group);
  up.setGeometry(10, 20, 120, 20);
  down.setGeometry(10, 50, 120, 20);
  down.setCaption("向下切换");
  up.setChecked(true);
  auto* upView = shown<QRadioButton>(window, up);
  auto* downView = shown<QRadioButton>(window, down);
  ASSERT_TRUE(upView && downView);
  EXPECT_EQ(downView->text(), QString::fromUtf8("向下切换"));
  auto states = [&] {
    return std::vector{up.checked(), down.checked(), upView->isChecked(), downView->isChecked()};
  };

  QTest::mouseClick(downView, Qt::LeftButton, {}, QPoint(8, 10));
  EXPECT_EQ(states(), std::vector({false, true, false, true}));
  QTest::mouseClick(downView, Qt::LeftButton, {}, QPoint(8, 10));
  EXPECT_EQ(states(), std::vector({false, true, false, true})) << "a second click unchecked it";
  down.setChecked(false);
  EXPECT_EQ(states(), std::vector({false, false, false, false}));
}

TEST_F(SlideshowControls, WindowColourFillsTheWindowsOwnArea) {
  ui::Window& window = makeWindow(0, 0, 120, 60);
  window.setColour(0x336699);
  const QImage shot = widget(window).grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(shot.pixelColor(115, 55), QColor(0x99, 0x66, 0x33));
}

}  // namespace
}  // namespace quillet::qttest
