#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/image/jpeg_header.h"
#include "platform/image/picture.h"

namespace quillet::image::detail {

// `scale` must be one of the library's factors (displayScale picks one).
Result<Bitmap> decodeJpeg(ByteView bytes, Scale scale);
Result<Bytes> encodeJpegRgb(const Bitmap& bitmap, int quality);

// The user's words for the library's `message` about the picture of `frame`.
std::string jpegFailure(std::string_view message, const JpegFrame& frame);

// CMYK comes out of the library inverted, as Adobe writes it: 255 is no ink.
// `Swap` gives blue first.
template <bool Swap>
void inksToPixels(const std::uint8_t* cmyk, std::uint8_t* out, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, cmyk += 4, out += 3) {
    const unsigned k = cmyk[3];
    out[Swap ? 2 : 0] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
    out[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
    out[Swap ? 0 : 2] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
  }
}

}  // namespace quillet::image::detail
