#include <QtWidgets/QApplication>

#include <cstdlib>
#include <string>

#include "app/quillet.h"
#include "platform/files.h"
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

// Tests run the built program against a folder of their own.
std::string programFolder() {
  const char* override = std::getenv("QUILLET_PROGRAM_FOLDER");
  std::string folder = override && *override ? override : quillet::files::executableFolder();
  while (folder.size() > 1 && folder.back() == quillet::files::kSeparator) folder.pop_back();
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));

  quillet::qtui::QtBackend backend;
  backend.setIconProvider(quillet::qtui::menuIcon);
  backend.setBannerProvider([](const std::string& name) {
    return name == "banner" ? quillet::qtui::menuBanner() : QPixmap();
  });
  quillet::app::Quillet program(backend, {programFolder(), quillet::files::executableName(),
                                          quillet::files::executableFolder()});
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
