#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/quillet.h"
#include "platform/files.h"
#include "platform/image/big_buffers.h"
#include "platform/program_folders.h"
#include "platform/qt/menu_pictures.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/termination.h"

namespace {

// The program whose state must still be saved if the process ends without a
// shutdown: Qt's X11 plugin calls exit() when the display connection breaks.
quillet::app::Quillet* unsavedProgram = nullptr;

void saveOnAbruptExit() {
  if (auto* program = unsavedProgram) {
    unsavedProgram = nullptr;
    program->saveState();
  }
}

std::vector<std::string> wordsOf(int argc, char** argv) {
  return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

// Under Wayland a window cannot place itself, stay above the others or let
// clicks through; where X11 is at hand too, every mode works there.
void preferX11() {
  const bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  if (!chosen && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      !qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

// Tests run the built program against a folder of their own.
quillet::folders::Layout layout() {
  const char* override = std::getenv("QUILLET_PROGRAM_FOLDER");
  std::string named = override && *override ? override : "";
  while (named.size() > 1 && named.back() == quillet::files::kSeparator) named.pop_back();
  auto chosen = quillet::folders::chooseLayout(quillet::files::executableFolder(), named,
                                               quillet::folders::userDataHome());
  if (!quillet::folders::createFolders(chosen.stateFolder)) {
    std::fprintf(stderr, "quillet: cannot make the folder %s; nothing will be saved\n",
                 chosen.stateFolder.c_str());
  }
  return chosen;
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window system is needed.
  using Action = quillet::app::CommandLine::Action;
  const Action asked = quillet::app::readCommandLine(wordsOf(argc, argv)).action;
  if (asked == Action::Help) {
    std::fputs(quillet::app::helpText().c_str(), stdout);
    return 0;
  }
  if (asked == Action::Version) {
    std::puts(quillet::app::kVersionText);
    return 0;
  }

  quillet::image::reuseLargeBuffers();
  preferX11();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  QApplication::setDesktopFileName(QStringLiteral("quillet"));
  // Qt has taken its own options out of argv by now.
  const quillet::app::CommandLine line = quillet::app::readCommandLine(wordsOf(argc, argv));
  for (const std::string& complaint : line.complaints) {
    std::fprintf(stderr, "quillet: %s\n", complaint.c_str());
  }

  quillet::qtui::QtBackend backend;
  backend.setIconProvider(quillet::qtui::menuIcon);
  backend.setBannerProvider([](const std::string& name) {
    return name == "banner" ? quillet::qtui::menuBanner() : QPixmap();
  });
  const quillet::folders::Layout folders = layout();
  quillet::app::Quillet program(
      backend, {folders.stateFolder, quillet::files::executableName(),
                quillet::files::executableFolder(), folders.defaultPicture, line.picture});
  quillet::qtui::TerminationWatcher termination([&backend] { backend.quit(0); },
                                                [&program] { program.saveState(); });
  unsavedProgram = &program;
  std::atexit(saveOnAbruptExit);

  program.start();
  int code = 0;
  if (!backend.quitRequested()) code = QApplication::exec();
  if (backend.quitRequested()) code = backend.exitCode();

  // From here on the ordinary shutdown saves.
  unsavedProgram = nullptr;
  program.shutdown();
  // Windows destroyed from inside their own handlers are deleted late.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return code;
}
