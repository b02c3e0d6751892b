// What the user feels in the doodle window, on the real window backend
// (offscreen platform): a pointer move while drawing with a 50-pixel pen on a
// 1920 x 1200 canvas, from the event to the repainted canvas; and opening the
// doodle window over a picture window showing a 24-megapixel photo, to its
// first painted frame. Exits non-zero when a median is over budget.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <QtCore/QCoreApplication>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/quillet.h"
#include "doodle/doodle_session.h"
#include "platform/image/big_buffers.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/ui/input.h"
#include "support/budget.h"
#include "support/photo_program.h"

namespace {

using quillet::app::Quillet;

// The program on the photo, its picture window 800 pixels wide.
struct Setup : quillet::bench::PhotoProgram {
  Setup() : PhotoProgram("doodle-bench", {"photo.jpg"}) {}
  quillet::ui::Window* doodle() { return program->secondary(quillet::doodle::kDoodleWindowKey); }
  void open() { program->main()->onKeyDown(quillet::ui::key::letter('P'), 0); }
  void close() {
    if (quillet::ui::Window* w = doodle()) w->onKeyDown(quillet::ui::key::letter('P'), 0);
    QCoreApplication::processEvents();
  }
};

Setup* current = nullptr;
Setup& setup() { return *current; }

// Back and forth across the canvas, one segment of 40 pixels a move; only
// what the segment damaged is repainted.
void drawMove50(benchmark::State& state) {
  Setup& s = setup();
  s.open();
  quillet::ui::Window& w = *s.doodle();
  auto& canvas = w.get<quillet::ui::CanvasBox>(quillet::doodle::kCanvasName);
  canvas.setGeometry(0, 0, 1920, 1200);
  canvas.showDamage(canvas.canvas().resize(1920, 1200));
  w.setWidth(1920);
  w.setHeight(1200);
  Setup::paint(w);
  canvas.onLeftDown(100, 600, 0);
  int x = 100, step = 40;
  for (auto _ : state) {
    if (x + step > 1800 || x + step < 100) step = -step;
    x += step;
    canvas.canvas().setPenWidth(50);
    canvas.onMouseMove(x, 600 + (x / 40) % 7, 0);
    QCoreApplication::processEvents();
  }
  canvas.onLeftUp(x, 600, 0);
  s.close();
}

// P over the picture window: snapshot, canvas, colour window, first frame.
void openOverPhoto(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    s.open();
    Setup::paint(*s.doodle());
    state.PauseTiming();
    s.close();
    state.ResumeTiming();
  }
}

}  // namespace

int main(int argc, char** argv) {
  quillet::image::reuseLargeBuffers();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::RegisterBenchmark("drawMove50", drawMove50)
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
  benchmark::RegisterBenchmark("openOverPhoto", openOverPhoto)
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(5)
      ->Iterations(10)
      ->ReportAggregatesOnly(true);
  const auto m = quillet::bench::runWithFixture(&argc, argv, current);
  quillet::bench::BudgetTable table("Summary (medians)");
  if (m.contains("drawMove50")) {
    table.line("move with a 50 px pen, drawn and repainted:", m.at("drawMove50"), 4.0, "ms", 2);
  }
  if (m.contains("openOverPhoto")) {
    table.line("doodle window over a 24 MP photo, first frame:", m.at("openOverPhoto"), 150.0,
               "ms");
  }
  return table.allWithin() ? 0 : 1;
}
