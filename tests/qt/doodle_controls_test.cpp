#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QPaintEvent>
#include <QtGui/QStyleHints>
#include <QtGui/QWheelEvent>
#include <QtGui/QWindow>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSlider>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/input.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

class DoodleControls : public QtFixture {
 protected:
  ui::Window& activeWindow(int left = 100, int top = 80, int width = 200, int height = 150) {
    ui::Window& window = makeWindow(left, top, width, height);
    widget(window).activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&widget(window)));
    return window;
  }

  QWidget* shown(ui::Window& window, const ui::Control& control) {
    return widget(window).controlWidget(control);
  }

  static void wheel(QWidget* target, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
  }

  // Runs `step` once the program's modal dialog is up; closes it should the
  // step fail to.
  void whenDialogOpen(std::function<void(QDialog&)> step) {
    QTimer::singleShot(5000, &scope_, [] {
      if (QWidget* open = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "the dialog was left open";
        static_cast<QDialog*>(open)->reject();
      }
    });
    QTimer::singleShot(0, &scope_, [step] {
      EXPECT_TRUE(
          QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 2000));
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      step(*dialog);
    });
  }

  QObject scope_;
};

TEST_F(DoodleControls, SliderReportsTheUsersMovesOnly_PressFirst) {
  ui::Window& window = activeWindow();
  auto& slider = window.add<ui::Slider>("滑块条1");
  slider.setGeometry(2, 13, 120, 20);
  slider.setRange(1, 50);
  slider.setSteps(1, 5);
  slider.setPosition(5);
  std::vector<std::string> log;
  slider.onChanged = [&] { log.push_back("changed " + std::to_string(slider.position())); };
  slider.onPressed = [&] { log.push_back("pressed at " + std::to_string(slider.position())); };
  auto* view = qobject_cast<QSlider*>(shown(window, slider));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->value(), 5);

  slider.setPosition(20);
  slider.setRange(1, 30);
  EXPECT_EQ(view->value(), 20);
  EXPECT_EQ(view->maximum(), 30);
  EXPECT_TRUE(log.empty()) << "the program's own setting came back as a move";

  view->setFocus();
  QTest::keyClick(view, Qt::Key_Right);
  QTest::keyClick(view, Qt::Key_PageUp);
  // Far right in the groove: the press is heard before it moves the handle.
  QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() - 3, view->height() / 2));
  EXPECT_GT(slider.position(), 26);
  EXPECT_EQ(log, (std::vector<std::string>{"changed 21", "changed 26", "pressed at 26",
                                           "changed " + std::to_string(slider.position())}));

  // What the slider leaves alone is the window's: Esc closes the doodle.
  log.clear();
  window.onKeyDown = [&](int key, int) { log.push_back("window key " + std::to_string(key)); };
  QTest::keyClick(view, Qt::Key_Left);
  QTest::keyClick(view, Qt::Key_Escape);
  EXPECT_EQ(log, (std::vector<std::string>{"changed " + std::to_string(slider.position()),
                                           "window key 27"}));

  log.clear();
  slider.setPosition(10);
  wheel(view, QPoint(10, 10), -120);
  EXPECT_EQ(log.size(), 1u);
  EXPECT_NE(slider.position(), 10) << "the wheel did not move the slider";
  EXPECT_EQ(view->value(), slider.position());
}

TEST_F(DoodleControls, VerticalSliderHasItsMinimumAtTheTop) {
  ui::Window& window = activeWindow();
  auto& slider = window.add<ui::Slider>("颜色滑块条");
  slider.setOrientation(ui::Slider::Orientation::Vertical);
  slider.setGeometry(28, 35, 15, 120);
  slider.setRange(0, 255);
  slider.setSteps(1, 5);
  slider.setPosition(128);
  QWidget* view = shown(window, slider);
  view->setFocus();
  // A click above the handle moves it towards the top, which is the minimum.
  QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(7, 3));
  EXPECT_LT(slider.position(), 128);
  slider.setPosition(128);
  QTest::keyClick(view, Qt::Key_Up);
  EXPECT_EQ(slider.position(), 127) << "Up moves the handle up, towards the minimum";
}

