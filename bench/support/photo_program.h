#pragma once

#include <QtCore/QCoreApplication>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>

#include "app/quillet.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "support/photo.h"

namespace quillet::bench {

// The program on its real window backend, in a fresh program folder holding
// copies of the photo under `names`, the first of them the last picture
// shown; its picture window 800 pixels wide, painted. For the benchmarks
// that link the Qt backend.
struct PhotoProgram {
  std::filesystem::path folder;
  std::unique_ptr<qtui::QtBackend> backend;
  std::unique_ptr<app::Quillet> program;

  PhotoProgram(const char* what, std::initializer_list<const char*> names) {
    folder = freshFolder(what);
    for (const char* name : names) writePhoto(folder / name);
    std::ofstream(folder / "上次文件.txt") << (folder / *names.begin()).string();
    backend = std::make_unique<qtui::QtBackend>();
    program = std::make_unique<app::Quillet>(*backend, core::Environment{folder.string(), "x", {}});
    program->start();
    program->main()->setWidth(800);
    paint(*program->main());
  }
  ~PhotoProgram() {
    program->shutdown();
    std::filesystem::remove_all(folder);
  }
  PhotoProgram(const PhotoProgram&) = delete;
  PhotoProgram& operator=(const PhotoProgram&) = delete;

  // Paints the window now and lets the backend finish what it queued.
  static void paint(ui::Window& w) {
    if (auto* widget = qtui::widgetOf(w)) widget->repaint();
    QCoreApplication::processEvents();
  }
};

}  // namespace quillet::bench
