#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "app/quillet.h"
#include "core/global_state.h"
#include "platform/ui/widgets.h"
#include "support/memory_backend.h"
#include "support/temp_folder.h"

namespace quillet::testing {

// A window's or a control's place and size, comparable and printable.
struct Rect {
  int left, top, width, height;
  bool operator==(const Rect&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}
template <class Placed>
Rect rectOf(const Placed& w) {
  return {w.left(), w.top(), w.width(), w.height()};
}

// Owns the in-memory backend, a temporary program folder and the program.
// Each test starts from a fresh state record.
class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest();
  ~ProgramTest() override;

  // Path inside the program folder.
  std::string path(const std::string& relative) const { return folder.path(relative); }
  // Writes a JPEG (or, for a ".bmp" name, a BMP) of the given pixel size.
  std::string writePicture(const std::string& relative, int width, int height,
                           std::uint32_t rgb = 0x3366CC);
  void writeLastFileRecord(const std::string& picturePath);
  std::string readLastFileRecord() const;

  void start();  // the program's start-up
  void shutdown() { program->shutdown(); }

  core::GlobalState& g() { return program->g(); }
  ui::Window& main() { return *program->main(); }
  ui::Window& host() { return *program->host(); }
  ui::PictureBox& box();
  Rect boxRect() { return rectOf(box()); }
  Rect windowRect() { return rectOf(main()); }

  TempFolder folder;
  MemoryBackend backend;
  std::unique_ptr<app::Quillet> program;
};

}  // namespace quillet::testing