TEST_F(DoodleControls, PickerAsksTheColourDialog_AndKeepsTheFocusWhileItIsOpen) {
  ui::Window& window = activeWindow();
  auto& picker = window.add<ui::ColourPicker>("颜色选择");
  picker.setGeometry(2, 14, 48, 20);
  picker.setColour(0x0000FF);  // red
  std::vector<std::string> log;
  picker.onChanged = [&] { log.push_back("changed"); };
  picker.onFocusIn = [&] { log.push_back("focus in"); };
  picker.onFocusOut = [&] { log.push_back("focus out"); };
  QWidget* swatch = shown(window, picker);
  EXPECT_EQ(widget(window).grab().toImage().pixelColor(26, 24), QColor(255, 0, 0));

  whenDialogOpen([&](QDialog& dialog) {
    auto& colours = static_cast<QColorDialog&>(dialog);
    EXPECT_EQ(colours.currentColor(), QColor(255, 0, 0));
    EXPECT_EQ(dialog.parentWidget(), &widget(window));
    EXPECT_TRUE(colours.testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }, 2000));
    EXPECT_TRUE(picker.hasFocus());
    log.push_back("dialog");
    colours.setCurrentColor(QColor(0x12, 0x34, 0x56));
    dialog.accept();
  });
  QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(log, (std::vector<std::string>{"focus in", "dialog", "changed"}));
  EXPECT_EQ(picker.colour(), 0x563412u);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == swatch; }, 2000));
  EXPECT_TRUE(picker.hasFocus());

  // Space opens it too; cancelling changes nothing.
  log.clear();
  whenDialogOpen([](QDialog& dialog) {
    static_cast<QColorDialog&>(dialog).setCurrentColor(Qt::green);
    dialog.reject();
  });
  QTest::keyClick(swatch, Qt::Key_Space);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(picker.colour(), 0x563412u);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == swatch; }, 2000));

  auto& edit = window.add<ui::EditBox>("红编辑框");
  edit.setGeometry(60, 14, 40, 20);
  edit.setFocus();
  EXPECT_EQ(log, std::vector<std::string>{"focus out"});
}

// Records the rectangles a widget is asked to paint.
class PaintLog : public QObject {
 public:
  explicit PaintLog(QWidget& widget) { widget.installEventFilter(this); }
  QRect painted;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted |= static_cast<QPaintEvent*>(e)->rect();
    return false;
  }
};

TEST_F(DoodleControls, CanvasShowsTheModelsRaster_RepaintingWhatWasDrawn) {
  ui::Window& window = makeWindow(100, 80, 200, 150);
  auto& box = window.add<ui::CanvasBox>("画板1");
  box.setGeometry(0, 0, 200, 150);
  box.canvas() = image::Canvas(120, 100);
  box.showDamage(box.canvas().bounds());
  QWidget* view = shown(window, box);
  settle();
  PaintLog paints(*view);

  box.canvas().setPenWidth(1);
  box.canvas().setPenColour(0x0000FF);
  const image::Rect drawn = box.canvas().segment(10, 20, 60, 20);
  box.showDamage(drawn);
  settle();
  EXPECT_EQ(paints.painted, QRect(drawn.left, drawn.top, drawn.width, drawn.height))
      << "a stroke repaints more than it drew";
  const QImage picture = view->grab().toImage();
  EXPECT_EQ(picture.pixelColor(30, 20), QColor(255, 0, 0));
  EXPECT_EQ(picture.pixelColor(30, 40), QColor(255, 255, 255));
  EXPECT_EQ(picture.pixelColor(150, 120), QColor(255, 255, 255)) << "beyond the raster";

  paints.painted = {};
  box.showDamage(box.canvas().resize(160, 110));
  settle();
  EXPECT_EQ(paints.painted, view->rect()) << "a new size repaints whole";
}

class CanvasInput : public DoodleControls {
 protected:
  void SetUp() override {
    window = &activeWindow(100, 80, 200, 150);
    window->setFreeMove(true);  // as the main window is; the canvas must not drag it
    canvas = &window->add<ui::CanvasBox>("画板1");
    canvas->setGeometry(10, 10, 150, 120);
    canvas->canvas() = image::Canvas(150, 120);
    auto record = [this](std::string what) {
      return [this, what](int x, int y, int m) {
        log.push_back(what + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(m));
      };
    };
    canvas->onLeftDown = record("down");
    canvas->onMouseMove = record("move");
    canvas->onLeftUp = record("up");
    canvas->onDoubleClick = record("double");
    canvas->onRightDown = record("right");
    canvas->onWheel = [this](int d, int m) {
      log.push_back("wheel " + std::to_string(d) + " " + std::to_string(m));
    };
    canvas->onKeyDown = [this](int key, int m) {
      log.push_back("canvas key " + std::to_string(key) + " " + std::to_string(m));
    };
    window->onKeyDown = [this](int key, int) {
      log.push_back("window key " + std::to_string(key));
    };
    window->onLeftDown = record("window down");
  }
  QWidget* view() { return shown(*window, *canvas); }

  ui::Window* window = nullptr;
  ui::CanvasBox* canvas = nullptr;
  std::vector<std::string> log;
};

