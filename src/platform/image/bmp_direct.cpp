#include "platform/image/bmp_direct.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <new>
#include <system_error>
#include <vector>

#include "platform/image/big_buffers.h"
#include "platform/image/bmp_header.h"
#include "platform/image/bytes.h"
#include "platform/image/jpeg_header.h"
#include "platform/image/pixel_rows.h"
#include "platform/image/reasons.h"
#include "platform/image/turbo_handle.h"

namespace quillet::image {

namespace {

constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi, as encodeBmp24 writes

Result<Bytes> throughBitmap(ByteView jpeg) { return convertJpegToBmp(jpeg); }

}  // namespace

namespace detail {

void putBmpHeaders(std::uint8_t* h, std::uint32_t dataOffset, int width, int height, int bits,
                   std::uint32_t imageSize, std::uint32_t pixelsPerMetre) {
  h[0] = 'B';
  h[1] = 'M';
  putLe32(h + 2, dataOffset + imageSize);
  putLe32(h + 10, dataOffset);
  putLe32(h + 14, 40);
  putLe32(h + 18, static_cast<std::uint32_t>(width));
  putLe32(h + 22, static_cast<std::uint32_t>(height));
  putLe16(h + 26, 1);
  putLe16(h + 28, static_cast<std::uint32_t>(bits));
  putLe32(h + 34, imageSize);
  putLe32(h + 38, pixelsPerMetre);
  putLe32(h + 42, pixelsPerMetre);
}

Bytes bmp24Header(int width, int height) {
  const std::uint64_t imageSize = static_cast<std::uint64_t>(bmpRowStride(width)) * height;
  if (kBmpHeadersSize + imageSize > std::numeric_limits<std::uint32_t>::max()) return {};
  Bytes head(kBmpHeadersSize, 0);
  putBmpHeaders(head.data(), kBmpHeadersSize, width, height, 24,
                static_cast<std::uint32_t>(imageSize), kPixelsPerMetre);
  return head;
}

Bytes bmp24Shell(int width, int height) {
  const Bytes head = bmp24Header(width, height);
  Bytes file;
  if (head.empty() ||
      !sizeLarge(file, kBmpHeadersSize + bmpRowStride(width) * static_cast<std::size_t>(height))) {
    return {};
  }
  std::copy(head.begin(), head.end(), file.begin());
  return file;
}

std::optional<PlainBmp24> plainBmp24(ByteView p) {
  const auto header = readBmpHeader(p);
  if (!header) return std::nullopt;
  const BmpHeader& h = header.value;
  // A core (OS/2 1.x) header keeps its sizes elsewhere; such files are decoded.
  if (h.bits != 24 || h.coding != BmpCoding::Rgb || h.topDown || le32(&p[14]) == 12 ||
      h.dataOffset != le32(&p[10])) {
    return std::nullopt;
  }
  const std::size_t stride = (static_cast<std::size_t>(h.width) * 3 + 3) / 4 * 4;
  if (!has(p, h.dataOffset, static_cast<std::uint64_t>(stride) * h.height)) return std::nullopt;
  return PlainBmp24{p.data() + h.dataOffset, stride, h.width, h.height};
}

}  // namespace detail

Result<Bytes> jpegToBmp(ByteView jpeg) {
  using R = Result<Bytes>;
  if (detectFormat(jpeg) != Format::Jpeg) return throughBitmap(jpeg);
  auto frame = detail::readJpegFrame(jpeg);
  if (!frame) return R::fail(std::move(frame.error));
  if (auto why = detail::checkJpegFrame(frame.value); !why.empty()) return R::fail(std::move(why));

  detail::TurboHandle& library = detail::decompressor();
  tjhandle handle = library.fresh();
  if (handle == nullptr) return R::fail(std::string(detail::kOutOfMemory));
  const auto size = static_cast<unsigned long>(jpeg.size());
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle, jpeg.data(), size, &width, &height, &subsampling, &colorspace) !=
          0 ||
      colorspace == TJCS_CMYK || colorspace == TJCS_YCCK ||
      !detail::checkSize(width, height).empty()) {
    // The engine's decoder words the reason, or converts the inks.
    library.failure();
    return throughBitmap(jpeg);
  }
  Bytes bmp = detail::bmp24Shell(width, height);
  if (bmp.empty()) return R::fail(std::string(detail::kOutOfMemory));
  const std::size_t stride = detail::bmpRowStride(width);
  // As the engine's decoder does: a damaged stream still leaves a picture,
  // only a fatal error leaves none.
  const int rc = tjDecompress2(handle, jpeg.data(), size, bmp.data() + detail::kBmpHeadersSize,
                               width, static_cast<int>(stride), height, TJPF_BGR,
                               TJFLAG_BOTTOMUP | TJFLAG_LIMITSCANS);
  if (rc != 0 && tjGetErrorCode(handle) == TJERR_FATAL) {
    library.failure();
    return throughBitmap(jpeg);
  }
  return {std::move(bmp), {}};
}

Result<Bytes> bmpToJpeg(ByteView bmp, int quality) {
  using R = Result<Bytes>;
  const auto rows = detail::plainBmp24(bmp);
  if (!rows) return convertBmpToJpeg(bmp, quality);
  detail::TurboHandle& library = detail::compressor();
  tjhandle handle = library.get();
  if (handle == nullptr) return R::fail(std::string(detail::kOutOfMemory));
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  // Bottom-up: the library starts from the buffer's end, the picture's top.
  const int rc = tjCompress2(handle, rows->bottomRow, rows->width, static_cast<int>(rows->stride),
                             rows->height, TJPF_BGR, &jpeg, &size, TJSAMP_420,
                             std::clamp(quality, 1, 100), TJFLAG_BOTTOMUP);
  R result;
  if (rc != 0) {
    result = R::fail("JPEG 编码失败：" + library.failure());
  } else {
    try {
      result.value.assign(jpeg, jpeg + size);
    } catch (const std::bad_alloc&) {
      result = R::fail(std::string(detail::kOutOfMemory));
    }
  }
  tjFree(jpeg);
  return result;
}

bool writeBmpFile(const std::filesystem::path& path, const Bitmap& bitmap) {
  if (bitmap.empty() ||
      bitmap.rgb.size() / bitmap.stride() < static_cast<std::size_t>(bitmap.height)) {
    return false;
  }
  const std::size_t stride = detail::bmpRowStride(bitmap.width);
  // Rows are encoded bottom-up into a slice of about a megabyte at a time.
  const std::size_t rowsPerSlice = std::max<std::size_t>(1, (std::size_t{1} << 20) / stride);
  std::vector<std::uint8_t> slice;
  const Bytes head = detail::bmp24Header(bitmap.width, bitmap.height);
  if (head.empty()) return false;
  try {
    slice.resize(rowsPerSlice * stride);
  } catch (const std::bad_alloc&) {
    return false;
  }

  std::filesystem::path temporary = path;
  temporary += ".part";
  bool ok = false;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(head.data()),
               static_cast<std::streamsize>(head.size()));
    for (int y = bitmap.height - 1; file && y >= 0;) {
      std::size_t filled = 0;
      for (; filled < rowsPerSlice && y >= 0; ++filled, --y) {
        detail::copyRowInto<true>(bitmap.row(y), slice.data() + filled * stride, bitmap.width);
      }
      file.write(reinterpret_cast<const char*>(slice.data()),
                 static_cast<std::streamsize>(filled * stride));
    }
    if (file) {
      file.close();
      ok = file.good();
    }
  }
  std::error_code ec;
  if (ok) std::filesystem::rename(temporary, path, ec);
  if (!ok || ec) {
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace quillet::image
