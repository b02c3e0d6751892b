// Region capture as the user feels it, on the real window backend (the
// offscreen platform with a 1920 × 1200 screen): from the key D to the board
// showing the frozen screen, and from the release of the drag to the
// captured picture shown in the picture window. Exits non-zero when a median
// is over budget.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/quillet.h"
#include "core/main_controls.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/ui/input.h"
#include "support/budget.h"
#include "support/photo.h"

namespace {

using Clock = std::chrono::steady_clock;
using quillet::app::Quillet;

struct Setup {
  std::filesystem::path folder = quillet::bench::freshFolder("capture-bench");
  quillet::qtui::QtBackend backend;
  std::unique_ptr<Quillet> program;

  Setup() {
    std::filesystem::copy(QUILLET_PIC_FOLDER, folder / "pic",
                          std::filesystem::copy_options::recursive);
    program = std::make_unique<Quillet>(backend,
                                        quillet::core::Environment{folder.string(), "quillet", {}});
    program->start();
    QCoreApplication::processEvents();
  }
  ~Setup() {
    program->shutdown();
    std::filesystem::remove_all(folder);
  }
  static void paint(quillet::ui::Window* window) {
    if (!window) return;
    if (auto* w = quillet::qtui::widgetOf(*window)) w->repaint();
  }
  quillet::ui::Window* board() { return program->secondary("capture"); }
  // Presses D; `onBoard` runs once the board's modal loop is running.
  void capture(std::function<void()> onBoard) {
    QTimer::singleShot(0, [onBoard = std::move(onBoard)] { onBoard(); });
    program->main()->onKeyDown(quillet::ui::key::letter('D'), 0);
  }
};

Setup* current = nullptr;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// D, then the board painted with the whole frozen screen; Esc ends it.
void keyToBoard(benchmark::State& state) {
  Setup& s = *current;
  for (auto _ : state) {
    const auto start = Clock::now();
    double elapsed = 0;
    s.capture([&] {
      Setup::paint(s.board());
      elapsed = millisecondsSince(start);
      if (auto* board = s.board()) board->onKeyDown(quillet::ui::key::kEscape, 0);
    });
    state.SetIterationTime(elapsed / 1000.0);
  }
}

// A drag over a 600 × 400 region; from its release to the capture painted in
// the picture window.
void releaseToPicture(benchmark::State& state) {
  Setup& s = *current;
  for (auto _ : state) {
    Clock::time_point released;
    s.capture([&] {
      quillet::ui::Window* board = s.board();
      if (!board) return;
      board->onLeftDown(100, 200, 0);
      board->onMouseMove(700, 600, 0);
      released = Clock::now();
      board->onLeftUp(700, 600, 0);
    });
    Setup::paint(s.program->main());
    state.SetIterationTime(millisecondsSince(released) / 1000.0);
    state.PauseTiming();
    for (const auto& entry : std::filesystem::directory_iterator(s.folder / "pic")) {
      if (entry.path().filename() != "1.jpg") std::filesystem::remove(entry.path());
    }
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(keyToBoard)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(releaseToPicture)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  // A screen of the size the budgets speak of.
  const auto config = std::filesystem::temp_directory_path() /
                      ("quillet-capture-screen-" + std::to_string(::getpid()) + ".json");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::ofstream(config) << R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920,)"
                             R"( "height": 1200, "logicalDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str());
  }
  QApplication app(argc, argv);
  std::filesystem::remove(config);
  const auto m = quillet::bench::runWithFixture(&argc, argv, current);
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const std::string title = "Summary (medians, a " + std::to_string(screen.width()) + " × " +
                            std::to_string(screen.height()) + " screen)";
  quillet::bench::BudgetTable table(title.c_str());
  if (m.contains("keyToBoard")) {
    table.line("D to the board showing the frozen screen:", m.at("keyToBoard"), 150.0, "ms");
  }
  if (m.contains("releaseToPicture")) {
    table.line("release to the 600 × 400 capture shown:", m.at("releaseToPicture"), 100.0, "ms");
  }
  return table.allWithin() ? 0 : 1;
}
