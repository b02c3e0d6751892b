#pragma once

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <QtCore/QEventLoop>

#include "platform/qt/picture_prefetch.h"
#include "platform/qt/popup_menu.h"
#include "platform/ui/backend.h"

namespace quillet::qtui {

// The widget model on Qt Widgets. Needs a QApplication that outlives it.
class QtBackend : public ui::Backend {
 public:
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  std::unique_ptr<ui::WindowPeer> createPeer(ui::Window& window) override;
  std::vector<ui::Monitor> monitors() override;

  ui::FileDialogResult saveFileDialog(ui::Window* owner, const std::string& title,
                                      const std::string& filter,
                                      const std::string& defaultSuffix) override;
  ui::FileDialogResult openFileDialog(ui::Window* owner, const std::string& title,
                                      const std::string& filter,
                                      const std::string& preset) override;
  void messageBox(ui::Window* owner, const std::string& text, const std::string& caption) override;
  std::optional<std::string> inputBox(ui::Window* owner, const std::string& prompt,
                                      const std::string& title,
                                      const std::string& initial) override;
  const ui::MenuItem* popupMenu(ui::Window& owner, const ui::Menu& menu) override;
  void startSystemMove(ui::Window& window) override;
  // Decodes the picture on a thread of its own while the user looks at the
  // one shown; the picture box takes the result when the file comes.
  void preparePictures(const std::vector<std::string>& paths, int boxWidth) override;

  void runModal(ui::Window& window) override;
  void endModal(ui::Window& window) override;
  void runLater(std::function<void()> work) override;
  ui::ScreenShot grabScreen() override;
  bool printText(ui::Window* owner, const std::string& title, const std::string& text) override;
  int randomNumber(int low, int high) override;

  void quit(int exitCode) override;
  bool quitRequested() const override { return quitRequested_; }
  bool startProcess(const std::string& path) override;
  void report(const std::string& message) override;

  // Drawn afresh from the widgets rather than read from the screen, so other
  // windows above it never end up in the picture.
  ui::PictureBytes snapshot(ui::Window& window) override;
  ui::ScreenShot photographWindow(ui::Window& window) override;

  // The code given to the first quit(); 0 when quit() was never called.
  int exitCode() const { return exitCode_; }
  // Menu icons by number; without a provider menus show captions only.
  void setIconProvider(IconProvider icons) { icons_ = std::move(icons); }
  void setBannerProvider(BannerProvider banners) { banners_ = std::move(banners); }

 private:
  bool quitRequested_ = false;
  int exitCode_ = 0;
  IconProvider icons_;
  BannerProvider banners_;
  PicturePrefetcher prefetcher_;
  struct ModalRun {
    ui::Window* window;
    QEventLoop* loop;
    bool ended;
  };
  // Innermost last; each lives on the stack of its runModal call.
  std::vector<ModalRun*> modalRuns_;
  std::mt19937 random_;
};

}  // namespace quillet::qtui
