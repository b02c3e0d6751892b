#include "core/picture_files.h"

#include <memory>

#include "core/geometry.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "core/program.h"
#include "core/screens.h"
#include "platform/files.h"

namespace quillet::core {

namespace {

// Smallest header prefix that holds a BMP's size or, for nearly every JPEG,
// its frame header; a JPEG with large metadata segments is read whole.
constexpr std::size_t kHeaderProbe = 64 * 1024;

// The common loading steps: size, picture box and window at the picture's
// own pixel size, then the bytes.
void loadFileIntoView(Program& p, const std::string& path) {
  GlobalState& g = p.g();
  readLoadedSize(p, path);
  if (g.loadedWidth > 0 && g.loadedHeight > 0) {
    ui::PictureBox& box = pictureBox(p);
    ui::Window& w = *p.main();
    box.setWidth(g.loadedWidth);
    box.setHeight(g.loadedHeight);
    w.setWidth(box.width());
    w.setHeight(box.height());
  }
  putFileIntoPictureBox(p, path);
}

void keepOnScreen(Program& p) {
  ui::Window& w = *p.main();
  const ui::Monitor screen = monitorsUnder(p.backend().monitors(), w);
  const int right = screen.left + screen.width, bottom = screen.top + screen.height;
  if (w.top() <= screen.top) w.setTop(screen.top + 25);
  if (w.left() <= screen.left) w.setLeft(screen.left + 25);
  if (w.height() >= screen.height) {
    w.setHeight(screen.height - 25);
    w.setTop(screen.top + 25);
  }
  if (w.top() + w.height() > bottom) w.setTop(bottom - w.height() - 1);
  if (w.left() + w.width() > right) w.setLeft(right - w.width() - 1);
}

}  // namespace

image::Size pictureFileSize(const std::string& path) {
  if (!files::isRegularFile(path)) return {};
  auto prefix = files::readPrefix(path, kHeaderProbe);
  auto size = image::readSize(prefix);
  if (!size && prefix.size() == kHeaderProbe) {
    if (auto whole = files::read(path)) size = image::readSize(*whole);
  }
  return size ? size.value : image::Size{};
}

void readLoadedSize(Program& p, const std::string& path) {
  GlobalState& g = p.g();
  image::Size size = pictureFileSize(path);
  g.loadedWidth = size.width;
  g.loadedHeight = size.height;
  if (size.width > 0 && size.height > 0) {
    g.aspectRatio = static_cast<float>(size.height) / static_cast<float>(size.width);
  } else if (g.aspectRatio <= 0.0f) {
    ui::Window* w = p.main();
    g.aspectRatio = (w && w->width() > 0 && w->height() > 0)
                        ? static_cast<float>(w->height()) / static_cast<float>(w->width())
                        : 1.0f;
  }
}

void putFileIntoPictureBox(Program& p, const std::string& path) {
  ui::PictureBox& box = pictureBox(p);
  auto bytes = files::read(path);
  if (bytes) {
    box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(std::move(*bytes)), path);
  } else {
    // Keep the box saying which file failed rather than silently blank.
    box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(), path);
  }
  p.g().loadedPicture = box.picture();
  p.g().workBitmapLoaded = 0;
}

bool isListablePictureName(const std::string& name) {
  std::string tail = files::lastChars(name, 3);
  return tail == "jpg" || tail == "bmp";
}

void buildFolderList(Program& p, const std::string& folder) {
  for (const std::string& name : files::list(folder)) {
    if (!isListablePictureName(name)) continue;
    std::string full = folder + name;
    if (files::size(full) > 500) p.g().folderList.push_back(std::move(full));
  }
}

void rebuildFolderList(Program& p) {
  GlobalState& g = p.g();
  g.folderList.clear();
  g.folderPath = files::folderOf(g.currentPicturePath);
  buildFolderList(p, g.folderPath);
  for (std::size_t i = 0; i < g.folderList.size(); ++i) {
    if (g.folderList[i] == g.currentPicturePath) {
      g.folderIndex = static_cast<int>(i) + 1;
      return;
    }
  }
  // An index kept from a longer list would point past this one.
  const int count = static_cast<int>(g.folderList.size());
  if (count > 0 && g.folderIndex > count) g.folderIndex = count;
}

void openPicture(Program& p) {
  GlobalState& g = p.g();
  for (;;) {
    ui::FileDialogResult answer = p.backend().openFileDialog(
        p.main(), kOpenDialogTitle, kOpenDialogFilter, g.currentPicturePath);
    if (!answer.confirmed) {
      if (g.currentPicturePath.empty()) p.endProcess(0);
      return;
    }
    g.currentPicturePath = answer.path;
    if (!g.currentPicturePath.empty()) break;
  }
  openPictureFile(p, g.currentPicturePath);
}

void openPictureFile(Program& p, const std::string& path) {
  GlobalState& g = p.g();
  if (!p.main()) return;
  g.currentPicturePath = path;
  loadFileIntoView(p, g.currentPicturePath);
  g.alphaLevel = 255;
  rebuildFolderList(p);
}

bool isPictureFile(const std::string& path) {
  const image::Size size = pictureFileSize(path);
  return size.width > 0 && size.height > 0;
}

void showPictureFile(Program& p, const std::string& path) {
  GlobalState& g = p.g();
  if (!p.main()) return;
  pictureBox(p).clearPicture();
  if (files::exists(path)) {
    ui::PictureBox& box = pictureBox(p);
    ui::Window& w = *p.main();
    readLoadedSize(p, path);
    if (!g.captureName.empty() &&
        path == p.programPath(std::string(kPictureFolder) + "/" + g.captureName + ".jpg")) {
      // The capture holds the screen's device pixels; at the screen's own
      // scale it covers exactly the region it came from.
      const double ratio = g.screenPixelRatio > 0.0 ? g.screenPixelRatio : 1.0;
      box.setWidth(truncated(g.loadedWidth / ratio));
      w.move(g.captureOrigin.x, g.captureOrigin.y);
    } else {
      // Before any resize (a start on a picture that could not be read)
      // there is no width to keep; the window's own stands in for it.
      box.setWidth(g.lastDisplayWidth > 0 ? g.lastDisplayWidth : w.width());
    }
    if (box.width() > 0) {
      box.setHeight(heightFor(g.aspectRatio, box.width()));
      w.setWidth(box.width());
      w.setHeight(box.height());
    }
    putFileIntoPictureBox(p, path);
  } else {
    openPicture(p);
  }
  if (p.main()) keepOnScreen(p);
}

}  // namespace quillet::core
