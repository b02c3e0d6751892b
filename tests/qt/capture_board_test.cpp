#include <QtCore/QTimer>
#include <QtGui/QPaintEvent>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/quillet.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/qt/picture_widget.h"
#include "platform/qt/whole_picture.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

constexpr std::uint32_t kYellow = 0x00FFFF;  // 0x00BBGGRR

// A screen photograph in which every pixel differs from its neighbours, so
// that a picture shown one pixel off shows up.
image::Bitmap photograph(int width, int height) {
  image::Bitmap bitmap{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = bitmap.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x * 7);
      p[1] = static_cast<std::uint8_t>(y * 5);
      p[2] = static_cast<std::uint8_t>(x + 3 * y);
    }
  }
  return bitmap;
}

ui::PictureBytes asBmp(const image::Bitmap& bitmap) {
  return std::make_shared<const std::vector<std::uint8_t>>(image::encodeBmp24(bitmap));
}

QColor at(const image::Bitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.row(y) + 3 * x;
  return QColor(p[0], p[1], p[2]);
}

// The board as region capture builds it: the photograph behind everything,
// and an outline whose inside shows the same photograph where it lies.
struct Board {
  ui::Frame* outline;
  ui::Frame* inner;
  ui::PictureBox* region;

  void place(QRect r, QSize screen) const {
    outline->setGeometry(r.x(), r.y(), r.width(), r.height());
    inner->setGeometry(1, 1, r.width() - 2, r.height() - 2);
    region->setGeometry(-r.x() - 1, -r.y() - 1, screen.width(), screen.height());
  }
};

Board buildBoard(ui::Window& window, const ui::PictureBytes& shot, QRect outline, QSize screen) {
  window.setBackgroundPicture(shot);
  Board board{&window.add<ui::Frame>("外框"), nullptr, nullptr};
  board.outline->setColour(kYellow);
  board.inner = &window.add<ui::Frame>("外框1", board.outline);
  board.region = &window.add<ui::PictureBox>("区域画板", board.inner);
  board.region->setDisplayMode(0);
  board.region->setPicture(shot);
  board.place(outline, screen);
  return board;
}

// What differs between `shown` (device pixels) and the photograph with a
// yellow outline around `outline` (window pixels); empty when nothing does.
std::string boardMismatch(const QImage& shown, const image::Bitmap& shot, QRect outline,
                          int ratio) {
  if (shown.width() != shot.width || shown.height() != shot.height) {
    return "shown at " + std::to_string(shown.width()) + "x" + std::to_string(shown.height());
  }
  const QRect outer(outline.topLeft() * ratio, outline.size() * ratio);
  const QRect inside = outer.adjusted(ratio, ratio, -ratio, -ratio);
  int wrong = 0;
  std::string first;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const bool margin = outer.contains(x, y) && !inside.contains(x, y);
      const QColor expected = margin ? QColor(255, 255, 0) : at(shot, x, y);
      if (shown.pixelColor(x, y) == expected) continue;
      if (wrong++ == 0) {
        first = "first wrong pixel at " + std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return wrong ? std::to_string(wrong) + " wrong pixels, " + first : "";
}

// Adds up the areas Qt asks a widget and its children to paint.
class PaintMeter : public QObject {
 public:
  explicit PaintMeter(QWidget& top) {
    top.installEventFilter(this);
    for (QWidget* child : top.findChildren<QWidget*>()) child->installEventFilter(this);
  }
  long long painted = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
        painted += static_cast<long long>(r.width()) * r.height();
      }
    }
    return false;
  }
};

using CaptureBoard = QtFixture;