TEST_F(CanvasInput, StrokeAndDoubleClickArriveInTheOrderTheModelExpects) {
  // The first move into a new window may go to its entering.
  QTest::mouseMove(view(), QPoint(1, 1));
  log.clear();
  QTest::mouseMove(view(), QPoint(3, 4));
  QTest::mousePress(view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
  QTest::mouseMove(view(), QPoint(40, 30));
  QTest::mouseMove(view(), QPoint(80, 70));
  QTest::mouseRelease(view(), Qt::LeftButton, Qt::ShiftModifier, QPoint(80, 70));
  QTest::mousePress(view(), Qt::RightButton, Qt::ControlModifier, QPoint(7, 8));
  QTest::mouseRelease(view(), Qt::RightButton, Qt::ControlModifier, QPoint(7, 8));
  EXPECT_EQ(log, (std::vector<std::string>{"move 3,4 0", "down 5,6 2", "move 40,30 0",
                                           "move 80,70 0", "up 80,70 2", "right 7,8 1"}));
  EXPECT_EQ(widget(*window).pos(), QPoint(100, 80)) << "a stroke dragged the window";

  // Qt delivers a double click as press, release, double click, release.
  log.clear();
  QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
  const QPoint at(20, 25);
  QTest::mousePress(view(), Qt::LeftButton, Qt::AltModifier, at);
  QTest::mouseRelease(view(), Qt::LeftButton, Qt::AltModifier, at);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, view()->mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::AltModifier);
  QCoreApplication::sendEvent(view(), &dbl);
  QTest::mouseRelease(view(), Qt::LeftButton, Qt::AltModifier, at);
  EXPECT_EQ(log, (std::vector<std::string>{"down 20,25 4", "up 20,25 4", "double 20,25 4",
                                           "up 20,25 4"}));
}

TEST_F(CanvasInput, WheelIsSignedAndKeysAreTheCanvassNotTheWindows) {
  wheel(view(), QPoint(10, 10), 120);
  wheel(view(), QPoint(10, 10), -240, Qt::ControlModifier);
  // Without a wheel handler of its own the canvas leaves the wheel to the window.
  canvas->onWheel = nullptr;
  window->onWheel = [this](int d, int) { log.push_back("window wheel " + std::to_string(d)); };
  wheel(view(), QPoint(10, 10), -120);
  EXPECT_EQ(log, (std::vector<std::string>{"wheel 120 0", "wheel -240 1", "window wheel -120"}));

  log.clear();
  canvas->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), view());
  QTest::keyClick(view(), Qt::Key_Period);
  QTest::keyClick(view(), Qt::Key_Tab);
  // The window itself focused, as after a click beside the canvas: the
  // canvas still takes the keys.
  window->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), &widget(*window));
  QTest::keyClick(&widget(*window), Qt::Key_Comma, Qt::ShiftModifier);
  EXPECT_EQ(log, (std::vector<std::string>{"canvas key 190 0", "canvas key 9 0", "canvas key 16 2",
                                           "canvas key 188 2"}));
}

TEST_F(DoodleControls, LabelShowsItsBackgroundColourAndAnyFontFamily) {
  ui::Window& window = makeWindow(60, 60, 200, 100);
  window.setColour(0xFFFFFF);
  auto& label = window.add<ui::Label>("标签2");
  label.setGeometry(10, 10, 60, 40);
  label.setText("5");
  auto at = [&](int x, int y) { return widget(window).grab().toImage().pixelColor(x, y); };
  EXPECT_EQ(at(65, 45), QColor(255, 255, 255));
  label.setBackground(0xFF0000);  // blue
  EXPECT_EQ(at(65, 45), QColor(0, 0, 255));

  auto& status = window.add<ui::Label>("临时标签");
  status.setGeometry(100, 10, 90, 40);
  status.setFont("宋体");
  status.setText("12,34");
  const QImage picture = widget(window).grab().toImage().copy(100, 10, 90, 40);
  int ink = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) ink += picture.pixelColor(x, y).lightness() < 128;
  }
  EXPECT_GT(ink, 10) << "a family the system lacks shows no text";
}

