#include "ops/gray_levels.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/program.h"
#include "ops/number_input.h"
#include "platform/image/gray_levels.h"
#include "viewer/picture_loading.h"

namespace quillet::ops {

namespace {

// False when the reload ended with no main window (the file was gone and
// the open dialog was cancelled for good).
bool reload(app::Program& p) {
  if (!p.main()) return false;
  const std::string path = p.g().currentPicturePath;
  viewer::showPictureFile(p, path);
  return p.main() != nullptr;
}

void reduceShown(app::Program& p, int levels) {
  ui::PictureBox& box = app::pictureBox(p);
  const ui::PictureBytes shown = box.picture();
  if (!shown || shown->empty()) return;
  auto reduced = image::applyGrayLevels(*shown, levels);
  // A picture that cannot be read stays on screen as it is, and so does one
  // that is already a reduction (it comes back unchanged).
  if (!reduced || reduced.value == *shown) return;
  box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(std::move(reduced.value)),
                 box.origin());
}

std::optional<int> askLevels(app::Program& p) {
  const auto answer = p.backend().inputBox(p.main(), kGrayPrompt, kGrayTitle, "");
  if (!answer || !p.main()) return std::nullopt;
  return readWholeNumber(*answer);
}

}  // namespace

void reduceGrayLevels(app::Program& p, int levels) {
  if (reload(p)) reduceShown(p, levels);
}

void askGrayLevels(app::Program& p) {
  if (!reload(p)) return;
  if (const auto levels = askLevels(p)) reduceShown(p, *levels);
}

void grayFromKey(app::Program& p) {
  if (!p.main()) return;
  if (const auto levels = askLevels(p)) reduceShown(p, *levels);
}

void restoreColours(app::Program& p) { reload(p); }

}  // namespace quillet::ops
