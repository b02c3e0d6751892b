#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// The picture engine: JPEG through TurboJPEG, BMP by hand. Every entry point
// takes untrusted bytes: sizes are checked against kMaxPixels from the header
// before anything is allocated, and no read leaves the given span.
namespace quillet::image {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// Larger pictures are refused, never allocated (about 300 MB of RGB).
inline constexpr std::int64_t kMaxPixels = 100'000'000;
inline constexpr int kMaxSide = 65'535;

enum class Format { Unknown, Jpeg, Bmp };

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Top-down rows of 8-bit R, G, B triplets, rows packed (stride = 3 * width).
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  bool empty() const { return width <= 0 || height <= 0; }
  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  std::uint8_t* row(int y) { return rgb.data() + stride() * static_cast<std::size_t>(y); }
  const std::uint8_t* row(int y) const {
    return rgb.data() + stride() * static_cast<std::size_t>(y);
  }
  bool operator==(const Bitmap&) const = default;
};

// A value or the reason there is none. Reasons are short user-facing texts.
template <class T>
struct Result {
  T value{};
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
  explicit operator bool() const { return ok(); }
  static Result fail(std::string why) {
    Result r;
    r.error = std::move(why);
    return r;
  }
};

Format detectFormat(ByteView bytes);

// Pixel size from the header alone (JPEG frame header, BMP info header),
// checked against the limits; no pixel data is decoded.
Result<Size> readSize(ByteView bytes);

// readSize on a file, reading only as much of it as the header needs.
Result<Size> readSizeFile(const std::filesystem::path& path);

// Full decode of a JPEG or BMP.
Result<Bitmap> decode(ByteView bytes);

// Decode for display in a box of `boxWidth` x `boxHeight`: a JPEG uses the
// smallest TurboJPEG scale whose result still covers the box (1/8 .. 1/1); a
// plain 24-bit BMP is reduced by the same factor (block means), other BMPs
// decode at full size. The result is not resized to the box.
Result<Bitmap> decodeForDisplay(ByteView bytes, int boxWidth, int boxHeight);

// A JPEG scaling factor, num / denom; the decoded size is ceil(side * num / denom).
struct Scale {
  int num = 1;
  int denom = 1;
  bool operator==(const Scale&) const = default;
};

// The factor decodeForDisplay uses for a JPEG of `picture` size: the smallest
// of 1/8, 1/4 and 1/2 that still covers the box, else 1/1. A box with a side
// of 0 or less is no box: full size.
Scale displayScale(Size picture, int boxWidth, int boxHeight);

// Encoders. JPEG quality 1..100, 4:2:0 subsampling; BMP is 24-bit bottom-up.
// A quality outside 1..100 is clamped. encodeBmp24 returns no bytes for an
// empty bitmap or one whose buffer is shorter than its size says.
Result<Bytes> encodeJpeg(const Bitmap& bitmap, int quality);
Bytes encodeBmp24(const Bitmap& bitmap);

// File-format conversions as the program uses them (JPEG -> 24-bit BMP,
// BMP -> JPEG at quality 80 by default). Either accepts any picture decode
// reads, so a file whose name lies about its type still converts.
Result<Bytes> convertJpegToBmp(ByteView jpeg);
Result<Bytes> convertBmpToJpeg(ByteView bmp, int quality = 80);

}  // namespace quillet::image
