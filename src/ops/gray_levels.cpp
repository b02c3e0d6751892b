#include "ops/gray_levels.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/main_controls.h"
#include "core/picture_files.h"
#include "core/program.h"
#include "core/whole_numbers.h"
#include "platform/image/gray_levels.h"

namespace quillet::ops {

namespace {

// False when the reload ended with no main window (the file was gone and
// the open dialog was cancelled for good).
bool reload(core::Program& p) {
  if (!p.main()) return false;
  const std::string path = p.g().currentPicturePath;
  core::showPictureFile(p, path);
  return p.main() != nullptr;
}

void reduceShown(core::Program& p, int levels) {
  ui::PictureBox& box = core::pictureBox(p);
  const ui::PictureBytes shown = box.picture();
  if (!shown || shown->empty()) return;
  auto reduced = image::applyGrayLevels(*shown, levels);
  // A picture that cannot be read stays on screen as it is, and so does one
  // that is already a reduction (it comes back unchanged).
  if (!reduced || reduced.value == *shown) return;
  box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(std::move(reduced.value)),
                 box.origin());
}

std::optional<int> askLevels(core::Program& p) {
  const auto answer = p.backend().inputBox(p.main(), kGrayPrompt, kGrayTitle, "");
  if (!answer || !p.main()) return std::nullopt;
  return core::readWholeNumber(*answer);
}

}  // namespace

void reduceGrayLevels(core::Program& p, int levels) {
  if (reload(p)) reduceShown(p, levels);
}

void askGrayLevels(core::Program& p) {
  if (!reload(p)) return;
  if (const auto levels = askLevels(p)) reduceShown(p, *levels);
}

void grayFromKey(core::Program& p) {
  if (!p.main()) return;
  if (const auto levels = askLevels(p)) reduceShown(p, *levels);
}

void restoreColours(core::Program& p) { reload(p); }

}  // namespace quillet::ops