// Checked on what the window shows on screen, after each step has been
// painted as a step, not as a fresh picture of the whole window. The margin
// stays yellow only if each frame cuts off the children inside it.
TEST_F(CaptureBoard, OutlineShowsThePhotographUnchangedInsideAYellowMargin) {
  const QSize screen(400, 300);
  const image::Bitmap shot = photograph(screen.width(), screen.height());
  const ui::PictureBytes bytes = asBmp(shot);
  ui::Window& window = makeWindow(0, 0, screen.width(), screen.height());
  const int decodesBefore = qtui::wholeDecodeCount();
  const Board board = buildBoard(window, bytes, QRect(50, 40, 120, 90), screen);
  settle();
  EXPECT_EQ(qtui::wholeDecodeCount() - decodesBefore, 1)
      << "the background and the region share one decode of the photograph";

  auto onScreen = [&] {
    settle();
    return widget(window).screen()->grabWindow(widget(window).winId()).toImage();
  };
  const QRect steps[] = {
      {50, 40, 120, 90}, {52, 43, 120, 90},  {52, 43, 150, 100},
      {0, 0, 31, 17},    {380, 250, 60, 70},  // at the corner; reaching past the edges
      {200, 100, 2, 2},  {10, 280, 390, 20},  // nothing but margin; a wide strip
  };
  for (const QRect& step : steps) {
    board.place(step, screen);
    const QImage shown = onScreen().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(boardMismatch(shown, shot, step, 1), "")
        << step.x() << "," << step.y() << " " << step.width() << "x" << step.height();
  }

  // A step of the outline repaints about the outline, not the board.
  board.place(QRect(100, 100, 80, 60), screen);
  onScreen();
  PaintMeter meter(widget(window));
  board.place(QRect(103, 102, 84, 61), screen);
  settle();
  EXPECT_GT(meter.painted, 0);
  EXPECT_LT(meter.painted, 4 * 84 * 61) << "of " << screen.width() * screen.height();
  EXPECT_EQ(qtui::wholeDecodeCount() - decodesBefore, 1) << "a repaint decoded";
}

