#pragma once

#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <memory>

#include "platform/image/picture.h"
#include "platform/qt/whole_picture.h"
#include "platform/ui/widgets.h"

namespace quillet::qtui {

// Shows a picture box: its picture stretched smoothly to the box or unscaled
// from its top-left corner, or in words why it cannot be shown. Decoding
// happens when the picture changes or the box outgrows the resolution decoded
// so far, never while painting. A decode larger than the box needs is
// shrunk as soon as the box is smaller again: a 24-megapixel photo costs its
// full size in memory only while it is shown that large.
class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent);

  // `problem` is what the header already told about the picture.
  void showPicture(ui::PictureBytes bytes, const QString& origin, const QString& problem);
  // `unscaled`: one picture pixel to one device pixel, else stretched to the box.
  void setLook(QColor background, bool border, bool unscaled);

  // How many times a picture was decoded; lets the tests hold the caching rule.
  int decodeCount() const { return decodeCount_; }
  // The size of the decode held for the stretched picture; empty when none.
  QSize decodedSize() const { return source_.size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRect contentRect() const;
  QSize contentPixels() const;
  void prepare();
  void prepareWhole();
  void decodeFor(QSize box);
  void present(QSize box);
  void makeDisplay();
  void keepOnlyWhatIsNeeded(QSize box);
  void dropDecoded();
  void paintTrouble(class QPainter& painter, const QRect& area, const QString& reason) const;

  ui::PictureBytes bytes_;
  QString origin_;
  QString problem_;
  QColor background_ = Qt::black;
  bool border_ = false;
  bool unscaled_ = false;

  // The decode of `decodedFrom_`: `source_` wraps `bitmap_`'s pixels, so the
  // two are replaced together. Holding the bytes keeps their address from
  // being reused by another picture while the cache is keyed on it.
  ui::PictureBytes decodedFrom_;
  image::Bitmap bitmap_;
  QImage source_;
  QSize fullSize_;
  QString decodeError_;
  // `source_` reduced to the box's device pixels, painted one to one; null
  // while the box is larger than the decode, which is then stretched.
  QImage display_;
  QSize wanted_;
  // The decode shown unscaled, shared with other widgets showing the same bytes.
  std::shared_ptr<const WholePicture> whole_;
  int decodeCount_ = 0;
};

}  // namespace quillet::qtui
