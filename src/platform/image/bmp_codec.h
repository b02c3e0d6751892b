#pragma once

#include "platform/image/picture.h"

namespace quillet::image::detail {

Result<Size> readBmpSize(ByteView bytes);
Result<Bitmap> decodeBmp(ByteView bytes);
Bytes encodeBmpRgb(const Bitmap& bitmap);

}  // namespace quillet::image::detail
