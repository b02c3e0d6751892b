#pragma once

#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtGui/QRegion>

#include <memory>

#include "platform/ui/widgets.h"

class QPainter;

namespace quillet::qtui {

// A picture decoded at its full size, to be shown one picture pixel to one
// device pixel. It holds its bytes, so no other picture can take their address
// while it lives.
struct WholePicture {
  ui::PictureBytes bytes;
  QImage image;
};

struct WholeDecode {
  std::shared_ptr<const WholePicture> picture;
  // Why there is no picture.
  QString error;
};

// The full decode of `bytes`. Widgets asking for the same bytes while one of
// them still holds the decode share it: the screen photograph behind the
// capture board is also the picture inside its outline, and decoding it twice
// would be felt between the key press and the board.
WholeDecode decodeWhole(const ui::PictureBytes& bytes);

// How many times decodeWhole ran the decoder; lets the tests hold the sharing rule.
int wholeDecodeCount();

// Paints the parts of `exposed` (in the painter's logical pixels) that
// `picture` covers, one picture pixel to one device pixel with the picture's
// top-left corner at `origin`; the rest of `exposed` gets `ground`. Only the
// exposed parts are touched, so a small repaint over a screen-sized picture
// stays cheap.
void paintUnscaled(QPainter& painter, qreal devicePixelRatio, const QImage& picture, QPoint origin,
                   const QRegion& exposed, const QColor& ground);

}  // namespace quillet::qtui