TEST_F(CaptureBoard, UnscaledPictureBoxShowsOnePicturePixelPerPixelFromItsCorner) {
  ui::Window& window = makeWindow(0, 0, 400, 300);
  auto& box = window.add<ui::PictureBox>("图片框1");
  box.setGeometry(0, 0, 80, 40);
  box.setBackground(0x00FF00);
  box.setBorder(true);
  box.setDisplayMode(0);
  const image::Bitmap small = photograph(50, 30);
  box.setPicture(asBmp(small));
  QWidget* shownBox = widget(window).controlWidget(box);
  const QImage shown = shownBox->grab().toImage();
  int wrong = 0;
  for (int y = 1; y < 39; ++y) {
    for (int x = 1; x < 79; ++x) {
      const bool covered = x - 1 < small.width && y - 1 < small.height;
      if (shown.pixelColor(x, y) != (covered ? at(small, x - 1, y - 1) : QColor(0, 255, 0))) {
        ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "inside the border: the picture, then the background";

  // Growing the box shows more of the same decode; stretching it again takes
  // the picture to the box's edges.
  const image::Bitmap large = photograph(200, 100);
  box.setPicture(asBmp(large));
  const int decodes = static_cast<qtui::PictureWidget*>(shownBox)->decodeCount();
  box.setGeometry(0, 0, 300, 120);
  EXPECT_EQ(shownBox->grab().toImage().pixelColor(200, 100), at(large, 199, 99));
  EXPECT_EQ(static_cast<qtui::PictureWidget*>(shownBox)->decodeCount(), decodes);
  box.setDisplayMode(1);
  EXPECT_NE(shownBox->grab().toImage().pixelColor(298, 118), QColor(0, 255, 0));
}

// The window's own area hears the mouse: moves with no button down, and the
// whole of a press made on it, wherever the pointer goes until the release.
TEST_F(CaptureBoard, WindowHearsMovesAndTheReleaseOfPressesOnItsOwnArea) {
  ui::Window& window = makeWindow(100, 80, 200, 150);
  auto& region = window.add<ui::Frame>("外框");
  region.setGeometry(10, 20, 100, 80);
  std::vector<std::string> log;
  auto record = [&log](std::string what) {
    return [&log, what](int x, int y, int) {
      log.push_back(what + " " + std::to_string(x) + "," + std::to_string(y));
    };
  };
  window.onLeftDown = record("down");
  window.onMouseMove = record("move");
  window.onLeftUp = record("up");
  region.onLeftDown = record("frame down");
  QTest::mouseClick(widget(window).controlWidget(region), Qt::LeftButton, {}, QPoint(5, 6));
  QWidget* target = &widget(window);
  auto send = [target](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, p, target->mapToGlobal(p), button, held, {});
    QCoreApplication::sendEvent(target, &event);
  };
  send(QEvent::MouseMove, {150, 120}, Qt::NoButton, Qt::NoButton);
  send(QEvent::MouseButtonPress, {150, 120}, Qt::LeftButton, Qt::LeftButton);
  // Over the frame now: the window still has the mouse of its own press.
  send(QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {40, 45}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(log, (std::vector<std::string>{"frame down 5,6", "move 150,120", "down 150,120",
                                           "move 50,50", "up 40,45"}));

  // A press that hands the window to a move: the release of a plain click
  // still comes, once no double click can follow; a drag has none.
  window.onLeftDown = [&](int, int, int) {
    log.push_back("down");
    backend.startSystemMove(window);
  };
  window.onMouseMove = nullptr;
  log.clear();
  send(QEvent::MouseButtonPress, {150, 120}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {150, 120}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(log, std::vector<std::string>{"down"});
  QTest::qWait(QApplication::doubleClickInterval() + 150);
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up 150,120"}));
  log.clear();
  send(QEvent::MouseButtonPress, {150, 120}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {180, 140}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {180, 140}, Qt::LeftButton, Qt::NoButton);
  QTest::qWait(QApplication::doubleClickInterval() + 150);
  EXPECT_EQ(log, std::vector<std::string>{"down"});
}

TEST_F(CaptureBoard, ControlFocusSendsTheKeysToItOrToItsWindow) {
  ui::Window& notes = makeWindow(0, 0, 200, 100);
  auto& edit = notes.add<ui::EditBox>("编辑框1");
  edit.setGeometry(0, 0, 200, 100);
  ui::Window& board = makeWindow(300, 0, 200, 100);
  auto& region = board.add<ui::PictureBox>("区域画板");
  region.setGeometry(0, 0, 200, 100);
  std::vector<int> boardKeys;
  board.onKeyDown = [&](int key, int) { boardKeys.push_back(key); };

  edit.setFocus();
  settle();
  EXPECT_EQ(QApplication::focusWidget(), widget(notes).controlWidget(edit));
  ASSERT_NE(QGuiApplication::focusWindow(), nullptr);
  QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_A);
  EXPECT_EQ(edit.text(), "a");

  region.setFocus();
  settle();
  EXPECT_EQ(QApplication::activeWindow(), &widget(board));
  QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
  EXPECT_EQ(boardKeys, std::vector<int>{0x1B});
  EXPECT_EQ(edit.text(), "a");
}

class ModalRun : public QtFixture {
 protected:
  // Ends a run that a broken test would leave running.
  void guard(ui::Window& window) {
    QTimer::singleShot(5000, &scope_, [this, &window] {
      ADD_FAILURE() << "the run did not end";
      backend.endModal(window);
    });
  }
  static void soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }
  QObject scope_;
};

TEST_F(ModalRun, BoardTakesTheProgramsInputAboveItsTopmostWindowsUntilItsHandlerEndsIt) {
  ui::Window& other = makeWindow(0, 0, 200, 150);
  other.setTopmost(true);
  auto& picture = other.add<ui::PictureBox>("图片框1");
  picture.setGeometry(0, 0, 200, 150);
  int otherPresses = 0;
  picture.onLeftDown = [&](int, int, int) { ++otherPresses; };
  ui::Window& board = makeWindow(300, 0, 300, 200);  // shown before its run, as may happen
  std::vector<std::string> log;
  board.onKeyDown = [&](int key, int) {
    log.push_back("key " + std::to_string(key));
    if (key == 0x1B) backend.endModal(board);
  };
  QWidget& shown = widget(board);
  QWindow* otherWindow = widget(other).windowHandle();
  guard(board);
  soon([&] {
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &shown);
    EXPECT_TRUE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QGuiApplication::focusWindow() == shown.windowHandle(); }, 2000));
    QTest::mouseClick(otherWindow, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
    log.push_back("handler returned");
  });
  backend.runModal(board);
  log.push_back("run returned");
  EXPECT_EQ(log, (std::vector<std::string>{"key 27", "handler returned", "run returned"}));
  EXPECT_EQ(otherPresses, 0) << "a window under the run took a click";

  // Left shown after its run, the board no longer holds the others back.
  settle();
  EXPECT_TRUE(shown.isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
  QTest::mouseClick(otherWindow, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(otherPresses, 1);
}

TEST_F(ModalRun, RunsNestAndAWindowDroppedWhileRunningEndsItsRun) {
  ui::Window& outer = makeWindow(0, 0, 200, 150);
  ui::Window& inner = makeWindow(300, 0, 200, 150);
  std::vector<std::string> log;
  guard(outer);
  soon([&] {
    guard(inner);
    soon([&] {
      backend.endModal(outer);  // waits for the run inside it
      destroy(inner);
    });
    backend.runModal(inner);
    log.push_back("inner returned");
  });
  backend.runModal(outer);
  log.push_back("outer returned");
  EXPECT_EQ(log, (std::vector<std::string>{"inner returned", "outer returned"}));
  settle();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The real backend with a photograph of the screen smaller than the screen,
// as when the screen grew since it was taken.
class SmallPhotographBackend : public qtui::QtBackend {
 public:
  ui::ScreenShot grabScreen() override {
    ++photographs;
    return {asBmp(photograph(300, 200)), 1.0};
  }
  int photographs = 0;
};

// Region capture as the program builds it, on the real backend.
class ProgramBoard : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillet-program-board.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    image::Bitmap bitmap{200, 100, image::Bytes(200 * 100 * 3, 0x80)};
    std::filesystem::create_directories(folder + "/pic");
    ASSERT_TRUE(files::writeAtomic(folder + "/pic/1.jpg", image::encodeJpeg(bitmap, 90).value));
    program = std::make_unique<app::Quillet>(backend, core::Environment{folder, "quillet", {}});
    program->start();
    QCoreApplication::processEvents();
    ASSERT_NE(program->main(), nullptr);
  }
  void TearDown() override {
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove_all(folder);
  }
  // Presses D; `onBoard` runs while the board is up, then Esc ends the run.
  void capture(const std::function<void(ui::Window&, qtui::WindowWidget&)>& onBoard) {
    QTimer::singleShot(0, [this, onBoard] {
      ui::Window* board = program->secondary("capture");
      if (!board || !qtui::widgetOf(*board)) {
        ADD_FAILURE() << "no board";
        return;
      }
      qtui::WindowWidget& shown = *qtui::widgetOf(*board);
      if (onBoard) onBoard(*board, shown);
      QTest::keyClick(&shown, Qt::Key_Escape);
    });
    // Ends a run that a broken test would leave running.
    QObject scope;
    QTimer::singleShot(5000, &scope, [this] {
      ADD_FAILURE() << "the run did not end";
      if (ui::Window* board = program->secondary("capture")) backend.endModal(*board);
    });
    program->pressMainKey(0x44, 0);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static int windowWidgets() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      n += dynamic_cast<qtui::WindowWidget*>(w) != nullptr;
    return n;
  }

  std::string folder;
  SmallPhotographBackend backend;
  std::unique_ptr<app::Quillet> program;
};

