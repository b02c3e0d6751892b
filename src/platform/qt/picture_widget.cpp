#include "platform/qt/picture_widget.h"

#include "platform/image/area_reduce.h"
#include "platform/image/big_buffers.h"
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
  wanted_ = {};
  source_ = QImage();
  bitmap_ = image::Bitmap();
  decodedFrom_.reset();
  decodeError_.clear();
  fullSize_ = {};
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
      present(box);
      return;
    }
  }
  decodeFor(box);
  if (decodeError_.isEmpty()) present(box);
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

// The box's size is noted here and reduced to when painted: a resize sets
// the width and the height one after the other, and only the last size is
// ever seen.
void PictureWidget::present(QSize box) {
  // A box about as large as a full-size photo gets no reduced copy: it would
  // nearly double the memory for a difference of a few pixels. Painting
  // stretches the decode smoothly then, as it does for an enlarged one.
  constexpr std::int64_t kLargestCopy = 8'000'000;
  const bool reduces = source_.width() >= box.width() && source_.height() >= box.height() &&
                       static_cast<std::int64_t>(box.width()) * box.height() <= kLargestCopy;
  wanted_ = reduces ? box : QSize();
  if (!reduces) display_ = QImage();
}

// One area-averaging step from the decode to the box's device pixels, made
// once per size: painting then copies pixels and never scales.
void PictureWidget::makeDisplay() {
  if (wanted_.isEmpty() || display_.size() == wanted_) return;
  if (source_.size() == wanted_) {
    // Nothing to reduce: a copy would only double a picture shown at its size.
    display_ = source_;
    display_.setDevicePixelRatio(devicePixelRatioF());
    return;
  }
  display_ = QImage(wanted_, QImage::Format_RGB32);
  if (display_.isNull()) return;  // short of memory: stretched as it is
  image::areaReduceInto(bitmap_, wanted_.width(), wanted_.height(),
                        reinterpret_cast<std::uint32_t*>(display_.bits()),
                        static_cast<std::size_t>(display_.bytesPerLine()));
  display_.setDevicePixelRatio(devicePixelRatioF());
  keepOnlyWhatIsNeeded(wanted_);
}

// A box smaller than the decode needs only the scale a fresh decode would
// pick for it; what is more goes, so that a zoom out of the photo gives back
// the memory its zoom in took. The smaller decode comes from the larger one
// without decoding again, and keeps later resizes free of the decoder.
void PictureWidget::keepOnlyWhatIsNeeded(QSize box) {
  const image::Size full{fullSize_.width(), fullSize_.height()};
  const image::Scale scale = image::displayScale(full, box.width(), box.height());
  const auto side = [&](int length) {
    return static_cast<int>((static_cast<std::int64_t>(length) * scale.num + scale.denom - 1) /
                            scale.denom);
  };
  const int width = side(full.width), height = side(full.height);
  if (width >= bitmap_.width || height >= bitmap_.height) return;
  if (width < box.width() || height < box.height()) return;
  image::Bitmap smaller;
  try {
    smaller = image::areaReduced(bitmap_, width, height);
  } catch (const std::bad_alloc&) {
    return;  // the larger decode serves as well
  }
  const std::size_t freed = bitmap_.rgb.size();
  bitmap_ = std::move(smaller);
  source_ = QImage(bitmap_.rgb.data(), bitmap_.width, bitmap_.height,
                   static_cast<qsizetype>(bitmap_.stride()), QImage::Format_RGB888);
  if (freed >= (32u << 20)) image::releaseFreedMemory();
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
  if (bytes_ && !whole_) makeDisplay();
  if (bytes_ && !problem_.isEmpty()) {
    paintTrouble(painter, area, problem_);
  } else if (bytes_ && decodedFrom_ == bytes_ && !decodeError_.isEmpty()) {
    paintTrouble(painter, area, decodeError_);
  } else if (bytes_ && whole_) {
    paintUnscaled(painter, devicePixelRatioF(), whole_->image, area.topLeft(),
                  event->region() & area, background_);
  } else if (bytes_ && !display_.isNull()) {
    // Device pixels one to one: the box's own size in them was reduced to.
    painter.setClipRect(area);
    painter.drawImage(area.topLeft(), display_);
  } else if (bytes_ && !source_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, source_);
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
