#pragma once

#include <optional>

#include "platform/image/picture.h"

namespace quillet::image::detail {

// A plain 24-bit BMP reduced by `factor` in each direction, straight from
// the file's rows; nothing for other BMPs or a factor below 2.
std::optional<Bitmap> reducedPlainBmp(ByteView bmp, int factor);

}  // namespace quillet::image::detail
