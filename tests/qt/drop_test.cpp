#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>

#include <string>
#include <vector>

#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

using Drop = QtFixture;

// Files dragged from a file manager arrive as local file URLs; the window's
// handler gets their paths, and a window without one takes no drops.
TEST_F(Drop, LocalFilesReachTheHandler_OnlyWhenTheWindowTakesThem) {
  ui::Window& window = makeWindow(60, 60, 200, 150);
  auto& box = window.add<ui::PictureBox>("图片框1");
  box.setGeometry(0, 0, 200, 150);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QStringLiteral("/图片/a b.jpg")),
                QUrl(QStringLiteral("https://example.invalid/x.jpg"))});
  auto enter = [&] {
    QDragEnterEvent event(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget(window), &event);
    return event.isAccepted();
  };
  auto drop = [&] {
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget(window), &event);
  };
  EXPECT_FALSE(enter()) << "no handler, no drop";

  std::vector<std::vector<std::string>> dropped;
  window.onFilesDropped = [&dropped](const std::vector<std::string>& paths) {
    dropped.push_back(paths);
  };
  EXPECT_TRUE(enter());
  drop();
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0], std::vector<std::string>{"/图片/a b.jpg"}) << "local files only";

  QMimeData text;
  text.setText(QStringLiteral("not a file"));
  QDragEnterEvent event(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget(window), &event);
  EXPECT_FALSE(event.isAccepted());
}

}  // namespace
}  // namespace quillet::qttest
