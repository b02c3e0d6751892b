#include "support/program_fixture.h"

#include "core/main_controls.h"
#include "core/names.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/text.h"

namespace quillet::testing {

ProgramTest::ProgramTest() {
  program =
      std::make_unique<app::Quillet>(backend, core::Environment{folder.root(), "quillet", {}});
}

ProgramTest::~ProgramTest() = default;

std::string ProgramTest::writePicture(const std::string& relative, int width, int height,
                                      std::uint32_t rgb) {
  image::Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (std::size_t i = 0; i < bitmap.rgb.size(); i += 3) {
    bitmap.rgb[i] = static_cast<std::uint8_t>(rgb >> 16);
    bitmap.rgb[i + 1] = static_cast<std::uint8_t>(rgb >> 8);
    bitmap.rgb[i + 2] = static_cast<std::uint8_t>(rgb);
  }
  std::vector<std::uint8_t> bytes;
  if (files::lastChars(relative, 4) == ".bmp") {
    bytes = image::encodeBmp24(bitmap);
  } else {
    auto jpeg = image::encodeJpeg(bitmap, 90);
    EXPECT_TRUE(jpeg.ok()) << jpeg.error;
    bytes = std::move(jpeg.value);
  }
  folder.write(relative, bytes);
  return path(relative);
}

void ProgramTest::writeLastFileRecord(const std::string& picturePath) {
  folder.write(core::kLastFileRecord, text::toStateFile(picturePath));
}

std::string ProgramTest::readLastFileRecord() const {
  auto bytes = files::read(path(core::kLastFileRecord));
  return bytes ? text::fromStateFile(*bytes) : std::string("<missing>");
}

void ProgramTest::start() { program->start(); }

ui::PictureBox& ProgramTest::box() { return core::pictureBox(*program); }

}  // namespace quillet::testing