TEST_F(ProgramBoard, OutlineIsYellow_AndTheBoardWhiteWhereThePhotographEnds) {
  capture([](ui::Window& board, qtui::WindowWidget& shown) {
    QTest::mousePress(&shown, Qt::LeftButton, {}, QPoint(50, 40));
    QTest::mouseMove(&shown, QPoint(150, 120));
    auto& outline = board.get<ui::Frame>("外框");
    EXPECT_EQ(outline.colour(), 0x00FFFFu) << "yellow, red in the low byte";
    EXPECT_TRUE(outline.visible());
    const QImage seen = shown.grab().toImage();
    EXPECT_EQ(seen.pixelColor(50, 80), QColor(255, 255, 0)) << "the outline's left edge";
    EXPECT_EQ(seen.pixelColor(100, 40), QColor(255, 255, 0)) << "the outline's top edge";
    EXPECT_EQ(seen.pixelColor(100, 80), at(photograph(300, 200), 100, 80)) << "its inside";
    EXPECT_EQ(seen.pixelColor(299, 199), at(photograph(300, 200), 299, 199));
    EXPECT_EQ(seen.pixelColor(300, 100), QColor(Qt::white)) << "beyond the photograph";
    EXPECT_EQ(seen.pixelColor(seen.width() - 1, seen.height() - 1), QColor(Qt::white));
  });
  EXPECT_EQ(backend.photographs, 1);
  EXPECT_EQ(program->secondary("capture"), nullptr);
}

