#include <gtest/gtest.h>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <string>

#include "core/main_controls.h"
#include "platform/qt/window_widget.h"
#include "program_on_qt.h"

namespace quillet::qttest {
namespace {

// The whole program on the Qt backend, its gestures sent in the order Qt
// delivers a real mouse's events.
class ProgramMouse : public ProgramOnQt {
 protected:
  void SetUp() override { startOnGray(0x80); }
  QWidget* picture() {
    ui::PictureBox& box = core::pictureBox(*program);
    return qtui::widgetOf(*program->main())->controlWidget(box);
  }
  void altDoubleClick(QPoint at) {
    QTest::mousePress(picture(), Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseRelease(picture(), Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseDClick(picture(), Qt::LeftButton, Qt::AltModifier, at);
    if (program->main()->visible()) {
      QTest::mouseRelease(picture(), Qt::LeftButton, Qt::AltModifier, at);
    }
  }
  static void outwaitDoubleClick() { QTest::qWait(QApplication::doubleClickInterval() + 150); }
};

TEST_F(ProgramMouse, AltDoubleClickHidesThePicture_AndItComesBackWhole) {
  altDoubleClick(QPoint(200, 150));
  outwaitDoubleClick();
  EXPECT_FALSE(program->main()->visible());
  EXPECT_TRUE(program->host()->visible());

  program->host()->onDoubleClick(7, 7, 0);
  ASSERT_TRUE(program->main()->visible());
  const ui::PictureBox& box = core::pictureBox(*program);
  EXPECT_EQ(box.width(), program->main()->width()) << "no zoom was left behind";
}

TEST_F(ProgramMouse, AltClickZoomsWhereItWasClicked) {
  QTest::mouseClick(picture(), Qt::LeftButton, Qt::AltModifier, QPoint(100, 60));
  outwaitDoubleClick();
  const ui::PictureBox& box = core::pictureBox(*program);
  EXPECT_EQ(box.width(), 500);
  EXPECT_EQ(box.left(), -50);
  EXPECT_TRUE(program->main()->visible());
}

}  // namespace
}  // namespace quillet::qttest
