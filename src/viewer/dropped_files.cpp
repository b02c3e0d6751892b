#include "viewer/dropped_files.h"

#include "core/picture_files.h"
#include "core/program.h"

namespace quillet::viewer {

void onFilesDropped(core::Program& p, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (core::isPictureFile(path)) {
      core::openPictureFile(p, path);
      return;
    }
  }
  if (!paths.empty()) p.backend().report(paths.front() + " is not a JPEG or BMP picture");
}

}  // namespace quillet::viewer
