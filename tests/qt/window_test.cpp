#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWindow>
#include <QtTest/QTest>

#include <vector>

#include "platform/qt/window_style.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

using Border = ui::Window::Border;
constexpr int kLayered = ui::Window::kLayeredBit;
constexpr int kTransparent = ui::Window::kTransparentBit;

class WindowMirror : public QtFixture {};

// Counts how often a widget is hidden, as re-creating its native window does.
class HideCounter : public QObject {
 public:
  explicit HideCounter(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
  ~HideCounter() override { widget_.removeEventFilter(this); }
  int hides = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Hide) ++hides;
    return false;
  }

 private:
  QWidget& widget_;
};

TEST_F(WindowMirror, StyleBecomesWindowFlagsAndOpacity) {
  struct Case {
    const char* what;
    Border border;
    bool topmost;
    int exStyle;
    int alpha;
    bool frameless, onTop, passesClicks;
    double opacity;
  };
  const Case cases[] = {
      {"plain frameless", Border::None, false, 0, 128, true, false, false, 1.0},
      {"topmost", Border::None, true, 0, 255, true, true, false, 1.0},
      {"layered uses alpha", Border::None, true, kLayered, 51, true, true, false, 0.2},
      {"click-through", Border::None, true, kLayered | kTransparent, 204, true, true, true, 0.8},
      {"framed note window", Border::Sizable, false, 0, 100, false, false, false, 1.0},
  };
  ui::Window& window = makeWindow();
  auto& w = widget(window);
  for (const auto& c : cases) {
    window.setBorder(c.border);
    window.setTopmost(c.topmost);
    window.setExStyle(c.exStyle);
    window.setAlpha(c.alpha);
    settle();
    const auto flags = w.windowFlags();
    EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), c.frameless) << c.what;
    EXPECT_EQ(flags.testFlag(Qt::WindowStaysOnTopHint), c.onTop) << c.what;
    EXPECT_EQ(flags.testFlag(Qt::WindowTransparentForInput), c.passesClicks) << c.what;
    // Only an unmanaged window lets clicks through on X11.
    EXPECT_EQ(flags.testFlag(Qt::X11BypassWindowManagerHint), c.passesClicks) << c.what;
    EXPECT_NEAR(w.windowOpacity(), c.opacity, 0.01) << c.what;
    // Re-creating the native window must not lose where and whether it is shown.
    EXPECT_TRUE(w.isVisible()) << c.what;
    EXPECT_EQ(w.pos(), QPoint(100, 80)) << c.what;
    EXPECT_EQ(w.size(), QSize(200, 150)) << c.what;
  }
}

