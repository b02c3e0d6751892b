// What the user feels while resizing a window that shows a 24-megapixel
// photo: the program on its real window backend (offscreen platform), a
// wheel step from the event to the repainted window. Exits non-zero when a
// median is over budget.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <QtCore/QElapsedTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/quillet.h"
#include "core/main_controls.h"
#include "core/picture_files.h"
#include "platform/files.h"
#include "platform/image/big_buffers.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_widget.h"
#include "platform/ui/input.h"
#include "support/budget.h"
#include "support/photo_program.h"
#include "viewer/mouse.h"

namespace {

using quillet::app::Quillet;

// A program folder holding three copies of the photo, the first of them the
// last picture shown, so that Page Down has a folder to walk.
struct Setup : quillet::bench::PhotoProgram {
  Setup() : PhotoProgram("view-bench", {"photo-a.jpg", "photo-b.jpg", "photo-c.jpg"}) {}
  void repaint() { paint(*program->main()); }
};

// Lives inside main(), between the QApplication's birth and death.
Setup* current = nullptr;
Setup& setup() { return *current; }

// The photo as a 24-bit BMP, as the program writes its own results, in two
// files so that each showing reads and reduces anew.
const std::string& bmpPath(Setup& s, int which) {
  static const std::string paths[2] = {(s.folder / "photo-a.bmp").string(),
                                       (s.folder / "photo-b.bmp").string()};
  static const bool written = [] {
    const auto bmp = quillet::image::encodeBmp24(quillet::bench::photo());
    for (const auto& path : paths) {
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bmp.data()),
                 static_cast<std::streamsize>(bmp.size()));
    }
    return true;
  }();
  (void)written;
  return paths[which % 2];
}

// A large BMP from the file to the window painted at 800 pixels.
void bmpShown(benchmark::State& state) {
  Setup& s = setup();
  int which = 0;
  bmpPath(s, 0);
  for (auto _ : state) {
    quillet::core::showPictureFile(*s.program, bmpPath(s, which++));
    s.repaint();
  }
}

// The same file only read, for the comparison.
void bmpRead(benchmark::State& state) {
  Setup& s = setup();
  int which = 0;
  bmpPath(s, 0);
  for (auto _ : state) benchmark::DoNotOptimize(quillet::files::read(bmpPath(s, which++)));
}

// One notch toward the user and one away: two resizes, each repainted.
void wheelStep(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    s.program->main()->onWheel(-120, 0);
    s.repaint();
    s.program->main()->onWheel(120, 0);
    s.repaint();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

// Double-click zoom, then a wheel turn that bakes the enlarged view into the
// picture and resizes; the picture is then restored for the next round.
void bakeAndWheel(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    quillet::viewer::onPictureDoubleClick(*s.program, 400, 250, 0);
    s.repaint();
    s.program->main()->onWheel(-120, 0);
    s.repaint();
    state.PauseTiming();
    s.program->main()->setWidth(800);
    quillet::core::pictureBox(*s.program).setPicture(s.program->g().loadedPicture, "");
    s.repaint();
    state.ResumeTiming();
  }
}

// Page Down at a person's pace: the next photo of the folder, read, decoded
// at a reduced scale and painted at the window's width of 800 pixels, after
// a look at the one before it, during which the program may prepare it.
void pageDown(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    state.PauseTiming();
    QElapsedTimer looking;
    looking.start();
    while (looking.elapsed() < 250) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    state.ResumeTiming();
    s.program->main()->onKeyDown(quillet::ui::key::kPageDown, 0);
    s.repaint();
  }
}

// Page Down held down: each photo painted before the next key, with no time
// to prepare anything ahead.
void pageDownBackToBack(benchmark::State& state) {
  Setup& s = setup();
  for (auto _ : state) {
    s.program->main()->onKeyDown(quillet::ui::key::kPageDown, 0);
    s.repaint();
  }
}

// Keys that only move or resize: an arrow while the picture covers the
// window moves it by one pixel, minus and equals make it 5 pixels narrower and
// wider again; each is painted before the next.
void moveOrResizeKey(benchmark::State& state) {
  Setup& s = setup();
  namespace key = quillet::ui::key;
  for (auto _ : state) {
    for (int code : {key::kDown, key::kUp, key::kOemMinus, key::kOemPlus}) {
      s.program->main()->onKeyDown(code, 0);
      s.repaint();
    }
  }
  state.SetItemsProcessed(state.iterations() * 4);
}

