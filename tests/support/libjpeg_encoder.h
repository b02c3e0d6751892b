#pragma once

#include "platform/image/picture.h"

namespace quillet::testing {

// The picture as a baseline JPEG written by libjpeg itself, with sampling
// factors TurboJPEG never writes (nor names) and, when asked, restart markers
// every `restartRows` rows of blocks.
image::Bytes libjpegEncoded(const image::Bitmap& picture, int lumaH, int lumaV, int quality,
                            int restartRows);

}  // namespace quillet::testing
