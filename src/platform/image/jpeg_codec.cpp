#include "platform/image/jpeg_codec.h"

#include <turbojpeg.h>

#include <algorithm>
#include <new>
#include <string_view>

#include "platform/image/jpeg_header.h"
#include "platform/image/jpeg_scanlines.h"
#include "platform/image/reasons.h"
#include "platform/image/turbo_handle.h"

namespace quillet::image::detail {

namespace {

// Reads the library's reason, then renews the handle the failure left behind.
std::string libraryFailure(TurboHandle& handle, const JpegFrame& frame) {
  return jpegFailure(handle.failure(), frame);
}

// A warning (truncated or damaged entropy data) still leaves a full picture
// behind, partly grey; only a fatal error means there is nothing to show.
bool failed(int rc, tjhandle handle) { return rc != 0 && tjGetErrorCode(handle) == TJERR_FATAL; }

std::int64_t scaled(int dimension, Scale scale) {
  return (static_cast<std::int64_t>(dimension) * scale.num + scale.denom - 1) / scale.denom;
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

std::string jpegFailure(std::string_view message, const JpegFrame& frame) {
  if (contains(message, "Insufficient memory")) return std::string(kOutOfMemory);
  if (frame.arithmetic() &&
      (contains(message, "not supported") || contains(message, "omitted at compile time"))) {
    return unsupportedJpeg("算术编码");
  }
  return corruptJpeg(message);
}

Result<Bitmap> decodeJpeg(ByteView bytes, Scale scale) {
  using R = Result<Bitmap>;
  auto frame = readJpegFrame(bytes);
  if (!frame) return R::fail(std::move(frame.error));
  if (auto why = checkJpegFrame(frame.value); !why.empty()) return R::fail(std::move(why));

  TurboHandle& owner = decompressor();
  tjhandle handle = owner.fresh();
  if (handle == nullptr) {
    owner.renew();
    return R::fail(std::string(kOutOfMemory));
  }
  const auto* data = bytes.data();
  const auto size = static_cast<unsigned long>(bytes.size());
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  const int rc =
      tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace);
  if (failed(rc, handle)) {
    const std::string why = owner.failure();
    // The header call gives up on sampling factors outside its own short
    // list (4x2 and the like); libjpeg itself decodes all that the format
    // allows, as djpeg shows.
    if (contains(why, "Could not determine")) return decodeJpegScanlines(bytes, scale);
    return R::fail(jpegFailure(why, frame.value));
  }
  // The library's own view of the size decides the allocation below.
  if (auto why = checkSize(width, height); !why.empty()) return R::fail(std::move(why));

  R result;
  Bitmap& out = result.value;
  out.width = static_cast<int>(scaled(width, scale));
  out.height = static_cast<int>(scaled(height, scale));
  const auto pixels = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
  const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
  try {
    out.rgb.resize(pixels * 3);
    std::vector<std::uint8_t> inks(cmyk ? pixels * 4 : 0);
    std::uint8_t* target = cmyk ? inks.data() : out.rgb.data();
    const int format = cmyk ? TJPF_CMYK : TJPF_RGB;
    if (failed(tjDecompress2(handle, data, size, target, out.width, 0, out.height, format,
                             TJFLAG_LIMITSCANS),
               handle)) {
      return R::fail(libraryFailure(owner, frame.value));
    }
    if (cmyk) inksToPixels<false>(inks.data(), out.rgb.data(), pixels);
  } catch (const std::bad_alloc&) {
    return R::fail(std::string(kOutOfMemory));
  }
  return result;
}

Result<Bytes> encodeJpegRgb(const Bitmap& bitmap, int quality) {
  using R = Result<Bytes>;
  if (bitmap.empty() ||
      bitmap.rgb.size() / bitmap.stride() < static_cast<std::size_t>(bitmap.height)) {
    return R::fail(std::string(kNoBitmap));
  }
  TurboHandle& owner = compressor();
  tjhandle handle = owner.get();
  if (handle == nullptr) {
    owner.renew();
    return R::fail(std::string(kOutOfMemory));
  }
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle, bitmap.rgb.data(), bitmap.width, 0, bitmap.height, TJPF_RGB,
                             &jpeg, &size, TJSAMP_420, std::clamp(quality, 1, 100), 0);
  R result;
  if (rc != 0) {
    result = R::fail("JPEG 编码失败：" + std::string(tjGetErrorStr2(handle)));
    owner.renew();
  } else {
    try {
      result.value.assign(jpeg, jpeg + size);
    } catch (const std::bad_alloc&) {
      result = R::fail(std::string(kOutOfMemory));
    }
  }
  tjFree(jpeg);
  return result;
}

TurboHandle& decompressor() {
  thread_local TurboHandle handle(tjInitDecompress);
  return handle;
}

TurboHandle& compressor() {
  thread_local TurboHandle handle(tjInitCompress);
  return handle;
}

}  // namespace quillet::image::detail
