#include "platform/qt/qt_backend.h"

#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QProcess>
#include <QtGui/QCursor>
#include <QtGui/QScreen>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/image/picture.h"
#include "platform/qt/desktop_photo.h"
#include "platform/qt/file_filter.h"
#include "platform/qt/text_printing.h"
#include "platform/qt/window_widget.h"

namespace quillet::qtui {

namespace {

// A dialog is parented to its owner's widget so the window manager keeps it
// above an always-on-top owner; the owner stays alive until the dialog closes.
class DialogOwner {
 public:
  explicit DialogOwner(ui::Window* owner) {
    if (!owner) return;
    widget_ = widgetOf(*owner);
    if (widget_) busy_.emplace(*widget_);
  }
  QWidget* widget() const { return widget_; }

 private:
  WindowWidget* widget_ = nullptr;
  std::optional<WindowWidget::Busy> busy_;
};

// The pixels of `shot` as a 24-bit BMP file image; no bytes for an empty one.
ui::PictureBytes asBmp(QImage shot) {
  shot = shot.convertToFormat(QImage::Format_RGB888);
  if (shot.isNull()) return {};
  image::Bitmap bitmap{shot.width(), shot.height(), {}};
  bitmap.rgb.resize(bitmap.stride() * static_cast<std::size_t>(bitmap.height));
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(bitmap.row(y), shot.constScanLine(y), bitmap.stride());
  }
  return std::make_shared<const std::vector<std::uint8_t>>(image::encodeBmp24(bitmap));
}

// Work for later, done when Qt deletes it: Qt deletes an object handed to
// deleteLater once control is back in the event loop that was running, and
// not in a loop entered meanwhile, which is the moment runLater promises.
class LaterWork : public QObject {
 public:
  explicit LaterWork(std::function<void()> work) : work_(std::move(work)) {}
  ~LaterWork() override {
    if (work_) work_();
  }
  LaterWork(const LaterWork&) = delete;
  LaterWork& operator=(const LaterWork&) = delete;

 private:
  std::function<void()> work_;
};

}  // namespace

QtBackend::QtBackend()
    : random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {
  // Only quit() ends the program; closing the last dialog must not.
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

QtBackend::~QtBackend() = default;

std::unique_ptr<ui::WindowPeer> QtBackend::createPeer(ui::Window& window) {
  return std::make_unique<QtWindowPeer>(window);
}

void QtBackend::preparePictures(const std::vector<std::string>& paths, int boxWidth) {
  // The keys that page come to the picture window, so the active window's
  // monitor is the one the next picture will be painted on.
  const QWidget* active = QApplication::activeWindow();
  const QScreen* screen = active ? active->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  const double ratio = screen ? screen->devicePixelRatio() : 1.0;
  prefetcher_.prepare(paths, static_cast<int>(std::ceil(boxWidth * ratio)));
}

std::vector<ui::Monitor> QtBackend::monitors() {
  std::vector<ui::Monitor> list;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect r = screen->geometry();
    if (r.isEmpty()) continue;
    list.push_back(
        {r.x(), r.y(), r.width(), r.height(), screen->devicePixelRatio(), screen == primary});
  }
  return list;
}

namespace {

// Qt's own dialog behaves alike everywhere and can be driven by tests.
void prepareFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode accept,
                       QFileDialog::FileMode mode, const std::string& filter) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(accept);
  dialog.setFileMode(mode);
  const QStringList filters = nameFilters(filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
}

ui::FileDialogResult answerOf(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  return {true, chosen.first().toStdString()};
}

}  // namespace

