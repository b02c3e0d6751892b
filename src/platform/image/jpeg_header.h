#pragma once

#include <cstdint>

#include "platform/image/picture.h"

namespace quillet::image::detail {

// The frame header (SOFn) of a JPEG, found by walking the markers before it.
struct JpegFrame {
  std::uint8_t marker = 0;  // 0xC0..0xCF
  int precision = 0;
  int width = 0;
  int height = 0;

  bool arithmetic() const { return marker >= 0xC9; }
  bool lossless() const { return (marker & 3) == 3; }
  bool hierarchical() const { return (marker & 7) >= 5; }
};

Result<JpegFrame> readJpegFrame(ByteView bytes);

// Refuses frames the decoder cannot turn into 8-bit RGB and sizes over the
// limits. Arithmetic coding is not judged here: whether the library decodes
// it depends on how it was built.
std::string checkJpegFrame(const JpegFrame& frame);

Result<Size> readJpegSize(ByteView bytes);

}  // namespace quillet::image::detail
