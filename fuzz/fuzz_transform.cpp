// A BMP read from arbitrary bytes, then mirrored, turned and rotated: every
// form of each operation must agree, mirrors and turns must undo, and the
// rotated canvas must have the size its bounding box asks for.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/image/picture.h"
#include "platform/image/transform.h"

namespace {

constexpr std::int64_t kFuzzPixels = 1 << 18;
// Rotation enlarges the canvas; keep it small enough for many runs a second.
constexpr std::int64_t kFuzzCanvas = 1 << 19;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
  using namespace quillet::image;
  const ByteView bytes(data, length);
  if (detectFormat(bytes) != Format::Bmp) return 0;
  const auto size = readSize(bytes);
  if (!size || std::int64_t{size.value.width} * size.value.height > kFuzzPixels) return 0;
  const auto picture = decode(bytes);
  if (!picture) return 0;
  const Bitmap& b = picture.value;
  const std::uint8_t control = data[length - 1];

  const bool horizontal = control & 1;
  const bool vertical = control & 2;
  const Bitmap flipped = flipBitmap(b, horizontal, vertical);
  if (flipBitmap(flipped, horizontal, vertical) != b) std::abort();
  Bitmap inPlace = b;
  flipInPlace(inPlace, horizontal, vertical);
  if (inPlace != flipped || flipToBmp(b, horizontal, vertical) != encodeBmp24(flipped)) {
    std::abort();
  }

  const Bitmap turned = quarterTurn(b);
  if (turned.width != b.height || turned.height != b.width) std::abort();
  if (quarterTurn(quarterTurn(quarterTurn(turned))) != b) std::abort();

  // Whole and fractional degrees, either sense, now and then far round.
  const double degrees = (control - 128) * 2.75 + ((control & 4) ? 360.0 * 1e6 : 0.0);
  const Size canvas = rotatedSize({b.width, b.height}, degrees);
  if (std::int64_t{canvas.width} * canvas.height > kFuzzCanvas) return 0;
  const Bitmap rotated = rotateBitmap(b, degrees, 0x606060);
  if (rotated.width != canvas.width || rotated.height != canvas.height) std::abort();
  const double radians = degrees * 3.14159265358979323846 / 180;
  const double reach =
      b.width * std::abs(std::cos(radians)) + b.height * std::abs(std::sin(radians));
  if (canvas.width < reach - 1e-3 || canvas.width > reach + 1) std::abort();
  Bytes streamed;
  const bool whole = rotateToBmpStream(b, degrees, 0x606060, [&](ByteView piece) {
    streamed.insert(streamed.end(), piece.begin(), piece.end());
    return true;
  });
  if (!whole || streamed != encodeBmp24(rotated) || rotateToBmp(b, degrees, 0x606060) != streamed) {
    std::abort();
  }
  return 0;
}