ui::FileDialogResult QtBackend::openFileDialog(ui::Window* owner, const std::string& title,
                                               const std::string& filter,
                                               const std::string& preset) {
  DialogOwner parent(owner);
  QFileDialog dialog(parent.widget(), QString::fromStdString(title));
  prepareFileDialog(dialog, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, filter);
  if (!preset.empty()) {
    const QFileInfo info(QString::fromStdString(preset));
    if (info.isDir()) {
      dialog.setDirectory(info.absoluteFilePath());
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  return answerOf(dialog);
}

ui::FileDialogResult QtBackend::saveFileDialog(ui::Window* owner, const std::string& title,
                                               const std::string& filter,
                                               const std::string& defaultSuffix) {
  DialogOwner parent(owner);
  QFileDialog dialog(parent.widget(), QString::fromStdString(title));
  prepareFileDialog(dialog, QFileDialog::AcceptSave, QFileDialog::AnyFile, filter);
  if (!defaultSuffix.empty()) dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
  return answerOf(dialog);
}

void QtBackend::messageBox(ui::Window* owner, const std::string& text, const std::string& caption) {
  DialogOwner parent(owner);
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok, parent.widget());
  box.exec();
}

std::optional<std::string> QtBackend::inputBox(ui::Window* owner, const std::string& prompt,
                                               const std::string& title,
                                               const std::string& initial) {
  DialogOwner parent(owner);
  bool ok = false;
  QString answer = QInputDialog::getText(parent.widget(), QString::fromStdString(title),
                                         QString::fromStdString(prompt), QLineEdit::Normal,
                                         QString::fromStdString(initial), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

const ui::MenuItem* QtBackend::popupMenu(ui::Window& owner, const ui::Menu& menu) {
  QPointer<WindowWidget> widget = widgetOf(owner);
  const ui::MenuItem* chosen = runPopupMenu(menu, QCursor::pos(), icons_, banners_);
  // If the owner went away while the menu was open, so may have the menu and
  // its items: nothing is chosen then.
  if (!widget || !widget->model()) return nullptr;
  return chosen;
}

void QtBackend::startSystemMove(ui::Window& window) {
  if (WindowWidget* widget = widgetOf(window)) widget->startMove();
}

void QtBackend::quit(int exitCode) {
  if (!quitRequested_) exitCode_ = exitCode;
  quitRequested_ = true;
  // Leaves every running loop, nested dialogs and menus included; a loop
  // entered afterwards returns at once.
  QCoreApplication::exit(exitCode_);
}

ui::PictureBytes QtBackend::snapshot(ui::Window& window) {
  WindowWidget* widget = widgetOf(window);
  if (!widget || widget->size().isEmpty()) return {};
  QImage shot = widget->grab().toImage();
  // On a high-density screen the grab is in device pixels; the model counts
  // window pixels.
  if (shot.size() != widget->size()) {
    shot = shot.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return asBmp(std::move(shot));
}

ui::ScreenShot QtBackend::photographWindow(ui::Window& window) {
  WindowWidget* widget = widgetOf(window);
  if (!widget || widget->size().isEmpty()) return {};
  const QPixmap shot = widget->grab();
  const double ratio = shot.devicePixelRatio() > 0 ? shot.devicePixelRatio() : 1.0;
  return {asBmp(shot.toImage()), ratio};
}

void QtBackend::runModal(ui::Window& window) {
  QPointer<WindowWidget> widget = widgetOf(window);
  if (!widget || quitRequested_) return;
  WindowWidget::Busy busy(*widget);
  QEventLoop loop;
  ModalRun run{&window, &loop, false};
  modalRuns_.push_back(&run);
  // A window dropped while it runs ends its run: nothing is left to answer.
  widget->whenDetached(&loop, [&run] {
    run.ended = true;
    run.loop->quit();
  });
  widget->beginModal();
  window.setVisible(true);
  widget->comeForward();
  // The run may already have ended while the window came up; a loop told to
  // quit before it runs would not notice.
  if (!run.ended && !quitRequested_) loop.exec();
  std::erase(modalRuns_, &run);
  if (widget) widget->endModal();
}

void QtBackend::endModal(ui::Window& window) {
  for (ModalRun* run : modalRuns_) {
    if (run->window != &window || run->ended) continue;
    run->ended = true;
    run->loop->quit();
  }
}

void QtBackend::runLater(std::function<void()> work) {
  (new LaterWork(std::move(work)))->deleteLater();
}

ui::ScreenShot QtBackend::grabScreen() {
  const DesktopPhoto desktop = composeDesktop(photographMonitors());
  if (desktop.pixels.isNull()) return {};
  return {asBmp(desktop.pixels), desktop.ratio};
}

bool QtBackend::printText(ui::Window* owner, const std::string& title, const std::string& text) {
  const QString name = QString::fromStdString(title);
  const QString content = QString::fromStdString(text);
  // QUILLET_PRINT_TO_PDF=<file> prints there as PDF without the dialog, for scripts and tests.
  const QString pdf = qEnvironmentVariable("QUILLET_PRINT_TO_PDF");
  if (!pdf.isEmpty()) return printPlainTextToPdf(pdf, name, content);

  DialogOwner parent(owner);
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(name);
  QPrintDialog dialog(&printer, parent.widget());
  if (dialog.exec() != QDialog::Accepted) return false;
  return printPlainText(printer, content);
}

int QtBackend::randomNumber(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random_);
}

void QtBackend::report(const std::string& message) {
  std::fprintf(stderr, "quillet: %s\n", message.c_str());
  std::fflush(stderr);
}

bool QtBackend::startProcess(const std::string& path) {
  return QProcess::startDetached(QString::fromStdString(path), {});
}

}  // namespace quillet::qtui
