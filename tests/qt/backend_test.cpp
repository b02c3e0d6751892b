#include <QtCore/QEventLoop>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/file_filter.h"
#include "platform/qt/termination.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

TEST(FileFilter, PairsBecomeQtNameFiltersWithThePatternInParentheses) {
  struct Case {
    const char* filter;
    QStringList expected;
  };
  const Case cases[] = {
      {"图形交换格式|*.jpg", {QString::fromUtf8("图形交换格式(*.jpg)")}},
      {"图片|*.jpg;*.bmp|所有文件|*.*",
       {QString::fromUtf8("图片(*.jpg *.bmp)"), QString::fromUtf8("所有文件(*.*)")}},
      {"JPEG (*.jpg)|*.jpg", {"JPEG (*.jpg)"}},
      {"位图", {QString::fromUtf8("位图(*)")}},
      {"", {}},
      {"|", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(qtui::nameFilters(c.filter), c.expected) << c.filter;
}

ui::MenuItem item(const char* caption) {
  ui::MenuItem made;
  made.caption = caption;
  return made;
}

class PopupMenu : public QtFixture {
 protected:
  void SetUp() override {
    menu.items.push_back(item("Display"));
    menu.items.push_back(ui::MenuItem::separatorLine());
    ui::MenuItem turn = item("镜像翻转");
    turn.children.push_back(item("水平"));
    turn.children.push_back(item("垂直"));
    menu.items.push_back(turn);
  }
  // Answers the menu with keys once it is open; closes it should that fail.
  void answer(std::vector<Qt::Key> keys) {
    QTimer::singleShot(5000, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    QTimer::singleShot(0, [keys] {
      QWidget* popup = QApplication::activePopupWidget();
      ASSERT_NE(popup, nullptr);
      for (Qt::Key key : keys) {
        QTest::keyClick(QApplication::activePopupWidget(), key);
      }
    });
  }
  ui::Menu menu;
};

TEST_F(PopupMenu, ReturnsTheChosenLeafOfASubmenu) {
  ui::Window& window = makeWindow();
  answer({Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return});
  const ui::MenuItem* chosen = backend.popupMenu(window, menu);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen, menu.find("垂直"));
}

QAction* actionNamed(const QMenu& menu, const char* caption) {
  for (QAction* action : menu.actions()) {
    if (action->text() == QString::fromUtf8(caption)) return action;
  }
  return nullptr;
}

TEST_F(PopupMenu, SubmenuItemWithAnActionRunsItWhenClickedAndOpensItsSubmenuOnHover) {
  ui::Window& window = makeWindow();
  std::vector<std::string> ran;
  for (const char* caption : {"镜像翻转", "垂直"}) {
    menu.find(caption)->action = [&ran, caption] { ran.push_back(caption); };
  }
  // Once the menu is open, runs `step` on it; closes it should that fail.
  QObject scope;
  auto whenOpen = [&scope](std::function<void(QMenu&)> step) {
    QTimer::singleShot(3000, &scope, [] {
      while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    QTimer::singleShot(0, &scope, [step] {
      auto* top = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(top, nullptr);
      step(*top);
    });
  };

  whenOpen([](QMenu& top) {
    QAction* opener = actionNamed(top, "镜像翻转");
    ASSERT_NE(opener, nullptr);
    QTest::mouseClick(&top, Qt::LeftButton, {}, top.actionGeometry(opener).center());
  });
  window.popupMenu(menu);
  EXPECT_EQ(ran, std::vector<std::string>{"镜像翻转"});
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  ran.clear();
  whenOpen([](QMenu& top) {
    QAction* opener = actionNamed(top, "镜像翻转");
    ASSERT_NE(opener, nullptr);
    const QPoint at = top.actionGeometry(opener).center();
    QMouseEvent hover(QEvent::MouseMove, at, top.mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(&top, &hover);
    QMenu* sub = opener->menu();
    ASSERT_TRUE(QTest::qWaitFor([sub] { return sub->isVisible(); }, 2000));
    QTest::mouseClick(sub, Qt::LeftButton, {},
                      sub->actionGeometry(actionNamed(*sub, "垂直")).center());
  });
  window.popupMenu(menu);
  EXPECT_EQ(ran, std::vector<std::string>{"垂直"});

  // Return is the keyboard's click; Right still opens the submenu.
  answer({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
  EXPECT_EQ(backend.popupMenu(window, menu), menu.find("镜像翻转"));
}

// Quitting leaves the application's loops for good, so these run in a child process.
class Ending : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(Ending, QuitLeavesNestedLoopsAndKeepsItsCode) {
  EXPECT_EXIT(
      {
        qtui::QtBackend backend;
        QTimer::singleShot(0, [&] { backend.quit(3); });
        QEventLoop nested;
        QTimer::singleShot(5000, &nested, [] { std::_Exit(10); });
        nested.exec();
        QEventLoop later;  // a dialog opened after quit returns at once
        QTimer::singleShot(5000, &later, [] { std::_Exit(11); });
        later.exec();
        std::_Exit(backend.quitRequested() ? backend.exitCode() : 12);
      },
      ::testing::ExitedWithCode(3), "");
}

TEST_F(Ending, TerminationSignalsEndTheLoopThroughQuit) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EXIT(
        {
          qtui::QtBackend backend;
          qtui::TerminationWatcher watcher([&] { backend.quit(0); }, nullptr);
          QTimer::singleShot(0, [signal] { std::raise(signal); });
          QEventLoop loop;
          QTimer::singleShot(5000, &loop, [] { std::_Exit(10); });
          loop.exec();
          std::_Exit(backend.quitRequested() ? 0 : 12);
        },
        ::testing::ExitedWithCode(0), "")
        << signal;
  }
}

}  // namespace
}  // namespace quillet::qttest
