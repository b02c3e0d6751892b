#include "viewer/picture_loading.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "app/main_window.h"
#include "app/names.h"
#include "app/program.h"
#include "platform/files.h"

namespace quillet::viewer {

namespace {

// Smallest header prefix that holds a BMP's size or, for nearly every JPEG,
// its frame header; a JPEG with large metadata segments is read whole.
constexpr std::size_t kHeaderProbe = 64 * 1024;

std::vector<std::uint8_t> readPrefix(const std::string& path, std::size_t limit) {
  std::vector<std::uint8_t> out;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  out.resize(limit);
  std::size_t got = 0;
  while (got < limit) {
    ssize_t n = ::read(fd, out.data() + got, limit - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  return out;
}

}  // namespace

image::Size pictureFileSize(const std::string& path) {
  if (!files::isRegularFile(path)) return {};
  auto prefix = readPrefix(path, kHeaderProbe);
  auto size = image::readSize(prefix);
  if (!size && prefix.size() == kHeaderProbe) {
    if (auto whole = files::read(path)) size = image::readSize(*whole);
  }
  return size ? size.value : image::Size{};
}

void readLoadedSize(Program& p, const std::string& path) {
  app::GlobalState& g = p.g();
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
  ui::PictureBox& box = app::pictureBox(p);
  auto bytes = files::read(path);
  if (bytes) {
    box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(std::move(*bytes)), path);
  } else {
    // Keep the box saying which file failed rather than silently blank.
    box.setPicture(std::make_shared<const std::vector<std::uint8_t>>(), path);
  }
  p.g().loadedPicture = box.picture();
}

void loadFileIntoView(Program& p, const std::string& path) {
  app::GlobalState& g = p.g();
  readLoadedSize(p, path);
  if (g.loadedWidth > 0 && g.loadedHeight > 0) {
    ui::PictureBox& box = app::pictureBox(p);
    ui::Window& w = *p.main();
    box.setWidth(g.loadedWidth);
    box.setHeight(g.loadedHeight);
    w.setWidth(box.width());
    w.setHeight(box.height());
  }
  putFileIntoPictureBox(p, path);
  g.workBitmapLoaded = 0;
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
  app::GlobalState& g = p.g();
  g.folderList.clear();
  g.folderPath = files::folderOf(g.currentPicturePath);
  buildFolderList(p, g.folderPath);
  for (std::size_t i = 0; i < g.folderList.size(); ++i) {
    if (g.folderList[i] == g.currentPicturePath) {
      g.folderIndex = static_cast<int>(i) + 1;
      break;
    }
  }
}

void openPicture(Program& p) {
  app::GlobalState& g = p.g();
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
  if (!p.main()) return;
  loadFileIntoView(p, g.currentPicturePath);
  g.alphaLevel = 255;
  rebuildFolderList(p);
}

void showPictureFile(Program& p, const std::string& path) {
  app::GlobalState& g = p.g();
  if (!p.main()) return;
  app::pictureBox(p).clearPicture();
  if (files::exists(path)) {
    ui::PictureBox& box = app::pictureBox(p);
    readLoadedSize(p, path);
    ui::Window& w = *p.main();
    if (!g.captureName.empty() &&
        path == p.programPath(std::string(app::kPictureFolder) + "/" + g.captureName + ".jpg")) {
      box.setWidth(g.loadedWidth);
      w.move(g.captureOrigin.x, g.captureOrigin.y);
    } else {
      box.setWidth(g.lastDisplayWidth);
    }
    if (box.width() > 0) {
      box.setHeight(static_cast<int>(static_cast<double>(box.width()) * g.aspectRatio));
      w.setWidth(box.width());
      w.setHeight(box.height());
    }
    putFileIntoPictureBox(p, path);
    g.workBitmapLoaded = 0;
  } else {
    openPicture(p);
  }
  if (!p.main()) return;
  ui::Window& w = *p.main();
  ui::ScreenSize screen = p.backend().screenSize();
  if (w.top() <= 0) w.setTop(25);
  if (w.left() <= 0) w.setLeft(25);
  if (w.height() >= screen.height) {
    w.setHeight(screen.height - 25);
    w.setTop(25);
  }
  if (w.top() + w.height() > screen.height) w.setTop(screen.height - w.height() - 1);
  if (w.left() + w.width() > screen.width) w.setLeft(screen.width - w.width() - 1);
}

}  // namespace quillet::viewer
