#include "platform/image/jpeg_header.h"

#include "platform/image/bytes.h"
#include "platform/image/reasons.h"

namespace quillet::image::detail {

namespace {

bool isFrameMarker(std::uint8_t m) {
  // C4 (DHT), C8 (reserved) and CC (DAC) share the range but are not frames.
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

bool isStandalone(std::uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

}  // namespace

Result<JpegFrame> readJpegFrame(ByteView bytes) {
  using R = Result<JpegFrame>;
  const std::size_t n = bytes.size();
  if (n < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return R::fail(std::string(kNotAPicture));
  std::size_t pos = 2;
  for (;;) {
    // Stray bytes before a marker are skipped as the decoder skips them (it
    // only warns), so a file it would show is not refused here.
    while (pos < n && bytes[pos] != 0xFF) ++pos;
    while (pos < n && bytes[pos] == 0xFF) ++pos;
    if (pos >= n) return R::fail(std::string(kTruncated));
    const std::uint8_t marker = bytes[pos++];
    if (marker == 0x00 || isStandalone(marker)) continue;
    if (marker == 0xD8) return R::fail(corruptJpeg("重复的文件起始标记"));
    if (marker == 0xD9 || marker == 0xDA) return R::fail(corruptJpeg("没有图像帧"));
    if (!has(bytes, pos, 2)) return R::fail(std::string(kTruncated));
    const std::size_t length = be16(&bytes[pos]);
    if (length < 2) return R::fail(corruptJpeg("标记段长度错误"));
    if (isFrameMarker(marker)) {
      if (length < 8) return R::fail(corruptJpeg("帧头长度错误"));
      if (!has(bytes, pos, 8)) return R::fail(std::string(kTruncated));
      JpegFrame frame;
      frame.marker = marker;
      frame.precision = bytes[pos + 2];
      frame.height = be16(&bytes[pos + 3]);
      frame.width = be16(&bytes[pos + 5]);
      return {frame, {}};
    }
    pos += length;
  }
}

std::string checkJpegFrame(const JpegFrame& frame) {
  if (frame.hierarchical()) return unsupportedJpeg("分层编码");
  if (frame.lossless()) return unsupportedJpeg("无损编码");
  if (frame.precision != 8) return unsupportedJpeg(std::to_string(frame.precision) + " 位精度");
  // A zero height means the height comes later in a DNL marker, which the
  // decoder does not read.
  return checkSize(frame.width, frame.height);
}

Result<Size> readJpegSize(ByteView bytes) {
  auto frame = readJpegFrame(bytes);
  if (!frame) return Result<Size>::fail(std::move(frame.error));
  if (auto why = checkJpegFrame(frame.value); !why.empty()) {
    return Result<Size>::fail(std::move(why));
  }
  return {{frame.value.width, frame.value.height}, {}};
}

}  // namespace quillet::image::detail