// The slideshow's options window started with `seconds` and its own timer
// stopped, so that the benchmark fires the ticks itself.
quillet::ui::Timer& slideshowClock(Setup& s, const char* seconds) {
  if (!s.program->secondary("slideshow"))
    s.program->main()->onKeyDown(quillet::ui::key::letter('S'), 0);
  quillet::ui::Window& options = *s.program->secondary("slideshow");
  options.get<quillet::ui::ComboBox>("时间间隔组合框").userEdited(seconds);
  options.get<quillet::ui::Button>("开始按钮").click();
  auto& clock = options.get<quillet::ui::Timer>("进度条时钟");
  clock.setInterval(0);
  return clock;
}

// A slideshow tick that switches to the next photo, a second after the last
// one: from the timer firing to the new photo painted.
void slideshowSwitch(benchmark::State& state) {
  Setup& s = setup();
  quillet::ui::Timer& clock = slideshowClock(s, "1");
  for (auto _ : state) {
    state.PauseTiming();
    QElapsedTimer looking;
    looking.start();
    while (looking.elapsed() < 250) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    state.ResumeTiming();
    clock.tick();
    s.repaint();
  }
}

// A tick that only counts down: the box and the bar, painted.
void slideshowCountdown(benchmark::State& state) {
  Setup& s = setup();
  quillet::ui::Timer& clock = slideshowClock(s, "3600");
  for (auto _ : state) {
    clock.tick();
    if (auto* w = quillet::qtui::widgetOf(*s.program->secondary("slideshow"))) w->repaint();
  }
}

}  // namespace

int main(int argc, char** argv) {
  quillet::image::reuseLargeBuffers();  // as the program does at start
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Cases that pause for a person's look between keys run a fixed number of
  // rounds: counted to a minimum of processor time they would take minutes,
  // the faster the key the longer.
  struct Case {
    const char* name;
    void (*run)(benchmark::State&);
    int repeats;
    int rounds;  // 0: as many as the timing needs
  };
  const Case cases[] = {{"slideshowSwitch", slideshowSwitch, 7, 20},
                        {"slideshowCountdown", slideshowCountdown, 5, 0},
                        {"pageDown", pageDown, 7, 20},
                        {"pageDownBackToBack", pageDownBackToBack, 7, 0},
                        {"moveOrResizeKey", moveOrResizeKey, 5, 0},
                        {"wheelStep", wheelStep, 5, 0},
                        {"bakeAndWheel", bakeAndWheel, 5, 0},
                        {"bmpRead", bmpRead, 5, 0},
                        {"bmpShown", bmpShown, 5, 0}};
  for (const Case& c : cases) {
    auto* b = benchmark::RegisterBenchmark(c.name, c.run)
                  ->Unit(benchmark::kMillisecond)
                  ->Repetitions(c.repeats)
                  ->ReportAggregatesOnly(true);
    if (c.rounds > 0) b->Iterations(c.rounds);
  }
  const auto m = quillet::bench::runWithFixture(&argc, argv, current);
  quillet::bench::BudgetTable table("Summary (medians, 24 MP photo in an 800-pixel window)");
  if (m.contains("pageDown")) {
    table.line("Page Down, key to the next photo painted:", m.at("pageDown"), 60.0, "ms");
  }
  if (m.contains("pageDownBackToBack")) {
    table.line("Page Down held, nothing prepared ahead:", m.at("pageDownBackToBack"), 40.0, "ms");
  }
  if (m.contains("slideshowSwitch")) {
    table.line("slideshow tick to the next photo painted:", m.at("slideshowSwitch"), 60.0, "ms");
  }
  if (m.contains("slideshowCountdown")) {
    table.line("slideshow tick counting down, painted:", m.at("slideshowCountdown"), 1.0, "ms", 3);
  }
  if (m.contains("moveOrResizeKey")) {
    // A moveOrResizeKey iteration is four keys.
    table.line("arrow, minus or equals key, painted:", m.at("moveOrResizeKey") / 4, 16.0, "ms");
  }
  if (m.contains("bmpRead") && m.contains("bmpShown")) {
    table.note("24 MP BMP (72 MB), the file read:", m.at("bmpRead"), "ms");
    table.line("24 MP BMP, file to painted (1.5 x read):", m.at("bmpShown"), 1.5 * m.at("bmpRead"),
               "ms");
  }
  if (!m.contains("wheelStep") || !m.contains("bakeAndWheel")) return table.allWithin() ? 0 : 1;
  // A wheelStep iteration is two steps.
  table.line("wheel step (resize, rescale, repaint):", m.at("wheelStep") / 2, 16.0, "ms");
  table.line("double-click zoom, bake and wheel step:", m.at("bakeAndWheel"), 100.0, "ms");
  return table.allWithin() ? 0 : 1;
}
