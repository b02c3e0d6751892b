#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <QtCore/QCoreApplication>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/quillet.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/qt/qt_backend.h"
#include "platform/text.h"

namespace quillet::qttest {

// The whole program on the Qt backend, started in a program folder of its
// own on a 400 x 300 picture of one gray `level`.
class ProgramOnQt : public ::testing::Test {
 protected:
  void startOnGray(std::uint8_t level) {
    char pattern[] = "/tmp/quillet-program.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    image::Bitmap bitmap{400, 300, image::Bytes(400 * 300 * 3, level)};
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
    if (!folder.empty()) std::filesystem::remove_all(folder);
  }

  std::string folder;
  qtui::QtBackend backend;
  std::unique_ptr<app::Quillet> program;
};

}  // namespace quillet::qttest
