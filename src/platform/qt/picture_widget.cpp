#include "platform/qt/picture_widget.h"

#include "platform/qt/picture_prefetch.h"

#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextOption>

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace quillet::qtui {

namespace {

const QColor kTroubleGround(0xD4, 0xD4, 0xD4);
const QColor kTroubleInk(0x20, 0x20, 0x20);
const QColor kBorderInk(0x40, 0x40, 0x40);

}  // namespace

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void PictureWidget::showPicture(ui::PictureBytes bytes, const QString& origin,
                                const QString& problem) {
  bytes_ = std::move(bytes);
  origin_ = origin;
  problem_ = problem;
  prepare();
  update();
}

void PictureWidget::setLook(QColor background, bool border, bool unscaled) {
  if (background == background_ && border == border_ && unscaled == unscaled_) return;
  background_ = background;
  border_ = border;
  if (unscaled != unscaled_) dropDecoded();
  unscaled_ = unscaled;
  prepare();
  update();
}

void PictureWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  prepare();
}

QRect PictureWidget::contentRect() const {
  return border_ ? rect().adjusted(1, 1, -1, -1) : rect();
}

QSize PictureWidget::contentPixels() const {
  const QSize logical = contentRect().size();
  if (logical.isEmpty()) return {};
  const double ratio = devicePixelRatioF();
  return {static_cast<int>(std::ceil(logical.width() * ratio)),
          static_cast<int>(std::ceil(logical.height() * ratio))};
}

void PictureWidget::dropDecoded() {
  display_ = QImage();
  source_ = QImage();
  bitmap_ = image::Bitmap();
  decodedFrom_.reset();
  decodeError_.clear();
  fullSize_ = {};
  displayLevel_ = -1;
  whole_.reset();
}

void PictureWidget::prepare() {
  if (!bytes_ || !problem_.isEmpty()) {
    dropDecoded();
    return;
  }
  const QSize box = contentPixels();
  if (box.isEmpty()) return;  // decoded once the box has a size
  if (unscaled_) {
    prepareWhole();
    return;
  }
  if (decodedFrom_ == bytes_) {
    if (!decodeError_.isEmpty()) return;  // the same bytes fail the same way
    const bool covers = source_.width() >= box.width() && source_.height() >= box.height();
    if (covers || source_.size() == fullSize_) {
      reduceFor(box);
      return;
    }
  }
  decodeFor(box);
  if (decodeError_.isEmpty()) reduceFor(box);
}

// Unscaled, the box's size does not matter: the same bytes are never decoded again.
void PictureWidget::prepareWhole() {
  if (decodedFrom_ == bytes_ && (whole_ || !decodeError_.isEmpty())) return;
  dropDecoded();
  decodedFrom_ = bytes_;
  const int before = wholeDecodeCount();
  WholeDecode decoded = decodeWhole(bytes_);
  decodeCount_ += wholeDecodeCount() - before;
  whole_ = std::move(decoded.picture);
  if (!whole_) decodeError_ = decoded.error;
}

void PictureWidget::decodeFor(QSize box) {
  dropDecoded();
  decodedFrom_ = bytes_;
  const image::ByteView view(*bytes_);
  image::Result<image::Bitmap> decoded;
  try {
    PicturePrefetcher* prefetcher = PicturePrefetcher::current();
    std::optional<image::Bitmap> ready;
    if (prefetcher) ready = prefetcher->take(origin_.toStdString(), bytes_, box);
    if (ready) {
      decoded.value = std::move(*ready);
    } else {
      ++decodeCount_;
      decoded = image::decodeForDisplay(view, box.width(), box.height());
    }
  } catch (const std::bad_alloc&) {
    // A picture within the size limit can still exceed the memory at hand.
    decodeError_ = QString::fromUtf8("内存不足，无法打开图片");
    return;
  }
  if (!decoded) {
    decodeError_ = QString::fromStdString(decoded.error);
    return;
  }
  if (decoded.value.empty()) {
    decodeError_ = QStringLiteral("empty picture");
    return;
  }
  auto full = image::readSize(view);
  bitmap_ = std::move(decoded.value);
  fullSize_ =
      full ? QSize(full.value.width, full.value.height) : QSize(bitmap_.width, bitmap_.height);
  source_ = QImage(bitmap_.rgb.data(), bitmap_.width, bitmap_.height,
                   static_cast<qsizetype>(bitmap_.stride()), QImage::Format_RGB888);
}

void PictureWidget::reduceFor(QSize box) {
  int level = 0;
  while ((source_.width() >> (level + 1)) >= box.width() &&
         (source_.height() >> (level + 1)) >= box.height()) {
    ++level;
  }
  if (level == displayLevel_ && !display_.isNull()) return;
  displayLevel_ = level;
  display_ = level == 0 ? source_
                        : source_.scaled(source_.width() >> level, source_.height() >> level,
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // Short of memory for the reduced copy, paint from the decode itself.
  if (display_.isNull()) display_ = source_;
}

void PictureWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = contentRect();
  if (border_) {
    painter.setPen(kBorderInk);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  if (area.isEmpty()) return;
  if (bytes_ && !problem_.isEmpty()) {
    paintTrouble(painter, area, problem_);
  } else if (bytes_ && decodedFrom_ == bytes_ && !decodeError_.isEmpty()) {
    paintTrouble(painter, area, decodeError_);
  } else if (bytes_ && whole_) {
    paintUnscaled(painter, devicePixelRatioF(), whole_->image, area.topLeft(),
                  event->region() & area, background_);
  } else if (bytes_ && !display_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, display_);
  } else {
    painter.fillRect(area, background_);
  }
}

// Words instead of a modal box: the user is tracing and should not have to
// dismiss anything, and the box says which file it is about.
void PictureWidget::paintTrouble(QPainter& painter, const QRect& area,
                                 const QString& reason) const {
  painter.fillRect(area, kTroubleGround);
  painter.setPen(kTroubleInk);
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QString text = QString::fromUtf8("无法显示图片");
  if (!origin_.isEmpty()) text += QLatin1Char('\n') + origin_;
  text += QLatin1Char('\n') + reason;
  const int margin = std::min(6, std::min(area.width(), area.height()) / 8);
  painter.drawText(QRectF(area.adjusted(margin, margin, -margin, -margin)), text, option);
}

}  // namespace quillet::qtui