TEST_F(DoodleControls, DisabledWindowTakesNoInputAndGreysItsControls) {
  ui::Window& window = activeWindow();
  auto& box = window.add<ui::PictureBox>("图片框1");
  box.setGeometry(0, 0, 100, 150);
  auto& slider = window.add<ui::Slider>("滑块条1");
  slider.setGeometry(110, 10, 80, 20);
  slider.setPosition(50);
  int input = 0;
  box.onLeftDown = [&](int, int, int) { ++input; };
  window.onLeftDown = [&](int, int, int) { ++input; };
  window.onKeyDown = [&](int, int) { ++input; };
  slider.onChanged = [&] { ++input; };
  window.setEnabled(false);
  QWidget& frame = widget(window);
  EXPECT_FALSE(shown(window, box)->isEnabled());
  QTest::mouseClick(shown(window, box), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseClick(&frame, Qt::LeftButton, {}, QPoint(150, 100));
  QTest::mouseClick(shown(window, slider), Qt::LeftButton, {}, QPoint(75, 10));
  QTest::keyClick(&frame, Qt::Key_A);
  EXPECT_EQ(input, 0);
  EXPECT_EQ(slider.position(), 50);

  window.setEnabled(true);
  QTest::mouseClick(shown(window, box), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::keyClick(&frame, Qt::Key_A);
  EXPECT_EQ(input, 2);

  // A control greyed on its own, in a window that takes input.
  box.setEnabled(false);
  QTest::mouseClick(shown(window, box), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(input, 2);
}

class OwnedWindow : public DoodleControls {
 protected:
  ui::Window& makeOwned(ui::Window& owner, int left, int top) {
    windows_.push_back(std::make_unique<ui::Window>(backend, "颜色窗口", &owner));
    ui::Window& owned = *windows_.back();
    owned.move(left, top);
    owned.setWidth(60);
    owned.setHeight(200);
    owned.setVisible(true);
    settle();
    return owned;
  }
  static int windowWidgets() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      n += dynamic_cast<qtui::WindowWidget*>(w) != nullptr;
    }
    return n;
  }
};

TEST_F(OwnedWindow, TakesClicksWhileItsOwnerRunsModally) {
  ui::Window& other = makeWindow(400, 0, 100, 100);
  // As the program opens its doodle window: the owned window is shown from
  // the owner's creation, before the owner itself is.
  windows_.push_back(std::make_unique<ui::Window>(backend, "涂鸦窗口"));
  ui::Window& owner = *windows_.back();
  owner.setWidth(300);
  owner.setHeight(200);
  ui::Window& owned = makeOwned(owner, 310, 0);
  std::vector<std::string> log;
  other.onLeftDown = [&](int, int, int) { log.push_back("other"); };
  owned.onLeftDown = [&](int, int, int) { log.push_back("owned"); };
  owner.setEnabled(false);
  EXPECT_TRUE(widget(owned).isEnabled()) << "greyed with its owner";
  owner.setEnabled(true);

  QTimer::singleShot(5000, &scope_, [&] {
    ADD_FAILURE() << "the run did not end";
    backend.endModal(owner);
  });
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(widget(owned).windowHandle());
    EXPECT_EQ(widget(owned).windowHandle()->transientParent(), widget(owner).windowHandle());
    EXPECT_TRUE(widget(owned).isVisible());
    QTest::mouseClick(widget(other).windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(widget(owned).windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    backend.endModal(owner);
  });
  backend.runModal(owner);
  EXPECT_EQ(log, std::vector<std::string>{"owned"});
}

TEST_F(OwnedWindow, EitherWindowMayGoFirst_EvenFromTheOwnedWindowsOwnHandler) {
  const int before = windowWidgets();
  ui::Window& owner = makeWindow(0, 0, 300, 200);
  ui::Window& owned = makeOwned(owner, 310, 0);
  auto& picture = owned.add<ui::PictureBox>("图片框");
  picture.setGeometry(0, 0, 60, 200);
  picture.onLeftDown = [&](int, int, int) {
    destroy(owner);
    owned.setTitle("still here");
    owned.add<ui::Label>("标签");
  };
  QTest::mouseClick(widget(owned).controlWidget(picture), Qt::LeftButton, {}, QPoint(5, 5));
  settle();
  EXPECT_EQ(windowWidgets(), before) << "a native window was left behind";
  destroy(owned);
  settle();
  EXPECT_EQ(windowWidgets(), before);

  ui::Window& second = makeWindow(0, 0, 300, 200);
  ui::Window& secondOwned = makeOwned(second, 310, 0);
  destroy(secondOwned);
  settle();
  EXPECT_TRUE(widget(second).isVisible());
  destroy(second);
  settle();
  EXPECT_EQ(windowWidgets(), before);
}

TEST_F(DoodleControls, SaveDialogAddsTheDefaultSuffixToATypedName) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString typed = QDir(folder.path()).filePath(QStringLiteral("涂鸦"));
  whenDialogOpen([&](QDialog& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(typed);
    dialog.accept();
  });
  const ui::FileDialogResult answer =
      backend.saveFileDialog(nullptr, "保存", "JPEG 文件|*.jpg", "jpg");
  EXPECT_TRUE(answer.confirmed);
  EXPECT_EQ(QString::fromStdString(answer.path), typed + QStringLiteral(".jpg"));
}

}  // namespace
}  // namespace quillet::qttest
