#include "platform/image/picture.h"

#include <turbojpeg.h>

#include <fstream>

#include "platform/image/bmp_codec.h"
#include "platform/image/bmp_display.h"
#include "platform/image/jpeg_codec.h"
#include "platform/image/jpeg_header.h"
#include "platform/image/reasons.h"

namespace quillet::image {

namespace {

template <class T>
Result<T> refuseUnknown(ByteView bytes) {
  return Result<T>::fail(std::string(bytes.empty() ? detail::kEmptyFile : detail::kNotAPicture));
}

bool covers(Size picture, Scale scale, int boxWidth, int boxHeight) {
  const auto scaled = [&](int side) {
    return (static_cast<std::int64_t>(side) * scale.num + scale.denom - 1) / scale.denom;
  };
  return scaled(picture.width) >= boxWidth && scaled(picture.height) >= boxHeight;
}

bool smaller(Scale a, Scale b) {
  return static_cast<std::int64_t>(a.num) * b.denom < static_cast<std::int64_t>(b.num) * a.denom;
}

}  // namespace

Format detectFormat(ByteView bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return Format::Jpeg;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return Format::Bmp;
  return Format::Unknown;
}

Result<Size> readSize(ByteView bytes) {
  switch (detectFormat(bytes)) {
    case Format::Jpeg:
      return detail::readJpegSize(bytes);
    case Format::Bmp:
      return detail::readBmpSize(bytes);
    default:
      return refuseUnknown<Size>(bytes);
  }
}

Result<Size> readSizeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Result<Size>::fail(std::string(detail::kCannotOpen));
  // Headers sit at the front, but a JPEG may carry large metadata before its
  // frame header: read more only while the answer is "truncated".
  Bytes head;
  std::size_t want = 64 * 1024;
  for (;;) {
    const std::size_t had = head.size();
    head.resize(want);
    file.read(reinterpret_cast<char*>(head.data() + had), static_cast<std::streamsize>(want - had));
    head.resize(had + static_cast<std::size_t>(file.gcount()));
    auto size = readSize(head);
    if (size || size.error != detail::kTruncated || !file) return size;
    want *= 4;
  }
}

Scale displayScale(Size picture, int boxWidth, int boxHeight) {
  Scale best;
  if (boxWidth <= 0 || boxHeight <= 0) return best;
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors != nullptr && i < count; ++i) {
    // Only the halving factors: the library has fast reduced transforms for
    // them, while 3/8 and the like cost nearly as much as a full decode.
    const Scale scale{factors[i].num, factors[i].denom};
    if (scale.num != 1 || (scale.denom != 2 && scale.denom != 4 && scale.denom != 8)) continue;
    if (smaller(scale, best) && covers(picture, scale, boxWidth, boxHeight)) best = scale;
  }
  return best;
}

Result<Bitmap> decode(ByteView bytes) {
  switch (detectFormat(bytes)) {
    case Format::Jpeg:
      return detail::decodeJpeg(bytes, Scale{});
    case Format::Bmp:
      return detail::decodeBmp(bytes);
    default:
      return refuseUnknown<Bitmap>(bytes);
  }
}

Result<Bitmap> decodeForDisplay(ByteView bytes, int boxWidth, int boxHeight) {
  if (detectFormat(bytes) == Format::Bmp) {
    // The program's own results (mirrors, turns, gray levels) are large plain
    // BMPs; reading them reduced spares a full-size copy before scaling.
    if (auto size = readSize(bytes)) {
      const Scale scale = displayScale(size.value, boxWidth, boxHeight);
      if (auto reduced = detail::reducedPlainBmp(bytes, scale.denom / scale.num)) {
        return {std::move(*reduced), {}};
      }
    }
    return decode(bytes);
  }
  if (detectFormat(bytes) != Format::Jpeg) return decode(bytes);
  const auto size = detail::readJpegSize(bytes);
  if (!size) return Result<Bitmap>::fail(size.error);
  return detail::decodeJpeg(bytes, displayScale(size.value, boxWidth, boxHeight));
}

Result<Bytes> encodeJpeg(const Bitmap& bitmap, int quality) {
  return detail::encodeJpegRgb(bitmap, quality);
}

Bytes encodeBmp24(const Bitmap& bitmap) { return detail::encodeBmpRgb(bitmap); }

namespace {

Result<Bytes> toBmp(const Bitmap& bitmap) {
  Bytes bmp = encodeBmp24(bitmap);
  if (bmp.empty()) return Result<Bytes>::fail(std::string(detail::kOutOfMemory));
  return {std::move(bmp), {}};
}

}  // namespace

Result<Bytes> convertJpegToBmp(ByteView jpeg) {
  auto bitmap = decode(jpeg);
  if (!bitmap) return Result<Bytes>::fail(std::move(bitmap.error));
  return toBmp(bitmap.value);
}

Result<Bytes> convertBmpToJpeg(ByteView bmp, int quality) {
  auto bitmap = decode(bmp);
  if (!bitmap) return Result<Bytes>::fail(std::move(bitmap.error));
  return encodeJpeg(bitmap.value, quality);
}

}  // namespace quillet::image
