#include <gtest/gtest.h>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <string>

#include "doodle/doodle_session.h"
#include "platform/qt/window_widget.h"
#include "platform/ui/input.h"
#include "program_on_qt.h"

namespace quillet::qttest {
namespace {

// The whole program on the Qt backend with the doodle open, driven through
// the widgets as a user's mouse and keys reach them.
class ProgramDoodle : public ProgramOnQt {
 protected:
  void SetUp() override {
    startOnGray(0xF0);
    program->main()->onKeyDown(ui::key::letter('P'), 0);
    QCoreApplication::processEvents();
    ASSERT_NE(doodle(), nullptr);
    ASSERT_NE(colour(), nullptr);
  }
  ui::Window* doodle() { return program->secondary(doodle::kDoodleWindowKey); }
  ui::Window* colour() { return program->secondary(doodle::kColourWindowKey); }
  ui::CanvasBox& canvas() { return doodle()->get<ui::CanvasBox>(doodle::kCanvasName); }
  QWidget* widget(ui::Window& w, const char* name) {
    return qtui::widgetOf(w)->controlWidget(*w.find(name));
  }
  void stroke(int y) {
    QWidget* c = widget(*doodle(), doodle::kCanvasName);
    QTest::mousePress(c, Qt::LeftButton, Qt::NoModifier, QPoint(100, y));
    for (int x = 110; x <= 300; x += 20) {
      QMouseEvent move(QEvent::MouseMove, QPointF(x, y), c->mapToGlobal(QPointF(x, y)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(c, &move);
    }
    QTest::mouseRelease(c, Qt::LeftButton, Qt::NoModifier, QPoint(300, y));
  }
};

TEST_F(ProgramDoodle, TypedIntoTheRedBox_TheNextStrokeIsRed) {
  QWidget* red = widget(*colour(), "红编辑框");
  QTest::mouseClick(red, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::keyClick(red, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(red, "255");
  EXPECT_EQ(colour()->get<ui::EditBox>("红编辑框").text(), "255");
  stroke(100);
  EXPECT_EQ(canvas().canvas().pixel(200, 100), 0x0000FFu);
}

}  // namespace
}  // namespace quillet::qttest
