#include "platform/qt/menu_pictures.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <array>

#include "platform/ui/menu_icons.h"

namespace quillet::qtui {

namespace {

constexpr int kSide = 16;

// What one icon looks like: a glyph on a rounded tile. Mode pairs differ
// clearly (bright when on, gray when off) so the state reads at a glance.
enum class Glyph {
  Folder,
  EyeOff,
  Crop,
  Left,
  Right,
  Play,
  Undo,
  HalfSquare,
  FullSquare,
  Mirror,
  Rotate,
  Pin,
  PinOff,
  Gray,
  Ratio,
  Pen,
  Cursor,
  Run,
  Stand,
  Note,
  Help,
  Power,
  PlayOn
};

struct Look {
  int number;
  Glyph glyph;
  QColor tile;
};

const std::array<Look, 23> kLooks = {{
    {ui::icon::kOpenPicture, Glyph::Folder, QColor(0xE9, 0xA8, 0x2B)},
    {ui::icon::kHidePicture, Glyph::EyeOff, QColor(0x6C, 0x75, 0x7D)},
    {ui::icon::kCaptureRegion, Glyph::Crop, QColor(0x2A, 0x9D, 0x8F)},
    {ui::icon::kPreviousPicture, Glyph::Left, QColor(0x45, 0x7B, 0x9D)},
    {ui::icon::kNextPicture, Glyph::Right, QColor(0x45, 0x7B, 0x9D)},
    {ui::icon::kSlideshowIdle, Glyph::Play, QColor(0x9A, 0x9A, 0x9A)},
    {ui::icon::kSlideshowRunning, Glyph::PlayOn, QColor(0x2B, 0x9A, 0x48)},
    {ui::icon::kRestorePicture, Glyph::Undo, QColor(0x45, 0x7B, 0x9D)},
    {ui::icon::kTranslucent, Glyph::HalfSquare, QColor(0x8E, 0x44, 0xAD)},
    {ui::icon::kOpaque, Glyph::FullSquare, QColor(0x9A, 0x9A, 0x9A)},
    {ui::icon::kMirror, Glyph::Mirror, QColor(0x26, 0x46, 0x53)},
    {ui::icon::kRotate, Glyph::Rotate, QColor(0x26, 0x46, 0x53)},
    {ui::icon::kTopmost, Glyph::Pin, QColor(0xD6, 0x28, 0x28)},
    {ui::icon::kNotTopmost, Glyph::PinOff, QColor(0x9A, 0x9A, 0x9A)},
    {ui::icon::kGrayLevels, Glyph::Gray, QColor(0x55, 0x55, 0x55)},
    {ui::icon::kRatioMode, Glyph::Ratio, QColor(0x2A, 0x9D, 0x8F)},
    {ui::icon::kDoodle, Glyph::Pen, QColor(0xE7, 0x6F, 0x51)},
    {ui::icon::kClickThrough, Glyph::Cursor, QColor(0x45, 0x7B, 0x9D)},
    {ui::icon::kAvoidanceOn, Glyph::Run, QColor(0xF4, 0xA2, 0x61)},
    {ui::icon::kAvoidanceOff, Glyph::Stand, QColor(0x9A, 0x9A, 0x9A)},
    {ui::icon::kTextNote, Glyph::Note, QColor(0xE9, 0xC4, 0x6A)},
    {ui::icon::kHelp, Glyph::Help, QColor(0x1D, 0x35, 0x57)},
    {ui::icon::kCloseProgram, Glyph::Power, QColor(0xC0, 0x39, 0x2B)},
}};

void drawGlyph(QPainter& p, Glyph glyph) {
  QPen pen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  switch (glyph) {
    case Glyph::Folder:
      p.drawRect(QRectF(3.5, 5.5, 9, 6.5));
      p.drawLine(QPointF(3.5, 5.5), QPointF(6.5, 3.5));
      break;
    case Glyph::EyeOff:
      p.drawEllipse(QRectF(3, 5, 10, 6));
      p.drawLine(QPointF(3, 13), QPointF(13, 3));
      break;
    case Glyph::Crop:
      p.drawLine(QPointF(5, 2.5), QPointF(5, 11));
      p.drawLine(QPointF(5, 11), QPointF(13.5, 11));
      p.drawLine(QPointF(2.5, 5), QPointF(11, 5));
      p.drawLine(QPointF(11, 5), QPointF(11, 13.5));
      break;
    case Glyph::Left:
      p.drawPolyline(QPolygonF({{10, 3.5}, {5, 8}, {10, 12.5}}));
      break;
    case Glyph::Right:
      p.drawPolyline(QPolygonF({{6, 3.5}, {11, 8}, {6, 12.5}}));
      break;
    case Glyph::Play:
    case Glyph::PlayOn:
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({{5.5, 3.5}, {12, 8}, {5.5, 12.5}}));
      break;
    case Glyph::Undo:
      p.drawArc(QRectF(3.5, 4, 9, 8), 90 * 16, -270 * 16);
      p.drawPolyline(QPolygonF({{6, 2.5}, {8, 4}, {6, 5.8}}));
      break;
    case Glyph::HalfSquare:
      p.drawRect(QRectF(3.5, 3.5, 9, 9));
      p.fillRect(QRectF(3.5, 3.5, 4.5, 9), QColor(255, 255, 255, 150));
      break;
    case Glyph::FullSquare:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 3.5, 9, 9));
      break;
    case Glyph::Mirror:
      p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
      p.drawPolygon(QPolygonF({{6, 4}, {2.5, 12}, {6, 12}}));
      p.drawPolygon(QPolygonF({{10, 4}, {13.5, 12}, {10, 12}}));
      break;
    case Glyph::Rotate:
      p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 290 * 16);
      p.drawPolyline(QPolygonF({{13, 2.5}, {12.4, 5.8}, {9.3, 5}}));
      break;
    case Glyph::Pin:
    case Glyph::PinOff:
      p.drawEllipse(QRectF(5, 2.5, 6, 6));
      p.drawLine(QPointF(8, 8.5), QPointF(8, 13.5));
      if (glyph == Glyph::PinOff) p.drawLine(QPointF(3, 13), QPointF(13, 3));
      break;
    case Glyph::Gray: {
      QLinearGradient g(3, 0, 13, 0);
      g.setColorAt(0, Qt::black);
      g.setColorAt(1, Qt::white);
      p.fillRect(QRectF(3, 4, 10, 8), g);
      p.drawRect(QRectF(3, 4, 10, 8));
      break;
    }
    case Glyph::Ratio:
      p.drawRect(QRectF(2.5, 5, 11, 6));
      p.drawPolyline(QPolygonF({{10.5, 2.5}, {13.5, 2.5}, {13.5, 5}}));
      break;
    case Glyph::Pen:
      p.drawLine(QPointF(4, 12), QPointF(12, 4));
      p.drawLine(QPointF(3.5, 12.5), QPointF(5.5, 12.5));
      break;
    case Glyph::Cursor:
      p.setBrush(Qt::white);
      p.drawPolygon(
          QPolygonF({{5, 3}, {11.5, 9}, {8.5, 9.3}, {10, 12.8}, {8.8, 13.3}, {7.3, 9.9}, {5, 12}}));
      break;
    case Glyph::Run:
      p.drawLine(QPointF(3, 8), QPointF(11, 8));
      p.drawPolyline(QPolygonF({{8.5, 5}, {12, 8}, {8.5, 11}}));
      p.drawLine(QPointF(3, 5), QPointF(5, 5));
      p.drawLine(QPointF(3, 11), QPointF(5, 11));
      break;
    case Glyph::Stand:
      p.drawLine(QPointF(4, 8), QPointF(12, 8));
      break;
    case Glyph::Note:
      p.drawRect(QRectF(4, 2.5, 8, 11));
      p.drawLine(QPointF(6, 6), QPointF(10, 6));
      p.drawLine(QPointF(6, 9), QPointF(10, 9));
      break;
    case Glyph::Help: {
      QFont f = p.font();
      f.setPixelSize(12);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRectF(0, 0, kSide, kSide), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case Glyph::Power:
      p.drawArc(QRectF(3.5, 4, 9, 9), 120 * 16, 300 * 16);
      p.drawLine(QPointF(8, 2.5), QPointF(8, 7.5));
      break;
  }
}

}  // namespace

QIcon menuIcon(int number) {
  for (const Look& look : kLooks) {
    if (look.number != number) continue;
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(look.tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, kSide - 1, kSide - 1), 3, 3);
    drawGlyph(p, look.glyph);
    return QIcon(pixmap);
  }
  return {};
}

QPixmap menuBanner() {
  static const QPixmap banner(QStringLiteral(":/quillet/banner.jpg"));
  return banner;
}

}  // namespace quillet::qtui
