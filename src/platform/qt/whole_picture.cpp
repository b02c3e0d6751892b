#include "platform/qt/whole_picture.h"

#include <QtGui/QPainter>

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/image/picture.h"

namespace quillet::qtui {

namespace {

std::vector<std::weak_ptr<const WholePicture>>& sharedDecodes() {
  static std::vector<std::weak_ptr<const WholePicture>> decodes;
  return decodes;
}

int decodesRun = 0;

// Said when a picture within the size limit still exceeds the memory at hand.
QString outOfMemory() { return QString::fromUtf8("内存不足，无法打开图片"); }

std::shared_ptr<const WholePicture> findShared(const ui::PictureBytes& bytes) {
  auto& shared = sharedDecodes();
  std::erase_if(shared, [](const auto& entry) { return entry.expired(); });
  for (const auto& entry : shared) {
    auto picture = entry.lock();
    if (picture && picture->bytes == bytes) return picture;
  }
  return nullptr;
}

}  // namespace

WholeDecode decodeWhole(const ui::PictureBytes& bytes) {
  if (!bytes) return {nullptr, QStringLiteral("no picture")};
  if (auto picture = findShared(bytes)) return {std::move(picture), {}};
  ++decodesRun;
  QImage image;
  try {
    auto decoded = image::decode(image::ByteView(*bytes));
    if (!decoded) return {nullptr, QString::fromStdString(decoded.error)};
    if (decoded.value.empty()) return {nullptr, QStringLiteral("empty picture")};
    const image::Bitmap& bitmap = decoded.value;
    const QImage rgb(bitmap.rgb.data(), bitmap.width, bitmap.height,
                     static_cast<qsizetype>(bitmap.stride()), QImage::Format_RGB888);
    // The backing store's own format: copying the picture to the screen is then
    // a plain copy of rows, at any device pixel ratio.
    image = rgb.convertToFormat(QImage::Format_RGB32);
  } catch (const std::bad_alloc&) {
    return {nullptr, outOfMemory()};
  }
  if (image.isNull()) return {nullptr, outOfMemory()};
  auto picture = std::make_shared<const WholePicture>(WholePicture{bytes, std::move(image)});
  sharedDecodes().push_back(picture);
  return {std::move(picture), {}};
}

int wholeDecodeCount() { return decodesRun; }

void paintUnscaled(QPainter& painter, qreal devicePixelRatio, const QImage& picture, QPoint origin,
                   const QRegion& exposed, const QColor& ground) {
  const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const QRectF covered(QPointF(origin), QSizeF(picture.width() / ratio, picture.height() / ratio));
  // Whole pixels only: a half-covered last column is painted by the picture
  // over the ground.
  const QRect filled(origin,
                     QSize(static_cast<int>(covered.width()), static_cast<int>(covered.height())));
  for (const QRect& bare : exposed - QRegion(filled)) painter.fillRect(bare, ground);
  for (const QRect& area : exposed) {
    const QRectF part = covered & QRectF(area);
    if (part.isEmpty()) continue;
    const QRectF source((part.topLeft() - covered.topLeft()) * ratio, part.size() * ratio);
    painter.drawImage(part, picture, source);
  }
}

}  // namespace quillet::qtui
