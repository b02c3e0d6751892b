#include <gtest/gtest.h>
#include <stdlib.h>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <filesystem>
#include <memory>
#include <string>

#include "app/quillet.h"
#include "doodle/doodle_session.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/text.h"
#include "platform/ui/input.h"

namespace quillet::qttest {
namespace {

// The whole program on the Qt backend with the doodle open, driven through
// the widgets as a user's mouse and keys reach them.
class ProgramDoodle : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillet-program-doodle.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    image::Bitmap bitmap{400, 300, image::Bytes(400 * 300 * 3, 0xF0)};
    const std::string picture = folder + "/picture.jpg";
    ASSERT_TRUE(files::writeAtomic(picture, image::encodeJpeg(bitmap, 90).value));
    ASSERT_TRUE(files::writeAtomic(folder + "/上次文件.txt", text::toStateFile(picture)));
    program = std::make_unique<app::Quillet>(backend, core::Environment{folder, "quillet", {}});
    program->start();
    QCoreApplication::processEvents();
    program->main()->onKeyDown(ui::key::letter('P'), 0);
    QCoreApplication::processEvents();
    ASSERT_NE(doodle(), nullptr);
    ASSERT_NE(colour(), nullptr);
  }
  void TearDown() override {
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove_all(folder);
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

  std::string folder;
  qtui::QtBackend backend;
  std::unique_ptr<app::Quillet> program;
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
