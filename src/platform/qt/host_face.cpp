#include "platform/qt/host_face.h"

#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>

namespace quillet::qtui {

void paintHostDot(QPainter& painter) {
  constexpr int kSide = 15;
  painter.save();
  QLinearGradient ground(0, 0, kSide, kSide);
  ground.setColorAt(0.0, QColor(0xFF, 0xE0, 0x30));
  ground.setColorAt(1.0, QColor(0xFF, 0x8C, 0x10));
  painter.fillRect(0, 0, kSide, kSide, ground);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x90, 0x10, 0x10), 1.0));
  painter.setBrush(QColor(0xE0, 0x10, 0x10));
  painter.drawEllipse(QRectF(3.5, 3.5, 8.0, 8.0));
  painter.restore();
}

}  // namespace quillet::qtui