TEST_F(WindowMirror, RunOfStyleSettersOnAShownWindowRecreatesItOnce) {
  ui::Window& window = makeWindow();
  auto& w = widget(window);
  HideCounter counter(w);
  window.setTopmost(true);
  window.setExStyle(kLayered | kTransparent);
  window.setBorder(Border::Sizable);
  settle();
  EXPECT_EQ(counter.hides, 1);
  EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowTransparentForInput));
  EXPECT_FALSE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(WindowMirror, TopmostChangesOnTheShownNativeWindowWithoutHidingIt) {
  ui::Window& window = makeWindow();
  auto& w = widget(window);
  const WId id = w.winId();
  QWindow* handle = w.windowHandle();
  HideCounter counter(w);
  for (bool onTop : {true, false, true}) {
    window.setTopmost(onTop);
    settle();
    EXPECT_EQ(w.winId(), id) << onTop;
    EXPECT_EQ(w.windowHandle(), handle) << onTop;
    EXPECT_EQ(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_EQ(handle->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(handle->isVisible());
  }
  EXPECT_EQ(counter.hides, 0);
}

TEST_F(WindowMirror, GeometryGoesBothWaysWithoutEchoes) {
  ui::Window& window = makeWindow(10, 10, 50, 40);
  std::vector<QPoint> moves;
  int resizes = 0;
  window.onMoved = [&] { moves.emplace_back(window.left(), window.top()); };
  window.onResized = [&] { ++resizes; };
  window.move(300, 200);
  window.setWidth(15);
  window.setHeight(15);
  settle();
  auto& w = widget(window);
  EXPECT_EQ(w.pos(), QPoint(300, 200));
  EXPECT_EQ(w.size(), QSize(15, 15));  // the host window is this small
  EXPECT_EQ(resizes, 2);
  w.move(220, 140);  // as the window manager would
  settle();
  EXPECT_EQ(moves, (std::vector<QPoint>{{300, 200}, {220, 140}}));
}

TEST_F(WindowMirror, UserResizeRunsTheHandlerOnceAndItsClampReachesTheScreen) {
  ui::Window& window = makeWindow(10, 10, 300, 200);
  std::vector<int> widthsSeen;
  window.onResized = [&] {
    widthsSeen.push_back(window.width());
    if (window.width() > 400) window.setWidth(400);
  };
  auto& w = widget(window);
  w.resize(500, 250);  // as the window manager would
  settle();
  // The second run is the model's own rule for a handler that resizes.
  EXPECT_EQ(widthsSeen, (std::vector<int>{500, 400}));
  EXPECT_EQ(window.width(), 400);
  EXPECT_EQ(window.height(), 250);
  EXPECT_EQ(w.size(), QSize(400, 250));
}

TEST_F(WindowMirror, CloseRequestIsTheBehavioursDecision) {
  ui::Window& window = makeWindow();
  int requests = 0;
  window.onCloseRequest = [&] { ++requests; };
  EXPECT_FALSE(widget(window).close());
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(widget(window).isVisible());
}

TEST_F(WindowMirror, HandlerMayDestroyItsOwnWindow) {
  ui::Window& window = makeWindow();
  auto& box = window.add<ui::PictureBox>("图片框1");
  box.setGeometry(0, 0, 200, 150);
  QPointer<QWidget> shown = &widget(window);
  QPointer<QWidget> boxShown = shown.data()->findChild<QWidget*>();
  box.onLeftDown = [&](int, int, int) { destroy(window); };
  QTest::mousePress(boxShown, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(shown.isNull() || !shown->isVisible());
  settle();
  EXPECT_TRUE(shown.isNull());

  ui::Window& other = makeWindow();
  QPointer<QWidget> otherShown = &widget(other);
  other.onKeyDown = [&](int, int) { destroy(other); };
  QTest::keyClick(otherShown, Qt::Key_C);
  settle();
  EXPECT_TRUE(otherShown.isNull());
}

TEST_F(WindowMirror, SystemMoveFallsBackToFollowingThePointer) {
  // Offscreen windows, like unmanaged X11 windows, have no system move.
  ui::Window& window = makeWindow(100, 100, 80, 60);
  auto& box = window.add<ui::PictureBox>("图片框1");
  box.setGeometry(0, 0, 80, 60);
  int leftDowns = 0;
  box.onLeftDown = [&](int, int, int) {
    ++leftDowns;
    backend.startSystemMove(window);
  };
  std::vector<QPoint> seen;
  window.onMoved = [&] {
    seen.emplace_back(window.left(), window.top());
    if (window.top() < 90) window.setTop(90);  // a handler that keeps it on screen
  };
  // The pointer's screen position, as the window system reports it while the
  // window moves under it.
  QWidget* target = widget(window).controlWidget(box);
  auto pointer = [target](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QMouseEvent event(type, target->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, {});
    QCoreApplication::sendEvent(target, &event);
  };
  pointer(QEvent::MouseButtonPress, {110, 110}, Qt::LeftButton);
  pointer(QEvent::MouseMove, {140, 130}, Qt::LeftButton);
  pointer(QEvent::MouseMove, {140, 95}, Qt::LeftButton);
  pointer(QEvent::MouseButtonRelease, {140, 95}, Qt::NoButton);
  pointer(QEvent::MouseMove, {170, 150}, Qt::NoButton);  // button up: no longer follows
  EXPECT_EQ(leftDowns, 1);
  EXPECT_EQ(seen, (std::vector<QPoint>{{130, 120}, {130, 85}, {130, 90}}));
  EXPECT_EQ(widget(window).pos(), QPoint(130, 90));
}

}  // namespace
}  // namespace quillet::qttest
