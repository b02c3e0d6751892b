#include "capture/save_capture.h"

#include "core/names.h"
#include "core/program.h"
#include "platform/files.h"

namespace quillet::capture {

namespace {

constexpr int kHighestName = 10000;
constexpr int kRandomTries = 50;
constexpr int kJpegQuality = 80;

std::string capturePath(core::Program& p, const std::string& name) {
  return p.programPath(std::string(core::kPictureFolder) + "/" + name + ".jpg");
}

// A random name whose ".jpg" is free: an older capture of the same name is
// never overwritten, nor shown in place of the new one. When the random
// tries all hit taken names, the first free name past the range.
std::string freeName(core::Program& p) {
  for (int i = 0; i < kRandomTries; ++i) {
    std::string name = std::to_string(p.backend().randomNumber(0, kHighestName));
    if (!files::exists(capturePath(p, name))) return name;
  }
  for (int n = kHighestName + 1;; ++n) {
    std::string name = std::to_string(n);
    if (!files::exists(capturePath(p, name))) return name;
  }
}

}  // namespace

Saved saveCapture(core::Program& p, const image::Bitmap& picture) {
  if (picture.empty()) return {{}, "截图是空的"};
  const auto jpeg = image::encodeJpeg(picture, kJpegQuality);
  if (!jpeg) return {{}, jpeg.error};
  files::createFolder(p.programPath(core::kPictureFolder));
  std::string name = freeName(p);
  std::string path = capturePath(p, name);
  // A name found free can be taken before the picture is in place, by
  // another capture of another run: the picture then takes the next free one.
  int renamings = 0;
  const files::NewFile written = files::writeNew(path, jpeg.value, [&] {
    if (++renamings > kRandomTries) return std::string();
    name = freeName(p);
    path = capturePath(p, name);
    return path;
  });
  if (written.path.empty()) return {{}, "无法写入 " + path};
  p.g().captureName = name;
  return {written.path, {}};
}

}  // namespace quillet::capture
