#pragma once

#include "platform/image/picture.h"

namespace quillet::image::detail {

// `scale` must be one of the library's factors (displayScale picks one).
Result<Bitmap> decodeJpeg(ByteView bytes, Scale scale);
Result<Bytes> encodeJpegRgb(const Bitmap& bitmap, int quality);

}  // namespace quillet::image::detail