// Every board, given up or not, holds a photograph of the screen and a
// window of its size: ten captures keep no more windows than one.
TEST_F(ProgramBoard, TenCaptures_KeepNoMoreWindowsThanOne) {
  capture(nullptr);
  const int afterOne = windowWidgets();
  for (int i = 0; i < 9; ++i) capture(nullptr);
  EXPECT_EQ(backend.photographs, 10);
  EXPECT_EQ(windowWidgets(), afterOne);
}

// quit() and a changed scale factor last for the whole process, so these run
// in a child process of their own.
class CaptureProcess : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(CaptureProcess, QuitEndsAModalRun) {
  EXPECT_EXIT(
      {
        qtui::QtBackend backend;
        ui::Window board(backend, "选区画板");
        board.setWidth(100);
        board.setHeight(100);
        QTimer::singleShot(0, [&] { backend.quit(4); });
        QTimer::singleShot(5000, [] { std::_Exit(10); });
        backend.runModal(board);
        std::_Exit(backend.exitCode());
      },
      ::testing::ExitedWithCode(4), "");
}

// What grabScreen gives: the screen in device pixels, and their ratio.
std::string screenShotMismatch(qtui::QtBackend& backend) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const ui::ScreenShot shot = backend.grabScreen();
  if (!shot.bmp) return "no photograph";
  const auto size = image::readSize(*shot.bmp);
  const double ratio = screen->devicePixelRatio();
  const QSize expected = screen->geometry().size() * ratio;
  if (size.value.width != expected.width() || size.value.height != expected.height() ||
      shot.pixelRatio != ratio) {
    return "photograph " + std::to_string(size.value.width) + "x" +
           std::to_string(size.value.height) + " at ratio " + std::to_string(shot.pixelRatio);
  }
  return "";
}

// Logical pixels are two device pixels here: the photograph, the board's
// background and the region inside the outline must still line up exactly.
TEST_F(CaptureProcess, AtTwoDevicePixelsPerPixelTheBoardLinesUpWithTheScreen) {
  qputenv("QT_SCALE_FACTOR", "2");
  EXPECT_EXIT(
      {
        qtui::QtBackend backend;
        std::string problem;
        if (QGuiApplication::primaryScreen()->devicePixelRatio() != 2) problem = "ratio not 2";
        if (problem.empty()) problem = screenShotMismatch(backend);
        const QSize screen(300, 200);
        const image::Bitmap shot = photograph(screen.width() * 2, screen.height() * 2);
        ui::Window window(backend, "选区画板");
        window.setWidth(screen.width());
        window.setHeight(screen.height());
        window.setVisible(true);
        const Board board = buildBoard(window, asBmp(shot), QRect(0, 0, 10, 10), screen);
        for (QRect step : {QRect(37, 29, 101, 77), QRect(250, 150, 80, 80)}) {
          if (!problem.empty()) break;
          board.place(step, screen);
          const QImage shown =
              qtui::widgetOf(window)->grab().toImage().convertToFormat(QImage::Format_RGB32);
          problem = boardMismatch(shown, shot, step, 2);
        }
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::_Exit(problem.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace
}  // namespace quillet::qttest
