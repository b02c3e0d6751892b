#include <gtest/gtest.h>
#include <stdlib.h>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <filesystem>
#include <memory>
#include <string>

#include "app/quillet.h"
#include "core/main_controls.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/text.h"

namespace quillet::qttest {
namespace {

// The whole program on the Qt backend, its gestures sent in the order Qt
// delivers a real mouse's events.
class ProgramMouse : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillet-program-mouse.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    image::Bitmap bitmap{400, 300, image::Bytes(400 * 300 * 3, 0x80)};
    const std::string picture = folder + "/picture.jpg";
    ASSERT_TRUE(files::writeAtomic(picture, image::encodeJpeg(bitmap, 90).value));
    ASSERT_TRUE(files::writeAtomic(folder + "/上次文件.txt", text::toStateFile(picture)));
    program = std::make_unique<app::Quillet>(backend, core::Environment{folder, "quillet", {}});
    program->start();
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove_all(folder);
  }
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

  std::string folder;
  qtui::QtBackend backend;
  std::unique_ptr<app::Quillet> program;
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
